#include "playback/quovel_doc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "playback/frame_grabber.h"
#include "playback/source_codes.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"

namespace {

constexpr int64_t kFrame30 = 333'333;

// A view that counts its updates.
class CountingView : public fw::CView {
  public:
    void OnUpdate(fw::CView*, long) override { ++nUpdates; }
    int nUpdates = 0;
};

class QuovelDocTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    void SetUp() override {
        view.AttachDocument(&doc);
        router.SetChain({&doc});
    }

    void Open(const std::string& strPath) {
        ui.answers.push_back(strPath);
        doc.OnFileOpen();
    }
    int Shown() const {
        return testmedia::ReadIndex(doc.pFrameImage.get() + dib::kPixelOffset, AppState.nVideoWidth,
                                    AppState.nVideoHeight);
    }
    bool Enabled(cmd::Id nId) const {
        fw::CCmdUI cmdUI(nId);
        router.Update(cmdUI);
        return cmdUI.m_bEnabled;
    }

    CountingView view;
    fw::CCommandRouter router;
};

TEST_F(QuovelDocTest, CancelledOpenChangesNothing) {
    doc.SetTitle("before");
    ui.answers.push_back(std::nullopt);
    doc.OnFileOpen();
    EXPECT_EQ(ui.strLastFilter, str::kOpenFilter);
    EXPECT_EQ(doc.GetTitle(), "before");
    EXPECT_EQ(grabber.bHasFile, 0);
    EXPECT_FALSE(doc.pFrameImage);
    EXPECT_FALSE(timers.Running());
    EXPECT_EQ(view.nUpdates, 0);
}

