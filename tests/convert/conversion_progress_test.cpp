#include "convert/conversion_progress.h"

#include <gtest/gtest.h>

namespace {

TEST(ConversionProgress, ShareDoneAndTimeLeftAtThePaceSoFar) {
    EXPECT_EQ(WorkOutProgress(0, 61, 0).nPercent, 0);
    EXPECT_EQ(WorkOutProgress(0, 61, 0).nSecondsLeft, -1) << "no pace yet";
    EXPECT_EQ(WorkOutProgress(1, 61, 100).nSecondsLeft, -1) << "one frame is no pace either";
    const ConversionProgress half = WorkOutProgress(30, 60, 15'000);
    EXPECT_EQ(half.nPercent, 50);
    EXPECT_EQ(half.nSecondsLeft, 15);
    EXPECT_EQ(WorkOutProgress(59, 60, 59'100).nSecondsLeft, 2) << "1.0017 s: rounded up";
    EXPECT_EQ(WorkOutProgress(59, 60, 59'000).nSecondsLeft, 1);
    EXPECT_EQ(WorkOutProgress(60, 60, 60'000).nPercent, 100);
    EXPECT_EQ(WorkOutProgress(60, 60, 60'000).nSecondsLeft, 0);
    EXPECT_EQ(WorkOutProgress(70, 60, 1000).nPercent, 100) << "never past the end";
    EXPECT_EQ(WorkOutProgress(5, 0, 1000).nPercent, 0) << "an empty range";
    // A long conversion of a long range does not overflow.
    EXPECT_EQ(WorkOutProgress(1'000'000, 2'000'000'000, 3'600'000).nPercent, 0);
    EXPECT_GT(WorkOutProgress(1'000'000, 2'000'000'000, 3'600'000).nSecondsLeft, 0);
}

TEST(ConversionProgress, TheBarReadsPercentAndTimeLeft) {
    EXPECT_EQ(FormatProgressBar({42, -1}), "42%");
    EXPECT_EQ(FormatProgressBar({42, 65}), "42%  残り 1:05");
    EXPECT_EQ(FormatProgressBar({3, 3723}), "3%  残り 1:02:03");
}

}  // namespace
