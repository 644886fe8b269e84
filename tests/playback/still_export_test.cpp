// "静止画保存": the decoded frame as a BMP, read back by ffmpeg.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_dialogs.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"
#include "view/quovel_view.h"

namespace fs = std::filesystem;

namespace {

class ScriptedDialogs final : public IAppDialogs {
  public:
    void ShowAbout() override { ++nAbout; }
    bool EditPlaySettings(int32_t& bRepeat, int32_t& bVgaMode) override {
        if (!bAccept) {
            return false;
        }
        bRepeat ^= 1;
        bVgaMode = 9;
        return true;
    }
    bool bAccept = true;
    int nAbout = 0;
};

class StillExportTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    void SetUp() override {
        view.AttachDocument(&doc);
        doc.SetAppDialogs(&dialogs);
        ui.answers.push_back(testmedia::IndexedClip({}));
        doc.OnFileOpen();
        clock.Advance(7 * 333'333);
        doc.OnPlaybackTick(1);
    }

    CQuovelView view;
    ScriptedDialogs dialogs;
};

TEST_F(StillExportTest, SavesTheDecodedFrameNotTheEffect) {
    AppState.nColorMode = 9;  // negative on screen
    doc.OnViewRefresh();
    doc.OnPlayPause();
    clock.Advance(10 * 333'333);
    doc.OnPlaybackTick(1);  // paused: the picture stays frame 7

    const std::string strPath = testmedia::MediaDir() + "/still";
    fs::remove(strPath + ".bmp");
    ui.saveAnswers.push_back(strPath);
    doc.SaveStillImage();
    EXPECT_EQ(ui.strLastSaveFilter, "BMP Files (*.bmp)|*.bmp||");
    std::ifstream in(strPath + ".bmp", std::ios::binary);
    const std::string strBytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(strBytes.size(), 230'454u);
    EXPECT_EQ(strBytes.substr(0, 2), "BM");
    uint32_t nSize = 0;
    uint32_t nOffBits = 0;
    std::memcpy(&nSize, strBytes.data() + 2, 4);
    std::memcpy(&nOffBits, strBytes.data() + 10, 4);
    EXPECT_EQ(nSize, 230'454u);
    EXPECT_EQ(nOffBits, 54u);
    EXPECT_EQ(std::memcmp(strBytes.data() + 54, doc.pFrameImage.get() + 54, 230'400), 0);
    EXPECT_EQ(testmedia::DecodedIndices(strPath + ".bmp", 320, 240), std::vector<int>{7})
        << "ffmpeg reads the paused, uneffected frame";
}

// With ﾌｧｲﾙ › カラー効果を静止画に適用する checked, the still is the picture shown: the paused
// frame through the colour mode, byte for byte the display block the view drew; the strobe as
// the last draw showed it.
TEST_F(StillExportTest, WithTheEffectCheckedItSavesThePictureShown) {
    fw::CCmdUI check(cmd::kStillApplyEffects);
    doc.OnUpdateCmdUI(check);
    EXPECT_EQ(check.m_nCheck, 0);
    ASSERT_TRUE(doc.OnCmdMsg(cmd::kStillApplyEffects));
    doc.OnUpdateCmdUI(check);
    EXPECT_EQ(check.m_nCheck, 1);

    const std::string strPath = testmedia::MediaDir() + "/still-shown.bmp";
    auto saved = [&](int32_t nMode) {
        AppState.nColorMode = nMode;
        AppState.nMosaicSize = 7;
        doc.OnViewRefresh();  // the view draws the picture shown
        fs::remove(strPath);
        ui.saveAnswers.push_back(strPath);
        doc.SaveStillImage();
        std::ifstream in(strPath, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    doc.OnPlayPause();
    for (const int32_t nMode : {6, 8, 9}) {
        const std::string strBytes = saved(nMode);
        ASSERT_EQ(strBytes.size(), 230'454u) << nMode;
        EXPECT_EQ(std::memcmp(strBytes.data() + 54, doc.pDisplayImage.get() + 54, 230'400), 0)
            << "mode " << nMode;
    }
    const std::string strNegative = saved(9);
    EXPECT_EQ(static_cast<uint8_t>(strNegative[54]), 255 - doc.pFrameImage.get()[54]);

    ASSERT_TRUE(doc.OnCmdMsg(cmd::kStillApplyEffects));
    EXPECT_EQ(std::memcmp(saved(9).data() + 54, doc.pFrameImage.get() + 54, 230'400), 0)
        << "unchecked: the frame as decoded";
}

TEST_F(StillExportTest, CancelFailureAndTheSmallDialogs) {
    ui.saveAnswers.push_back(std::nullopt);
    doc.SaveStillImage();
    EXPECT_TRUE(ui.messages.empty());

    ui.saveAnswers.push_back(testmedia::MediaDir() + "/no/such/folder/still.bmp");
    doc.SaveStillImage();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"静止画ファイルを保存できませんでした\n" +
                                                    testmedia::MediaDir() +
                                                    "/no/such/folder/still.bmp: No such file or "
                                                    "directory"});
    EXPECT_FALSE(fs::exists(testmedia::MediaDir() + "/no/such/folder/still.bmp.part"));

    AppState.bRepeatPlay = 2;
    dialogs.bAccept = false;
    doc.OnPlaySettings();
    EXPECT_EQ(AppState.bRepeatPlay, 2) << "cancel changes nothing";
    dialogs.bAccept = true;
    doc.OnPlaySettings();
    EXPECT_EQ(AppState.bRepeatPlay, 3);
    EXPECT_EQ(AppState.bVgaFullScreen, 9);
}

}  // namespace
