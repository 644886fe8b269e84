#pragma once
// Playback's sound through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// service), with Qt Multimedia's audio sink in push mode.
#include <QAudioSink>
#include <QIODevice>
#include <memory>

#include "platform/sound_output.h"

class CQtSoundOutput final : public platform::ISoundOutput {
  public:
    // What the server holds ahead of the speaker: several ticks of 33 ms.
    static constexpr qint64 kBufferMicroseconds = 200'000;

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
