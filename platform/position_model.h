#pragma once
// Where a graph is in its stream, in 100 ns units from the first video frame: the position
// set last plus the time elapsed on the clock while running, held while paused or stopped,
// never below 0 nor past the stop position or the end. No decoding here: the end comes from
// the graph, which may move an estimated end on by decoding (durationSeenFrom).
#include <cstdint>
#include <functional>

#include "platform/media_clock.h"
#include "platform/media_graph.h"

namespace platform {

class PositionModel {
  public:
    // durationSeenFrom(llPosition): the end of the stream as known once a position has been
    // reached (an estimated end is confirmed when a position comes near it).
    PositionModel(const IMediaClock& clock, std::function<int64_t(int64_t)> durationSeenFrom)
        : m_clock(clock), m_durationSeenFrom(std::move(durationSeenFrom)) {}

    // The frame grid, for reading a position a rounding short of a frame's start as that
    // start: frames of nRateDen / nRateNum seconds; tolerance in 100 ns units.
    void SetFrameGrid(int64_t nRateNum, int64_t nRateDen, int64_t llTolerance);

    GraphState State() const { return m_state; }
    void Run();
    void Pause();
    void Stop();
    // Null leaves a position as it is; both are clamped to [0, end].
    void SetPositions(const int64_t* pllCurrent, const int64_t* pllStop);

    int64_t Duration() const { return m_durationSeenFrom(Unclamped()); }
    int64_t StopPosition() const;
    // The position, with the rounding tolerance applied.
    int64_t Current() const;

  private:
    int64_t Unclamped() const;
    int64_t Clamped() const;

    const IMediaClock& m_clock;
    std::function<int64_t(int64_t)> m_durationSeenFrom;
    GraphState m_state = GraphState::Stopped;
    int64_t m_llBase = 0;       // position when the clock reading below was taken
    int64_t m_llBaseClock = 0;  // clock reading at the last run, seek or resume
    int64_t m_llStop = -1;      // -1: the end of the stream, wherever that turns out to be
    int64_t m_nRateNum = 0;     // 0: no grid (nothing decodes)
    int64_t m_nRateDen = 1;
    int64_t m_llTolerance = 0;
};

}  // namespace platform
