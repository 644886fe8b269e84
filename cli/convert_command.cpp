#include "cli/convert_command.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>

#include <unistd.h>

#include "cli/arguments.h"
#include "cli/convert_request.h"
#include "cli/effect_options.h"
#include "cli/finished_output.h"
#include "cli/headless_services.h"
#include "cli/interrupt_guard.h"
#include "convert/dv_crop.h"
#include "convert/media_session.h"
#include "framework/null_services.h"
#include "platform/compressor.h"
#include "platform/media_clock.h"
#include "platform/sound_plan.h"
#include "resources/command_line_texts.h"
#include "resources/strings.h"
#include "resources/text_format.h"
#include "state/app_state.h"

namespace cli {

namespace {

// Why the file gets no sound, or null when it gets the sound asked for.
const char* SoundRefusalText(platform::SoundRefusal why) {
    switch (why) {
        case platform::SoundRefusal::NotAsItIs:
            return str::kCliSoundNotAsItIs;
        case platform::SoundRefusal::Tempo:
            return str::kSoundTempoTooFar;
        case platform::SoundRefusal::Codec:
            return str::kCliSoundCodec;
        default:
            return nullptr;
    }
}

// What the conversion last told of its progress.
struct Progress {
    int32_t nFramesWritten = 0;
    std::string strPositionText = FormatProgress(0, 0);
};

void ShowProgress(std::ostream& err, const Progress& progress, int32_t nTotal, double dFps) {
    const int nWidth = 30;
    const int32_t nDone = progress.nFramesWritten;
    const int nFilled = nTotal > 0 ? std::clamp(nDone * nWidth / nTotal, 0, nWidth) : 0;
    err << "\r[" << std::string(static_cast<size_t>(nFilled), '#')
        << std::string(static_cast<size_t>(nWidth - nFilled), '.') << "] "
        << progress.strPositionText << "  " << static_cast<int>(dFps) << " fps" << std::flush;
}

// Converts as asked into strWriteTo, which is DEST or a working file standing in for it.
int Convert(const ConvertRequest& request, const std::string& strWriteTo, std::ostream& err) {
    // Ctrl+C, termination requests and a terminal that goes away (a dropped ssh session) are
    // taken from here on, also while the source opens: they never end the process in the
    // middle of a write, and a conversion they interrupt is completed. Standard error read
    // by a pipe that closes (`2>&1 | head`) does not stop the conversion either.
    const InterruptGuard interruptGuard;

    // The window's own objects and commands, with the dialogs answered from the arguments.
    CommandLineUi ui(request.strSource, strWriteTo, err);
    fw::NullRecentFileList recent;
    platform::SteadyMediaClock clock;
    FixedChoice chooser(request.choice);
    DrivenTimer timer;
    CMediaSession session(ui, recent, clock, chooser);
    CQuovelDoc& doc = session.Doc();
    CFrameGrabber& grabber = session.Grabber();
    // Nothing shows the frames here: the 24-bit copy is made only for a compressor that
    // cannot take the decoded picture.
    grabber.CopyFramesOnlyWhenAsked();
    doc.SetTimerWindow(&timer);

    auto fail = [&err](const std::string& strMessage) {
        err << "quovel --convert: " << strMessage << "\n";
        return 1;
    };
    doc.OnFileOpen();
    dib::BitmapInfoHeader format;
    if (!grabber.bPlaying || !grabber.pGraph || !grabber.pGraph->GetConnectedFormat(format)) {
        return ui.nMessages != 0 ? 1 : fail(AboutFile(str::kCannotOpenFile, request.strSource));
    }
    doc.OnPlayStop();
    doc.OnPlaybackTick(1);

    const int32_t nLength = AppState.nStreamLength;
    ConvertSettings settings = request.settings;
    if (request.range) {
        if (request.range->second > nLength) {
            return fail(AboutFile(str::kCliRangePastEnd, request.strSource,
                                  str::Format(str::kCliFrames, static_cast<long long>(nLength))));
        }
        settings.nRangeMode = 1;
        settings.nRangeStart = request.range->first;
        settings.nRangeEnd = request.range->second;
    }
    const bool bDv = settings.bDvCrop && TakesDvCrop(AppState.nVideoWidth, AppState.nVideoHeight);
    const int nOutW = bDv ? kDvCropWidth : AppState.nVideoWidth;
    const int nOutH = AppState.nVideoHeight;
    if (!platform::CanCompress(request.choice.nFourCC, nOutW, nOutH)) {
        return fail(str::Format(str::kCliNoCompressor,
                                platform::FourCCText(request.choice.nFourCC).c_str(), nOutW, nOutH,
                                nOutW, nOutH));
    }
    if (settings.nSoundMode == static_cast<int32_t>(platform::SoundMode::Copy)) {
        const platform::SoundSource sound = platform::ProbeSound(request.strSource);
        if (sound.bHasSound && !sound.bCopyable) {
            return fail(AboutFile(str::kCliCopyRefused, request.strSource));
        }
    }
    FixedSettings editor(settings);
    session.Conversion().SetSettingsEditor(&editor);
    Progress progress;
    session.Conversion().SetProgressListener(
        [&progress](int32_t nFramesWritten, const std::string& strPositionText) {
            progress = {nFramesWritten, strPositionText};
        });
    ApplyEffectOptions(request.effects);

    doc.OnFileConvert();
    if (!AppState.bConverting) {
        return ui.nMessages != 0 ? 1 : fail(AboutFile(str::kWriteFailed, request.strDest));
    }
    if (const char* pszWhy = SoundRefusalText(session.Writer().soundRefusal)) {
        err << "quovel --convert: " << AboutFile(pszWhy, request.strSource) << "\n";
    }

    const int32_t nTotal = AppState.nRangeEnd - AppState.nRangeStart + 1;
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    for (int64_t nTick = 0; AppState.bConverting; ++nTick) {
        if (interruptGuard.Signal() != 0) {
            doc.OnPlayStop();  // like the stop command: the file is completed
            break;
        }
        if (!request.bMaxRate) {
            next += std::chrono::milliseconds(timer.nInterval);
            std::this_thread::sleep_until(next);
        }
        doc.OnPlaybackTick(1);
        if (nTick % 10 == 0 || !AppState.bConverting) {
            const double dSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ShowProgress(err, progress, nTotal,
                         dSeconds > 0 ? progress.nFramesWritten / dSeconds : 0);
            ui.bProgressShown = AppState.bConverting != 0;
        }
    }
    if (ui.bProgressShown || ui.nMessages == 0) {
        err << "\n";
    }
    for (const std::string& strWarning : ui.warnings) {
        err << "quovel --convert: " << strWarning << "\n";
    }
    if (interruptGuard.Signal() != 0) {
        err << "quovel --convert: "
            << (request.bNoClobber ? std::string(str::kCliStoppedNothing)
                                   : str::Format(str::kCliStoppedKept, request.strDest.c_str()))
            << "\n";
        return 128 + interruptGuard.Signal();  // as the shell reports a command ended by the signal
    }
    if (ui.nMessages != 0) {
        return 1;
    }
    return ui.warnings.empty() ? 0 : kExitFramesReplaced;
}

}  // namespace

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << ConvertUsage();
        return 0;
    }
    ConvertRequest request;
    if (const std::string strError = ParseConvertRequest(args, request); !strError.empty()) {
        err << "quovel --convert: " << strError << " ("
            << str::Format(str::kCliSeeHelp, "--convert") << ")\n";
        return 2;
    }
    // DEST is the very name given (no extension added); what is there and not a file (a
    // folder, a device, a FIFO) is never written over.
    if (const std::string strWhy = NotAFileReason(request.strDest); !strWhy.empty()) {
        err << "quovel --convert: " << AboutFile(str::kWriteFailed, request.strDest, strWhy)
            << "\n";
        return 1;
    }
    if (!request.bNoClobber) {
        return Convert(request, request.strDest, err);
    }
    FinishedOutput output(request.strDest, std::to_string(::getpid()));
    output.RemoveAbandoned();  // a run killed before it could clean up (SIGKILL, a crash)
    if (output.DestinationTaken()) {
        err << "quovel --convert: " << AboutFile(str::kCliDestTaken, request.strDest) << "\n";
        return kExitDestinationTaken;
    }
    const int nExit = Convert(request, output.WorkingPath(), err);
    if (nExit != 0 && nExit != kExitFramesReplaced) {
        return nExit;  // the working file goes with `output`
    }
    if (!output.Publish()) {
        err << "quovel --convert: "
            << AboutFile(str::Format(str::kCliPublishFailed, output.WorkingPath().c_str()),
                         request.strDest)
            << "\n";
        return kExitDestinationTaken;
    }
    return nExit;
}

}  // namespace cli
