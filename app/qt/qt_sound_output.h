#pragma once
// Playback's sound through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// service), with Qt Multimedia's audio sink in push mode.
#include <QAudioSink>
#include <QIODevice>
#include <memory>

#include "platform/sound_output.h"

class CQtSoundOutput final : public platform::ISoundOutput {
  public:
    // Asked of the server for the sound queued ahead of the speaker. PulseAudio keeps a
    // little over half (the rest goes to its own latency): about 170 ms, which rides out
    // four late ticks and is how long play and resume wait for the sound to begin. (Left to
    // itself it keeps 145 ms.)
    static constexpr qint64 kBufferMicroseconds = 300'000;

    CQtSoundOutput() = default;
    ~CQtSoundOutput() override;
    CQtSoundOutput(const CQtSoundOutput&) = delete;
    CQtSoundOutput& operator=(const CQtSoundOutput&) = delete;

    bool Start(int nSampleRate, int nChannels) override;
    void Stop() override;
    size_t BytesFree() const override;
    size_t Write(const uint8_t* pData, size_t nBytes) override;
    int64_t HeardMicroseconds() const override;
    void SetVolume(double dVolume) override;

  private:
    std::unique_ptr<QAudioSink> m_pSink;
    QIODevice* m_pDevice = nullptr;  // the sink's, valid while it runs
    double m_dVolume = 1.0;
};
