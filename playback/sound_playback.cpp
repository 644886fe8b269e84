#include "playback/sound_playback.h"

#include <algorithm>

namespace {
// How much is read from the file at a time: a few device periods.
constexpr size_t kReadBytes = 16384;
}  // namespace

CSoundPlayback::~CSoundPlayback() {
    Stop();
}

void CSoundPlayback::SetOutput(platform::ISoundOutput* pOutput) {
    Stop();
    m_pOutput = pOutput;
}

void CSoundPlayback::SetVolume(double dVolume) {
    m_dVolume = std::clamp(dVolume, 0.0, 1.0);
    if (m_pReader != nullptr) {
        m_pOutput->SetVolume(m_dVolume);
    }
}

void CSoundPlayback::Start(const std::string& strPath, int64_t llOriginMicroseconds,
                           int64_t llPosition) {
    Stop();
    if (m_pOutput == nullptr) {
        return;
    }
    // The sound from a little before the picture: the clock stays where the picture is.
    auto pReader =
        platform::SoundReader::Open(strPath, llOriginMicroseconds, llPosition - m_llPictureLead);
    if (!pReader) {
        return;  // no sound, or none that decodes: the picture plays alone
    }
    m_format = pReader->Format();
    if (!m_pOutput->Start(m_format.nSampleRate, m_format.nChannels)) {
        return;  // no device: likewise, without a word
    }
    m_pOutput->SetVolume(m_dVolume);
    m_pReader = std::move(pReader);
    m_pending.clear();
    m_nPendingAt = 0;
    m_llBytesWritten = 0;
    m_bEnded = false;
    m_llLastHeard = 0;
    m_llLastMoveAt = m_base.Now();
    Feed();
    m_clock.Follow([this] { return HeardUnits(); });
}

void CSoundPlayback::Stop() {
    if (m_pReader == nullptr) {
        return;
    }
    // The clock first: it keeps the reading it has reached, which the device forgets.
    m_clock.Release();
    m_pOutput->Stop();
    m_pReader.reset();
    m_pending.clear();
}

int64_t CSoundPlayback::HeardUnits() const {
    return m_pOutput->HeardMicroseconds() * (platform::kMediaUnitsPerSecond / 1'000'000);
}

void CSoundPlayback::Feed() {
    const auto nFrameBytes = static_cast<size_t>(m_format.BytesPerFrame());
    for (;;) {
        size_t nFree = m_pOutput->BytesFree();
        nFree -= nFree % nFrameBytes;
        if (nFree == 0) {
            return;
        }
        if (m_nPendingAt == m_pending.size()) {
            if (m_bEnded) {
                return;
            }
            m_pending.resize(kReadBytes - kReadBytes % nFrameBytes);
            m_pending.resize(m_pReader->Read(m_pending.data(), m_pending.size()));
            m_nPendingAt = 0;
            if (m_pending.empty()) {
                m_bEnded = true;
                return;
            }
        }
        const size_t nTaken = m_pOutput->Write(m_pending.data() + m_nPendingAt,
                                               std::min(nFree, m_pending.size() - m_nPendingAt));
        if (nTaken == 0) {
            return;
        }
        m_nPendingAt += nTaken;
        m_llBytesWritten += static_cast<int64_t>(nTaken);
    }
}

void CSoundPlayback::Pump() {
    if (m_pReader == nullptr) {
        return;
    }
    Feed();
    const int64_t llHeard = m_pOutput->HeardMicroseconds();
    const int64_t llNow = m_base.Now();
    if (llHeard != m_llLastHeard) {
        m_llLastHeard = llHeard;
        m_llLastMoveAt = llNow;
    }
    const int64_t llWrittenUs =
        m_llBytesWritten * 1'000'000 /
        (static_cast<int64_t>(m_format.nSampleRate) * m_format.BytesPerFrame());
    const bool bAllHeard = m_bEnded && m_nPendingAt == m_pending.size() && llHeard >= llWrittenUs;
    const bool bStalled = llNow - m_llLastMoveAt > kStallUnits;
    if (bAllHeard || bStalled) {
        Stop();
    }
}
