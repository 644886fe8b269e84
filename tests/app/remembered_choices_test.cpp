#include "app/remembered_choices.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "state/app_state.h"

namespace {

class MapStore final : public IChoiceStore {
  public:
    std::optional<int32_t> Read(const char* pszKey) const override {
        const auto it = values.find(pszKey);
        return it == values.end() ? std::nullopt : std::optional<int32_t>(it->second);
    }
    void Write(const char* pszKey, int32_t nValue) override { values[pszKey] = nValue; }
    std::map<std::string, int32_t> values;
};

class RememberedChoicesTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ResetAppState(); }
};

TEST_F(RememberedChoicesTest, WhatWasChosenComesBackAfterARestart) {
    AppState.nYuvLevel[2] = -40;
    AppState.nHsvLevel[0] = 200;
    AppState.nMosaicSize = 12;
    AppState.nStrobeInterval = 30;
    AppState.nTimerRateMode = 2;
    AppState.nTimerFrameRate = 25;
    AppState.nThinning = 3;
    AppState.bDvCrop = 1;
    AppState.bHideWhileConverting = 1;
    AppState.nSoundVolume = 40;
    AppState.bSoundMuted = 1;
    AppState.bApplyEffectsToConversion = 1;
    AppState.bApplyEffectsToStills = 1;
    AppState.nColorMode = 4;     // the settings file's, not ours
    AppState.nRangeStart = 100;  // belongs to one file
    const platform::CompressorChoice chosen{
        platform::MakeFourCC('M', 'J', 'P', 'G'), 15, 80, 500, {}};
    MapStore store;
    RememberChoices(store, chosen);

    ResetAppState();
    platform::CompressorChoice restored;
    RestoreChoices(store, restored);
    EXPECT_EQ(AppState.nYuvLevel[2], -40);
    EXPECT_EQ(AppState.nHsvLevel[0], 200);
    EXPECT_EQ(AppState.nMosaicSize, 12);
    EXPECT_EQ(AppState.nStrobeInterval, 30);
    EXPECT_EQ(AppState.nTimerRateMode, 2);
    EXPECT_EQ(AppState.nTimerFrameRate, 25);
    EXPECT_EQ(AppState.nThinning, 3);
    EXPECT_EQ(AppState.bDvCrop, 1);
    EXPECT_EQ(AppState.bHideWhileConverting, 1);
    EXPECT_EQ(AppState.nSoundVolume, 40);
    EXPECT_EQ(AppState.bSoundMuted, 1);
    EXPECT_EQ(AppState.bApplyEffectsToConversion, 1);
    EXPECT_EQ(AppState.bApplyEffectsToStills, 1);
    EXPECT_EQ(AppState.nColorMode, 0) << "kept by quovel.prm alone";
    EXPECT_EQ(AppState.nRangeStart, 0);
    EXPECT_EQ(restored.nFourCC, chosen.nFourCC);
    EXPECT_EQ(restored.nKeyFrameEvery, 15);
    EXPECT_EQ(restored.nQuality, 80);
    EXPECT_EQ(restored.nDataRateKBps, 500);
}

// A file edited by hand, or written by another version: what is missing or cannot be used
// keeps the start-up value instead of reaching the pipeline.
TEST_F(RememberedChoicesTest, MissingOrImpossibleValuesKeepTheDefaults) {
    MapStore store;
    store.values = {{"colour/rgb1", 999},          {"colour/mosaicSize", 0},
                    {"convert/thinning", 0},       {"convert/timerRate", -5},
                    {"convert/sourceRateMode", 7}, {"compressor/quality", 101},
                    {"compressor/fourcc", 0},      {"colour/paintLevels", 8}};
    platform::CompressorChoice restored;
    RestoreChoices(store, restored);
    EXPECT_EQ(AppState.nRgbLevel[0], 0);
    EXPECT_EQ(AppState.nMosaicSize, 4);
    EXPECT_EQ(AppState.nThinning, 1);
    EXPECT_EQ(AppState.nTimerFrameRate, 10);
    EXPECT_EQ(AppState.nSrcRateMode, 0);
    EXPECT_EQ(restored.nQuality, -1);
    EXPECT_EQ(restored.nFourCC, platform::kFourCCDib);
    EXPECT_EQ(AppState.nPaintLevels, 8) << "the one usable value is taken";
}

}  // namespace