// Nothing that cannot be played looks opened: each is refused with the message, and the
// clip opened before keeps its title, range, recent entry and stays playable.
TEST_F(QuovelDocTest, FilesThatCannotBePlayedAreRefusedAndChangeNothing) {
    namespace fs = std::filesystem;
    const std::string strFolder = testmedia::MediaDir() + "/folder.avi";
    fs::create_directories(strFolder);
    std::string strNoise(100'000, '\0');
    for (size_t i = 0; i < strNoise.size(); ++i) {
        strNoise[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    const std::string strClip = testmedia::IndexedClip({});
    Open(strClip);
    doc.OnPlayStop();
    doc.OnPlaybackTick(1);
    AppState.nRangeStart = 10;
    AppState.nRangeEnd = 20;
    AppState.strSrcHandler = "FMP4";

    // The message box names the file and why on its second line.
    const std::string kInvalid = "Invalid data found when processing input";
    for (const auto& [strPath, strWhy] : std::vector<std::pair<std::string, std::string>>{
             {testmedia::MediaDir() + "/no such file.avi", "No such file or directory"},
             {strFolder, "フォルダです"},
             {testmedia::WriteFile("zero bytes.avi", ""), kInvalid},
             {testmedia::WriteFile("random bytes.avi", strNoise), kInvalid},
             {testmedia::MakeClip("tone", "-f lavfi -i sine=d=2", "wav"), "映像がありません"},
             {testmedia::MakeClip("audio-only", "-f lavfi -i sine=d=2 -c:a pcm_s16le", "avi"),
              "映像がありません"}}) {
        ui.messages.clear();
        Open(strPath);
        EXPECT_EQ(ui.messages,
                  std::vector<std::string>{"指定ファイルが開けません\n" + strPath + ": " + strWhy});
        EXPECT_EQ(doc.GetTitle(), FileTitleOf(strClip)) << strPath;
        EXPECT_EQ(grabber.strFileName, strClip) << strPath;
        EXPECT_EQ(grabber.bPlaying, 0) << strPath;
        EXPECT_FALSE(timers.Running()) << strPath;
        EXPECT_EQ(recent.entries, std::vector<std::string>{strClip}) << strPath;
        EXPECT_EQ(AppState.nRangeStart, 10) << strPath;
        EXPECT_EQ(AppState.nRangeEnd, 20) << strPath;
        EXPECT_EQ(AppState.strSrcHandler, "FMP4") << strPath;
        EXPECT_TRUE(Enabled(cmd::kPlayStart)) << "the clip before is still there to play";
        EXPECT_FALSE(Enabled(cmd::kStillImage)) << "nothing plays, so no picture to save";
    }
    doc.OnPlayStart();
    EXPECT_EQ(grabber.bPlaying, 1);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(Shown(), 0);
}

// The open dialog's first filter offers the files people bring (phones, cameras, the web),
// and each of them plays; the three classic filters follow it.
TEST_F(QuovelDocTest, TheFirstOpenFilterOffersTheVideoFilesThatPlay) {
    const std::string strFilter = str::kOpenFilter;
    const std::string strFirst = strFilter.substr(0, strFilter.find('|'));
    EXPECT_EQ(strFirst.rfind("動画ファイル (", 0), 0u);
    EXPECT_NE(strFilter.find("|AVI Files (*.avi)|*.avi|MPEG Files (*.mpeg;*.mpg)|*.mpeg;*.mpg|"
                             "All Files (*.*)|*.*||"),
              std::string::npos);
    const std::string strSource = "-f lavfi -i testsrc2=s=160x120:r=10:d=0.5 ";
    for (const auto& [strExt, strCodec] :
         std::vector<std::pair<std::string, std::string>>{{"mp4", "-c:v libx264 -pix_fmt yuv420p"},
                                                          {"mkv", "-c:v mpeg4"},
                                                          {"webm", "-c:v libvpx"},
                                                          {"mov", "-c:v mjpeg"},
                                                          {"ts", "-c:v mpeg2video"},
                                                          {"m2ts", "-c:v mpeg2video -f mpegts"},
                                                          {"vob", "-c:v mpeg2video -f vob"},
                                                          {"wmv", "-c:v wmv2"},
                                                          {"flv", "-c:v flv1"},
                                                          {"ogv", "-c:v libtheora"},
                                                          {"gif", ""},
                                                          {"3gp", "-c:v mpeg4"},
                                                          {"mxf", "-r 25 -c:v mpeg2video"}}) {
        EXPECT_NE(strFirst.find("*." + strExt + ";"), std::string::npos) << strExt;
        const std::string strClip =
            testmedia::MakeClip("offered-" + strExt, strSource + strCodec, strExt);
        ASSERT_FALSE(strClip.empty()) << strExt;
        ui.messages.clear();
        Open(strClip);
        EXPECT_TRUE(ui.messages.empty()) << strExt;
        EXPECT_EQ(grabber.bPlaying, 1) << strExt;
        doc.OnPlayStop();
    }
}

TEST_F(QuovelDocTest, OpenPlaysWholeStreamAndRemembersTheFile) {
    const std::string strPath = testmedia::IndexedClip({});
    AppState.bResizePending = 0;
    AppState.nRangeStart = 7;
    Open(strPath);

    EXPECT_EQ(doc.nImageBytes, 311'354u);  // 320 × 240 × 4 + 4154
    ASSERT_TRUE(doc.pFrameImage && doc.pDisplayImage && doc.pCropImage);
    EXPECT_EQ(AppState.nVideoWidth, 320);
    EXPECT_EQ(AppState.nStreamLength, 60);
    EXPECT_EQ(AppState.nRangeStart, 0);
    EXPECT_EQ(AppState.nRangeEnd, 60);
    EXPECT_EQ(AppState.bResizePending, 1);
    EXPECT_EQ(grabber.bPlaying, 1);
    EXPECT_EQ(timers.Interval(), 33u);
    EXPECT_EQ(doc.nTimerId, 1u);
    EXPECT_EQ(view.nUpdates, 1);
    EXPECT_EQ(recent.entries, std::vector<std::string>{strPath});
    EXPECT_EQ(AppState.strSrcHandler, "FMP4");  // the mpeg4 encoder's handler code
    EXPECT_EQ(AppState.strSrcFormat, "FMP4");

    // Ticks copy the frame due and redraw.
    EXPECT_EQ(doc.OnPlaybackTick(1), 1);
    EXPECT_EQ(Shown(), 0);
    clock.Advance(12 * kFrame30);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(Shown(), 12);
    EXPECT_EQ(view.nUpdates, 3);
}

TEST_F(QuovelDocTest, SecondOpenReplacesBlocksAndRange) {
    Open(testmedia::IndexedClip({}));
    doc.OnPlayStop();
    AppState.nRangeStart = 5;
    const std::string strSecond =
        testmedia::IndexedClip({160, 120, 30, 45, "-c:v mjpeg -q:v 3", "avi"});
    Open(strSecond);
    EXPECT_EQ(doc.nImageBytes, 160u * 120 * 4 + 4154);
    EXPECT_EQ(AppState.nRangeStart, 0);
    EXPECT_EQ(AppState.nRangeEnd, 45);
    EXPECT_EQ(recent.entries.front(), strSecond);
    EXPECT_EQ(AppState.strSrcHandler, "MJPG");
}

TEST_F(QuovelDocTest, EndOfStreamStopsTheTimerOneTickLater) {
    Open(testmedia::IndexedClip({}));
    clock.Advance(60 * kFrame30);
    doc.OnPlaybackTick(1);  // the fetch closes the graph
    EXPECT_EQ(grabber.bPlaying, 0);
    EXPECT_TRUE(timers.Running());
    doc.OnPlaybackTick(1);
    EXPECT_FALSE(timers.Running());

    // The stop command behaves the same.
    doc.OnPlayStart();
    EXPECT_TRUE(timers.Running());
    doc.OnPlayStop();
    EXPECT_EQ(grabber.bPlaying, 0);
    EXPECT_TRUE(timers.Running());
    doc.OnPlaybackTick(1);
    EXPECT_FALSE(timers.Running());
}

TEST_F(QuovelDocTest, RepeatRestartsFromTheStartAtTheSameInterval) {
    AppState.bRepeatPlay = 1;
    Open(testmedia::IndexedClip({}));
    const int nStarts = timers.nStarts;
    clock.Advance(61 * kFrame30);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(AppState.bRestartPending, 1);
    EXPECT_EQ(doc.OnPlaybackTick(1), 1);  // reopens and runs
    EXPECT_EQ(AppState.bRestartPending, 0);
    EXPECT_EQ(grabber.bPlaying, 1);
    EXPECT_EQ(timers.nStarts, nStarts);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(Shown(), 0);

    // A file that vanished meanwhile: the restart fails and the next tick stops the timer.
    const std::string strGone = testmedia::MediaDir() + "/gone.avi";
    std::filesystem::copy_file(testmedia::IndexedClip({}), strGone,
                               std::filesystem::copy_options::overwrite_existing);
    doc.OnPlayStop();
    doc.OnPlaybackTick(1);
    Open(strGone);
    std::filesystem::remove(strGone);
    clock.Advance(61 * kFrame30);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(doc.OnPlaybackTick(1), 0);
    doc.OnPlaybackTick(1);
    EXPECT_FALSE(timers.Running());
}

TEST_F(QuovelDocTest, PauseKeepsTheTimerAndRedrawsTheSameFrame) {
    Open(testmedia::IndexedClip({}));
    clock.Advance(3 * kFrame30);
    doc.OnPlaybackTick(1);
    doc.OnPlayPause();
    const int nUpdates = view.nUpdates;
    clock.Advance(20 * kFrame30);
    doc.OnPlaybackTick(1);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(view.nUpdates, nUpdates + 2);
    EXPECT_EQ(Shown(), 3);
    EXPECT_TRUE(timers.Running());
    doc.OnPlayPause();
    clock.Advance(kFrame30);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(Shown(), 4);
}

TEST_F(QuovelDocTest, PlayDuringAConversionTicksAtTheConversionRate) {
    Open(testmedia::IndexedClip({}));
    doc.OnPlayStop();
    AppState.bConverting = 1;
    for (auto [nRate, nMs] : {std::pair{10, 100u}, {30, 33u}, {7, 142u}}) {
        AppState.nTimerFrameRate = nRate;
        doc.OnPlayStart();
        EXPECT_EQ(timers.Interval(), nMs);
        grabber.Close();
    }
}

// The enabling table for the nine document commands in each playback state.
TEST_F(QuovelDocTest, EnablingFollowsThePlaybackState) {
    const std::vector<cmd::Id> ids = {cmd::kFileOpen,        cmd::kPlayStart,   cmd::kPlayStop,
                                      cmd::kPlayPause,       cmd::kViewRefresh, cmd::kFileConvert,
                                      cmd::kConvertSettings, cmd::kStillImage,  cmd::kPlaySettings};
    auto row = [&] {
        std::string s;
        for (cmd::Id nId : ids) {
            s += Enabled(nId) ? '1' : '0';
        }
        return s;
    };
    AppState.pGrabber = nullptr;
    AppState.pWriter = nullptr;
    EXPECT_EQ(row(), "100010000") << "during start-up, before the grabber exists";
    AppState.pGrabber = &grabber;
    EXPECT_EQ(row(), "100010001") << "no file";
    Open(testmedia::IndexedClip({}));
    EXPECT_EQ(row(), "001110010") << "playing";
    doc.OnPlayPause();
    EXPECT_EQ(row(), "001110010") << "paused";
    doc.OnPlayStop();
    EXPECT_EQ(row(), "110011001") << "stopped";
    AppState.pWriter = &writer;
    EXPECT_EQ(row(), "110011101") << "stopped, with a writer";
    AppState.bConverting = 1;
    doc.OnPlayStart();
    EXPECT_EQ(row(), "001110000") << "converting";
    fw::CCmdUI convert(cmd::kFileConvert);
    router.Update(convert);
    EXPECT_EQ(convert.m_nCheck, 1);
}

// A document with no conversion attached (a viewer-only wiring) offers neither conversion
// command, whatever the state.
TEST_F(QuovelDocTest, WithoutAConversionTheConvertCommandsStayOff) {
    testfakes::ScriptedUi otherUi;
    testfakes::FakeRecentFiles otherRecent;
    CQuovelDoc viewerOnly(otherUi, otherRecent);
    viewerOnly.SetTimerWindow(&timers);
    fw::CCommandRouter viewerRouter;
    viewerRouter.SetChain({&viewerOnly});
    otherUi.answers.push_back(testmedia::IndexedClip({}));
    viewerOnly.OnFileOpen();
    viewerOnly.OnPlayStop();
    for (cmd::Id nId : {cmd::kFileConvert, cmd::kConvertSettings}) {
        fw::CCmdUI cmdUI(nId);
        viewerRouter.Update(cmdUI);
        EXPECT_FALSE(cmdUI.m_bEnabled) << nId;
    }
    viewerOnly.OnFileConvert();  // reached some other way: nothing happens
    EXPECT_EQ(AppState.bConverting, 0);
    EXPECT_TRUE(otherUi.strLastSaveFilter.empty()) << "no destination was asked for";
}

TEST_F(QuovelDocTest, PlayRefusesAFileThatGrewBeyondItsBlocks) {
    namespace fs = std::filesystem;
    const std::string strPath = testmedia::MediaDir() + "/grows.avi";
    fs::copy_file(testmedia::IndexedClip({160, 120, 30, 45, "-c:v mjpeg -q:v 3", "avi"}), strPath,
                  fs::copy_options::overwrite_existing);
    Open(strPath);
    doc.OnPlayStop();
    fs::copy_file(testmedia::IndexedClip({}), strPath, fs::copy_options::overwrite_existing);
    doc.OnPlayStart();
    EXPECT_EQ(grabber.bPlaying, 0);
    EXPECT_EQ(doc.nImageBytes, 160u * 120 * 4 + 4154);
}

TEST_F(QuovelDocTest, HostileAndOddFilesNeverCrash) {
    std::string strNoise(200'000, '\0');
    for (size_t i = 0; i < strNoise.size(); ++i) {
        strNoise[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    std::ifstream in(testmedia::IndexedClip({}), std::ios::binary);
    const std::string strClip((std::istreambuf_iterator<char>(in)), {});
    const std::vector<std::string> files = {
        testmedia::WriteFile("zero.avi", ""),
        testmedia::WriteFile("random bytes.avi", strNoise),
        testmedia::MakeClip("audio-only", "-f lavfi -i sine=d=2 -c:a pcm_s16le", "avi"),
        testmedia::WriteFile("cut.avi", strClip.substr(0, strClip.size() / 3)),
        testmedia::WriteFile("動画 ファイル.avi", strClip),
    };
    for (const std::string& strPath : files) {
        Open(strPath);
        for (int k = 0; k < 80 && (grabber.bPlaying || timers.Running()); ++k) {
            clock.Advance(kFrame30);
            doc.OnPlaybackTick(1);
        }
        EXPECT_FALSE(timers.Running()) << strPath << " ends";
    }
    EXPECT_EQ(ui.messages.size(), 3u) << "the three files with no picture are refused";
    EXPECT_EQ(recent.entries.front(), files.back());
    EXPECT_EQ(doc.GetTitle(), FileTitleOf(files.back()));
}

}  // namespace
