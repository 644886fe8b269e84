#include "platform/position_model.h"

#include <algorithm>

namespace platform {

void PositionModel::SetFrameGrid(int64_t nRateNum, int64_t nRateDen, int64_t llTolerance) {
    m_nRateNum = nRateDen > 0 ? nRateNum : 0;
    m_nRateDen = nRateDen > 0 ? nRateDen : 1;
    m_llTolerance = llTolerance;
}

int64_t PositionModel::Unclamped() const {
    return m_state == GraphState::Running ? m_llBase + (m_clock.Now() - m_llBaseClock) : m_llBase;
}

int64_t PositionModel::StopPosition() const {
    return m_llStop < 0 ? Duration() : std::min(m_llStop, Duration());
}

int64_t PositionModel::Clamped() const {
    return std::clamp<int64_t>(Unclamped(), 0, StopPosition());
}

int64_t PositionModel::Current() const {
    const int64_t llPos = Clamped();
    if (m_nRateNum <= 0) {
        return llPos;
    }
    // The start of the frame the position falls in when it lies within the tolerance before
    // that start; otherwise the position itself. Not capped at the stop position: a step held
    // short of the end must read as the end.
    const __int128 k = (static_cast<__int128>(llPos) + m_llTolerance) * m_nRateNum /
                       (static_cast<__int128>(m_nRateDen) * kMediaUnitsPerSecond);
    const __int128 den = m_nRateNum;
    const __int128 num = k * m_nRateDen * kMediaUnitsPerSecond;
    const auto llStart = static_cast<int64_t>((num + den - 1) / den);  // rounded up
    return llStart > llPos ? std::min(llStart, Duration()) : llPos;
}

void PositionModel::SetPositions(const int64_t* pllCurrent, const int64_t* pllStop) {
    if (pllStop != nullptr) {
        m_llStop = std::clamp<int64_t>(*pllStop, 0, m_durationSeenFrom(*pllStop));
    }
    if (pllCurrent != nullptr) {
        m_llBase = std::clamp<int64_t>(*pllCurrent, 0, m_durationSeenFrom(*pllCurrent));
        m_llBaseClock = m_clock.Now();
    }
}

void PositionModel::Run() {
    if (m_state != GraphState::Running) {
        m_llBase = Clamped();
        m_llBaseClock = m_clock.Now();
        m_state = GraphState::Running;
    }
}

void PositionModel::Pause() {
    m_llBase = Clamped();
    m_state = GraphState::Paused;
}

void PositionModel::Stop() {
    m_llBase = Clamped();
    m_state = GraphState::Stopped;
}

}  // namespace platform
