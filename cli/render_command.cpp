#include "cli/render_command.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "cli/arguments.h"
#include "cli/effect_options.h"
#include "cli/option_table.h"
#include "convert/media_session.h"
#include "framework/null_services.h"
#include "platform/bmp_file.h"
#include "platform/media_clock.h"
#include "platform/media_graph.h"
#include "playback/failure_texts.h"
#include "resources/colour_modes.h"
#include "resources/command_line_texts.h"
#include "resources/strings.h"
#include "resources/text_format.h"
#include "state/app_state.h"
#include "view/quovel_view.h"

namespace cli {

namespace {

using Def = OptionDef<RenderRequest>;

constexpr Def kRenderOptions[] = {
    {"--frame", "N", "frame to render, 0 or more", 0, INT32_MAX,
     [](RenderRequest& r, int32_t n) { r.nFrame = n; }},
    {"--mode", "M",
     "colour mode: 0 standard, 1 monochrome, 2 sepia, 3 RGB,\n"
     "4 YUV, 5 HSV modulation, 6 mosaic, 7 paint, 8 strobe, 9 negative",
     0, colour::kModeCount - 1, [](RenderRequest& r, int32_t n) { r.effects.mode = n; }, nullptr,
     colour::kModeNumbers.data()},
    kLevelsOption<RenderRequest>,
    kMosaicOption<RenderRequest>,
    kPaintOption<RenderRequest>,
    {"--strobe-count", "C", "strobe draw counter (default 0)", 0, INT32_MAX,
     [](RenderRequest& r, int32_t n) { r.effects.strobeCount = n; }},
    kStrobeOption<RenderRequest>,
};

// Fills request and AppState from the words; an error message, or "" when they are good.
std::string Parse(const std::vector<std::string>& args, RenderRequest& request) {
    std::vector<std::string> positional;
    if (std::string strError = ParseOptions(RenderOptions(), args, request, positional);
        !strError.empty()) {
        return strError;
    }
    if (positional.size() != 2) {
        return str::kCliSourceAndBmp;
    }
    if (request.nFrame < 0) {
        return str::kCliFrameRequired;
    }
    if (std::string strError = CheckEffectOptions(request.effects); !strError.empty()) {
        return strError;
    }
    ApplyEffectOptions(request.effects);
    request.strSource = positional[0];
    request.strOut = positional[1];
    return "";
}

// How many frames the --frame count (thirtieths of a second) has in the stream: the
// thirtieths that start before its end, an end a rounding short of one's start not counting
// it (a 290-frame clip at 30 a second ends a few units short of 290/30 s).
int64_t FramesOfThirtiethBefore(const platform::MediaGraph& graph) {
    int64_t llStop = 0;
    graph.GetStopPosition(llStop);
    const int64_t llEnd = std::max<int64_t>(llStop - graph.RoundingTolerance(), 0);
    constexpr int64_t kUnits = platform::kMediaUnitsPerSecond;
    constexpr int64_t kPositions = platform::kStreamPositionsPerSecond;
    return llEnd / kUnits * kPositions + ((llEnd % kUnits) * kPositions + kUnits - 1) / kUnits;
}

}  // namespace

std::span<const OptionDef<RenderRequest>> RenderOptions() {
    return kRenderOptions;
}

std::string RenderUsage() {
    return UsageSynopsis("usage: quovel --render SOURCE", RenderOptions()) +
           "                       OUT.bmp\n"
           "Writes, as a 24-bit BMP, the picture the window shows for frame N of SOURCE\n"
           "(N counts frames of 1/30 s).\n" +
           UsageOptions(RenderOptions());
}

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    for (const std::string& strArg : args) {
        if (strArg == "--help" || strArg == "-h") {
            out << RenderUsage();
            return 0;
        }
    }
    // The window's own path: the grabber fills the document's FrameImage, the view's
    // drawing step fills the display block. The session comes first: the options go
    // into the record it starts afresh.
    fw::NullUiServices ui;
    fw::NullRecentFileList recentFiles;
    platform::ManualMediaClock clock;
    CMediaSession session(ui, recentFiles, clock);
    CQuovelDoc& doc = session.Doc();
    CFrameGrabber& grabber = session.Grabber();

    RenderRequest request;
    if (const std::string strError = Parse(args, request); !strError.empty()) {
        err << "quovel --render: " << strError << " (" << str::Format(str::kCliSeeHelp, "--render")
            << ")\n";
        return 2;
    }

    grabber.SetFileName(request.strSource);
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    int32_t nLength = 0;
    dib::BitmapInfoHeader connected;
    auto fail = [&err](const std::string& strMessage) {
        err << "quovel --render: " << strMessage << "\n";
        return 1;
    };
    if (!grabber.Open(&doc, nWidth, nHeight, nLength) ||
        !grabber.pGraph->GetConnectedFormat(connected)) {
        return fail(AboutFile(str::kCannotOpenFile, request.strSource,
                              OpenFailureReason(grabber.openFailure)));
    }
    if (!doc.AllocateImages(nWidth, nHeight)) {
        return fail(AboutFile(str::kCannotOpenFile, request.strSource, str::kReasonNoMemory));
    }
    // The conversion's hold: the first fetch copies exactly the frame asked for.
    AppState.bConverting = 1;
    AppState.nRangeStart = request.nFrame;
    const int64_t llFrames = FramesOfThirtiethBefore(*grabber.pGraph);
    grabber.Run();
    const bool bFetched = grabber.FetchFrame();
    AppState.bConverting = 0;
    grabber.Close();
    if (!bFetched) {
        return fail(AboutFile(str::Format(str::kCliFramePastEnd, request.nFrame), request.strSource,
                              str::Format(str::kCliFrames, static_cast<long long>(llFrames))));
    }
    int w = 0;
    int h = 0;
    if (!view::RenderDisplayBlock(doc, w, h)) {
        return fail(AboutFile(str::kCliCannotDraw, request.strSource));
    }
    if (std::string strWhy = NotAFileReason(request.strOut);
        !strWhy.empty() ||
        !platform::WriteBmpBlock(request.strOut, doc.pDisplayImage.get(), &strWhy)) {
        return fail(AboutFile(str::kStillFailed, request.strOut, strWhy));
    }
    return 0;
}

}  // namespace cli
