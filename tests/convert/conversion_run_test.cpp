// Whole conversions through the document's commands and timer ticks, checked with ffprobe.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "convert/avi_writer.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "support/conversion_run_fixture.h"
#include "support/media_rig.h"
#include "support/test_media.h"
#include "view/quovel_view.h"

namespace fs = std::filesystem;

namespace {

using conversiontest::ConversionRunTest;
using conversiontest::Indices;
using conversiontest::Sequence;
using testmedia::Probe;
using testmedia::Shell;

TEST_F(ConversionRunTest, WholeStreamWritesEverySourceFrameOnce) {
    OpenSource(testmedia::IndexedClip({}));  // 60 frames
    Convert(Dest("whole.avi"));
    EXPECT_EQ(AppState.bConverting, 0);
    EXPECT_EQ(timers.Interval(), 100u) << "the conversion timer";
    EXPECT_EQ(Indices(Dest("whole.avi"), 320, 240), Sequence(0, 1, 60))
        << "exact frames from the start, no skip, no repeated last frame";
    EXPECT_EQ(Probe(Dest("whole.avi"), "r_frame_rate"), "30/1");
    EXPECT_TRUE(ui.messages.empty());
}

// While converting the status bar shows the progress text and how much of the range is
// done; once the conversion completes (the range end reached, or the source ending first)
// the pane says so with the last text, which reads as the end of the range, and keeps it
// until playback starts again. A conversion stopped by the user just keeps where it got.
TEST_F(ConversionRunTest, TheStatusBarFollowsTheConversionToItsEnd) {
    testfakes::FakeSurface surface;
    testfakes::FakeFrame frame;
    CQuovelView view;
    view.AttachDocument(&doc);
    view.AttachWindow(&surface, &frame);
    OpenSource(testmedia::IndexedClip({}));  // 60 frames, the range 0 to 60
    ui.saveAnswers.push_back(Dest("progress-whole.avi"));
    doc.OnFileConvert();
    for (int i = 0; i < 31; ++i) {
        doc.OnPlaybackTick(1);
    }
    EXPECT_EQ(frame.strStatus, "00:01:00 / 00:02:00");
    EXPECT_EQ(frame.progress, (std::pair<int64_t, int64_t>{31, 61})) << "positions 0 to 60";
    for (int i = 0; i < 100 && AppState.bConverting; ++i) {
        doc.OnPlaybackTick(1);
    }
    EXPECT_EQ(frame.strStatus, "変換が完了しました  00:02:00 / 00:02:00")
        << "the source ended first";
    EXPECT_EQ(frame.progress, (std::pair<int64_t, int64_t>{0, 0})) << "the bar goes";
    doc.OnPlaybackTick(1);
    doc.OnViewRefresh();
    EXPECT_EQ(frame.strStatus, "変換が完了しました  00:02:00 / 00:02:00") << "kept while idle";

    editor.edit = [](ConvertSettings& settings) {
        settings.nRangeMode = 1;
        settings.nRangeStart = 10;
        settings.nRangeEnd = 40;
    };
    Convert(Dest("progress-range.avi"));  // the writer reaches the end of the range
    EXPECT_EQ(frame.strStatus, "変換が完了しました  00:01:10 / 00:01:10");

    ui.saveAnswers.push_back(Dest("progress-stopped.avi"));
    doc.OnFileConvert();
    for (int i = 0; i < 5; ++i) {
        doc.OnPlaybackTick(1);
    }
    doc.OnPlayStop();
    EXPECT_EQ(frame.strStatus, "00:00:14 / 00:01:10") << "stopped: where it got, no claim";

    ui.answers.push_back(testmedia::IndexedClip({160, 120, 30, 45, "-c:v mjpeg -q:v 3", "avi"}));
    doc.OnFileOpen();
    EXPECT_EQ(frame.strStatus, "ﾚﾃﾞｨ") << "another file plays";
}

// The source frame on screen at each position of a 30-a-second count: the last frame whose
// start (as ffprobe reads the file) is not after the position, allowing 1 ms for rounding.
std::vector<int> FramesOnScreen(const std::string& strClip, size_t nPositions) {
    std::istringstream starts(
        Shell("ffprobe -v error -select_streams v:0 -show_entries "
              "frame=best_effort_timestamp_time -of csv=p=0 '" +
              strClip + "'"));
    std::vector<double> seconds;
    for (std::string strLine; std::getline(starts, strLine);) {
        if (!strLine.empty()) {
            seconds.push_back(std::stod(strLine));
        }
    }
    std::vector<int> frames;
    for (size_t n = 0; n < nPositions && !seconds.empty(); ++n) {
        const double dPosition = (static_cast<double>(n) * 333'333 + 10'000) / 1e7;
        int k = 0;
        while (k + 1 < static_cast<int>(seconds.size()) &&
               seconds[static_cast<size_t>(k) + 1] - seconds[0] <= dPosition + 1e-9) {
            ++k;
        }
        frames.push_back(k);
    }
    return frames;
}

// Whatever the source's rate, each frame written is the one on screen at its position, and
// the stream keeps its end: a 5 s clip at 1 fps gives 150 frames, 60 frames at 5 fps all
// appear. Film and NTSC rates and a variable rate follow the same rule.
TEST_F(ConversionRunTest, EveryRateWritesTheFrameOnScreenToTheEnd) {
    struct Case {
        const char* pszName;
        testmedia::ClipSpec clip;
        const char* pszRate;
        size_t nExpectedFrames;  // 0: whatever the end works out to
    };
    const std::string strVfr =
        "-c:v mpeg4 -q:v 2 -fps_mode passthrough -bsf:v "
        "setts=pts='(N+floor(N/3)*2)*100/3':dts='(N+floor(N/3)*2)*100/3'";
    const Case cases[] = {
        {"1fps", {160, 120, 1, 5, "-c:v mpeg4 -q:v 2", "avi"}, "1", 150},
        {"5fps", {160, 120, 5, 60, "-c:v mpeg4 -q:v 2", "avi"}, "5", 360},
        {"23.976",
         {160, 120, 0, 48, "-c:v libx264 -preset ultrafast -bf 2", "mp4"},
         "24000/1001",
         0},
        {"29.97", {160, 120, 0, 45, "-c:v mpeg4 -q:v 2", "mp4"}, "30000/1001", 0},
        {"vfr", {160, 120, 30, 30, strVfr, "mkv"}, "30", 48},  // 30 frames over 1.6 s
    };
    for (const Case& c : cases) {
        const std::string strClip = testmedia::IndexedClipAtRate(c.clip, c.pszRate);
        ASSERT_FALSE(strClip.empty()) << c.pszName;
        OpenSource(strClip);
        const std::string strDest = Dest(std::string("rate-") + c.pszName + ".avi");
        Convert(strDest);
        const std::vector<int> written = Indices(strDest, 160, 120);
        if (c.nExpectedFrames != 0) {
            EXPECT_EQ(written.size(), c.nExpectedFrames) << c.pszName;
        }
        EXPECT_EQ(written, FramesOnScreen(strClip, written.size())) << c.pszName;
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.back(), c.clip.nFrames - 1) << c.pszName << ": the last frame is kept";
    }
}

