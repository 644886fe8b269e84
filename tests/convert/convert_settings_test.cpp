#include "convert/convert_settings.h"

#include <gtest/gtest.h>

#include "state/app_state.h"

namespace {

using namespace convert_ids;

class ConvertSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ResetAppState(); }
};

TEST_F(ConvertSettingsTest, ChecksComeInOrderWithTheirFocus) {
    ConvertSettings s;
    s.nSrcRateMode = 1;
    s.nSrcFrameRate = 0;
    s.nTimerRateMode = 2;
    s.nTimerFrameRate = 0;
    s.nDstRateMode = 1;
    s.nDstFrameRate = 0;
    s.nRangeMode = 1;
    s.nRangeStart = s.nRangeEnd = 40;
    auto problem = ValidateConvertSettings(s);
    ASSERT_TRUE(problem);
    EXPECT_STREQ(problem->pszMessage, "変換元ビデオのフレームレートが異常です");
    EXPECT_EQ(problem->nFocusId, kSrcRate);
    s.nSrcFrameRate = -5;  // a negative rate is refused as well
    EXPECT_EQ(ValidateConvertSettings(s)->nFocusId, kSrcRate);
    s.nSrcFrameRate = 15;
    EXPECT_STREQ(ValidateConvertSettings(s)->pszMessage, "変換処理のタイマ実行レートが異常です");
    EXPECT_EQ(ValidateConvertSettings(s)->nFocusId, kTimerRate);
    s.nTimerFrameRate = 7;
    EXPECT_STREQ(ValidateConvertSettings(s)->pszMessage, "変換先ビデオのフレームレートが異常です");
    EXPECT_EQ(ValidateConvertSettings(s)->nFocusId, kDstRate);
    s.nDstFrameRate = 15;
    EXPECT_STREQ(ValidateConvertSettings(s)->pszMessage, "変換範囲の指定が異常です");
    EXPECT_EQ(ValidateConvertSettings(s)->nFocusId, kRangeStartSlider);
    s.nRangeStart = 39;
    EXPECT_FALSE(ValidateConvertSettings(s));

    // A rate counts only when its own value is chosen.
    ConvertSettings t;
    t.nSrcFrameRate = 0;
    t.nTimerRateMode = 1;
    t.nTimerFrameRate = 0;
    t.nDstFrameRate = -3;
    t.nRangeStart = 100;
    t.nRangeEnd = 50;
    EXPECT_FALSE(ValidateConvertSettings(t));
}

TEST_F(ConvertSettingsTest, ApplyTakesEachRateAsItsModeSays) {
    ConvertSettings s;
    s.nSrcFrameRate = 15;  // typed, but "30 frame/sec" stays chosen
    s.nTimerRateMode = 1;
    s.nTimerFrameRate = 99;
    s.nDstRateMode = 1;
    s.nDstFrameRate = 15;
    s.nThinning = 2;
    s.nRangeStart = 100;  // whole stream chosen: the range is the stream
    s.nRangeEnd = 50;
    s.bDvCrop = 1;
    ApplyConvertSettings(s, 300);
    EXPECT_EQ(AppState.nSrcFrameRate, 30);
    EXPECT_EQ(AppState.nTimerFrameRate, 10);
    EXPECT_EQ(AppState.nDstFrameRate, 15);
    EXPECT_EQ(AppState.nThinning, 2);
    EXPECT_EQ(AppState.nRangeStart, 0);
    EXPECT_EQ(AppState.nRangeEnd, 300);
    EXPECT_EQ(AppState.bDvCrop, 1);
    EXPECT_EQ(LoadConvertSettings().nSrcFrameRate, 30) << "the next opening shows 30";

    s.nTimerRateMode = 0;
    s.nRangeMode = 1;
    s.nSrcRateMode = 1;
    ApplyConvertSettings(s, 300);
    EXPECT_EQ(AppState.nTimerFrameRate, 30);
    EXPECT_EQ(AppState.nSrcFrameRate, 15);
    EXPECT_EQ(AppState.nRangeStart, 100);
    EXPECT_EQ(AppState.nRangeEnd, 50);
}

TEST_F(ConvertSettingsTest, PositionsAndTypedNumbers) {
    EXPECT_EQ(FormatFramePosition(54000), "30:00:00");
    EXPECT_EQ(FormatFramePosition(29), "00:00:29");
    EXPECT_EQ(FormatFramePosition(30), "00:01:00");
    EXPECT_EQ(FormatFramePosition(180000), "100:00:00");
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("-5"), -5);
    EXPECT_EQ(LeadingNumber(" +7 fps"), 7);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("abc12"), 0);
    EXPECT_EQ(LeadingNumber(std::string(30, '0') + "98"), 9) << "only the first 31 characters";
}

}  // namespace
