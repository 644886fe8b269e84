#include "platform/position_model.h"

#include <gtest/gtest.h>

namespace {

using platform::GraphState;
using platform::ManualMediaClock;
using platform::PositionModel;

constexpr int64_t kSecond = 10'000'000;

// A 5 s stream at 1 frame a second: runs on the clock, holds when paused or stopped, stays
// inside [0, end] and the stop position, and reads a position 1 ms short of a frame as it.
TEST(PositionModel, FollowsTheClockWithinTheStream) {
    ManualMediaClock clock;
    PositionModel position(clock, [](int64_t) { return 5 * kSecond; });
    position.SetFrameGrid(1, 1, 10'000);
    EXPECT_EQ(position.State(), GraphState::Stopped);
    EXPECT_EQ(position.Current(), 0);

    position.Run();
    clock.Advance(kSecond + kSecond / 2);
    EXPECT_EQ(position.Current(), kSecond + kSecond / 2) << "inside frame 1: itself";
    position.Pause();
    clock.Advance(kSecond);
    EXPECT_EQ(position.Current(), kSecond + kSecond / 2) << "held";
    position.Run();
    clock.Advance(kSecond / 2 - 5'000);  // 5 000 units short of 2 s
    EXPECT_EQ(position.Current(), 2 * kSecond) << "a rounding short reads as the frame";
    clock.Advance(-20'000);
    EXPECT_EQ(position.Current(), 2 * kSecond - 25'000) << "more than 1 ms short does not";

    const int64_t llStart = 4 * kSecond;
    const int64_t llStop = 4 * kSecond + kSecond / 2;
    position.SetPositions(&llStart, &llStop);
    EXPECT_EQ(position.StopPosition(), llStop);
    clock.Advance(10 * kSecond);
    EXPECT_EQ(position.Current(), llStop) << "capped at the stop position";
    position.Stop();
    EXPECT_EQ(position.State(), GraphState::Stopped);

    const int64_t llBeyond = 9 * kSecond;
    const int64_t llBefore = -kSecond;
    position.SetPositions(&llBefore, &llBeyond);
    EXPECT_EQ(position.Current(), 0);
    EXPECT_EQ(position.StopPosition(), 5 * kSecond) << "clamped to the end";
}

// Without a frame grid (nothing decodes) a position is read as it is; a grid of NTSC's
// 30000/1001 snaps a truncated step to its frame's start.
TEST(PositionModel, FrameGridOnlyWhereThereIsOne) {
    ManualMediaClock clock;
    PositionModel position(clock, [](int64_t) { return 10 * kSecond; });
    const int64_t llAt = 333'333;
    position.SetPositions(&llAt, nullptr);
    EXPECT_EQ(position.Current(), 333'333);
    position.SetFrameGrid(30000, 1001, 10'000);
    const int64_t llStep = 10 * 333'666;  // 10 frames of 1001/30000 s, truncated
    position.SetPositions(&llStep, nullptr);
    EXPECT_EQ(position.Current(), 3'336'667) << "frame 10 starts at 3 336 666.67 units";
}

}  // namespace