// File names are bytes: one that is not valid UTF-8 (an old archive's Shift_JIS name, say)
// opens, plays, is remembered exactly and converts, also to such a name.
TEST_F(ConversionRunTest, NamesNotValidInTheLocaleEncodingWork) {
    const std::string strSource = Dest("\x93\xae\x89\xe6 clip \xff.avi");  // "動画" in Shift_JIS
    fs::copy_file(testmedia::IndexedClip({}), strSource, fs::copy_options::overwrite_existing);
    OpenSource(strSource);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(recent.entries.front(), strSource);
    const std::string strDest = Dest("\x95\xcf\x8a\xb7 \xfe.avi");
    Convert(strDest);
    EXPECT_TRUE(ui.messages.empty());
    fs::copy_file(strDest, Dest("renamed-for-ffprobe.avi"), fs::copy_options::overwrite_existing);
    EXPECT_EQ(Indices(Dest("renamed-for-ffprobe.avi"), 320, 240), Sequence(0, 1, 60));
}

TEST_F(ConversionRunTest, RangeWithThinningAndDestinationRate) {
    OpenSource(testmedia::IndexedClip({320, 240, 30, 120, "-c:v mpeg4 -q:v 2", "avi"}));
    editor.edit = [](ConvertSettings& s) {
        s.nRangeMode = 1;
        s.nRangeStart = 30;
        s.nRangeEnd = 90;
        s.nThinning = 2;
        s.nDstRateMode = 1;
        s.nDstFrameRate = 15;
        s.nTimerRateMode = 0;
    };
    Convert(Dest("range.avi"));
    EXPECT_EQ(timers.Interval(), 33u);
    EXPECT_EQ(Probe(Dest("range.avi"), "r_frame_rate,nb_read_frames"), "15/1 31");
    EXPECT_EQ(Indices(Dest("range.avi"), 320, 240), Sequence(30, 2, 31));
}

TEST_F(ConversionRunTest, LowerSourceRateStepsFurtherAndEndsWithTheSource) {
    OpenSource(testmedia::IndexedClip({}));  // 2 s: length 60 at the nominal 30
    editor.edit = [](ConvertSettings& s) {
        s.nSrcRateMode = 1;
        s.nSrcFrameRate = 15;
    };
    Convert(Dest("rate15.avi"));
    EXPECT_EQ(AppState.bConverting, 0) << "the end of the source completes the conversion";
    EXPECT_EQ(Indices(Dest("rate15.avi"), 320, 240), Sequence(0, 2, 30));
}

TEST_F(ConversionRunTest, PauseDoesNotChangeTheOutput) {
    const std::string strSource = testmedia::IndexedClip({});
    OpenSource(strSource);
    Convert(Dest("unpaused.avi"));
    OpenSource(strSource);
    ui.saveAnswers.push_back(Dest("paused.avi"));
    doc.OnFileConvert();
    for (int i = 0; i < 10000 && AppState.bConverting; ++i) {
        if (i == 20 || i == 45) {
            doc.OnPlayPause();  // paused for 25 ticks
        }
        doc.OnPlaybackTick(1);
    }
    EXPECT_EQ(Shell("cmp '" + Dest("unpaused.avi") + "' '" + Dest("paused.avi") + "' && echo same"),
              "same\n");
}

TEST_F(ConversionRunTest, StopAndExitLeaveCompleteFiles) {
    const std::string strSource = testmedia::IndexedClip({});
    OpenSource(strSource);
    Convert(Dest("stopped.avi"), 12);
    ASSERT_EQ(AppState.bConverting, 1);
    fw::CCmdUI check(cmd::kFileConvert);
    doc.OnUpdateCmdUI(check);
    EXPECT_EQ(check.m_nCheck, 1);
    doc.OnPlayStop();
    EXPECT_EQ(AppState.bConverting, 0);
    doc.OnUpdateCmdUI(check = fw::CCmdUI(cmd::kFileConvert));
    EXPECT_EQ(check.m_nCheck, 0);
    EXPECT_EQ(Probe(Dest("stopped.avi"), "nb_read_frames"), "12");

    OpenSource(strSource);
    Convert(Dest("exited.avi"), 7);
    doc.OnCloseDocument();  // the window closes during the conversion
    EXPECT_EQ(AppState.bConverting, 0);
    EXPECT_EQ(Indices(Dest("exited.avi"), 320, 240), Sequence(0, 1, 7));
}

TEST_F(ConversionRunTest, CancelsAndTheSourceAsDestination) {
    const std::string strSource = testmedia::IndexedClip({});
    OpenSource(strSource);
    std::string strName;

    editor.bAccept = false;  // settings cancelled: the destination is forgotten
    Convert(Dest("never.avi"));
    EXPECT_EQ(writer.GetFileName(strName), 0);
    EXPECT_FALSE(fs::exists(Dest("never.avi")));

    editor.bAccept = true;
    chooser.answer.reset();  // compressor cancelled: no file, the name stays
    Convert(Dest("never.avi"));
    EXPECT_EQ(writer.GetFileName(strName), 1);
    EXPECT_EQ(strName, Dest("never.avi"));
    EXPECT_FALSE(fs::exists(Dest("never.avi")));
    EXPECT_EQ(AppState.bConverting, 0);

    const auto nSize = fs::file_size(strSource);
    const int nShown = editor.nShown;
    Convert(strSource);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"変換元のファイルは変換先に指定できません\n" + strSource});
    EXPECT_EQ(fs::file_size(strSource), nSize);
    EXPECT_EQ(editor.nShown, nShown) << "refused before the settings";

    ui.saveAnswers.push_back(std::nullopt);  // the save dialog cancelled: nothing at all
    doc.OnFileConvert();
    EXPECT_EQ(editor.nShown, nShown);
}

// A source that went away after it was opened: the conversion ends at once, leaves no file,
// and the next file opened plays as a plain playback.
TEST_F(ConversionRunTest, ASourceThatCannotPlayEndsTheConversionAtOnce) {
    const std::string strSource = Dest("moved away.avi");
    fs::copy_file(testmedia::IndexedClip({}), strSource, fs::copy_options::overwrite_existing);
    OpenSource(strSource);
    fs::remove(strSource);
    fs::remove(Dest("stuck.avi"));
    ui.saveAnswers.push_back(Dest("stuck.avi"));
    doc.OnFileConvert();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"指定ファイルが開けません\n" + strSource +
                                                    ": No such file or directory"});
    EXPECT_EQ(AppState.bConverting, 0);
    EXPECT_EQ(writer.IsActive(), 0);
    EXPECT_FALSE(fs::exists(Dest("stuck.avi"))) << "no empty output left behind";
    fw::CCmdUI convert(cmd::kFileConvert);
    fw::CCommandRouter router;
    router.SetChain({&doc});
    router.Update(convert);
    EXPECT_EQ(convert.m_nCheck, 0) << "保存 is no longer checked";

    ui.answers.push_back(testmedia::IndexedClip({}));
    doc.OnFileOpen();
    EXPECT_EQ(timers.Interval(), 33u) << "plain playback, not the conversion's pace";
    for (int i = 0; i < 5; ++i) {
        clock.Advance(333'333);
        doc.OnPlaybackTick(1);
    }
    EXPECT_FALSE(fs::exists(Dest("stuck.avi"))) << "its frames go nowhere";
    EXPECT_EQ(AppState.bConverting, 0);
}

TEST_F(ConversionRunTest, RemovedDestinationFolderIsReportedNotCrashedOn) {
    OpenSource(testmedia::IndexedClip({}));
    const std::string strFolder = Dest("vanishing");
    fs::create_directories(strFolder);
    ui.saveAnswers.push_back(strFolder + "/out.avi");
    doc.OnFileConvert();
    for (int i = 0; i < 10000 && AppState.bConverting; ++i) {
        if (i == 10) {
            fs::remove_all(strFolder);
        }
        doc.OnPlaybackTick(1);
    }
    EXPECT_EQ(AppState.bConverting, 0);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"AVIファイルへの書き込みに失敗しました\n" + strFolder +
                                       "/out.avi: No such file or directory"});
}

TEST_F(ConversionRunTest, SettingsCommandAppliesOnlyOnOk) {
    OpenSource(testmedia::IndexedClip({}));
    editor.edit = [](ConvertSettings& s) {
        s.nTimerRateMode = 2;
        s.nTimerFrameRate = 7;
        s.nRangeStart = 5;  // whole stream stays chosen
    };
    editor.bAccept = false;
    doc.OnConvertSettings();
    EXPECT_EQ(AppState.nTimerFrameRate, 10);
    editor.bAccept = true;
    doc.OnConvertSettings();
    EXPECT_EQ(AppState.nTimerFrameRate, 7);
    EXPECT_EQ(AppState.nRangeStart, 0);
    EXPECT_EQ(AppState.nRangeEnd, 60);
}

TEST_F(ConversionRunTest, FailedWriteEndsTheConversionWithAMessage) {
    // Uncompressed frames are written at once; compressed ones on the encoding thread, whose
    // failure is reported by the next frame handed to it (or by the close).
    for (const char* pszTag : {"DIB ", "MJPG"}) {
        SCOPED_TRACE(pszTag);
        UseCompressor(pszTag[0], pszTag[1], pszTag[2], pszTag[3], 100);
        ui.messages.clear();
        OpenSource(testmedia::IndexedClip({}));
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = std::string(pszTag) == "DIB " ? 1'000'000 : 20'000;
        setrlimit(RLIMIT_FSIZE, &small);
        Convert(Dest(std::string("full-") + pszTag + ".avi"));
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(AppState.bConverting, 0);
        // Said once, with the system's reason.
        EXPECT_EQ(ui.messages,
                  std::vector<std::string>{"AVIファイルへの書き込みに失敗しました\n" +
                                           Dest(std::string("full-") + pszTag + ".avi") +
                                           ": File too large"});
        EXPECT_FALSE(Probe(Dest(std::string("full-") + pszTag + ".avi"), "nb_read_frames").empty());
    }
}

}  // namespace
