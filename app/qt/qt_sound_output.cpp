#include "app/qt/qt_sound_output.h"

#include <QAudio>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QMediaDevices>

CQtSoundOutput::~CQtSoundOutput() {
    Stop();
}

bool CQtSoundOutput::Start(int nSampleRate, int nChannels) {
    Stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return false;  // no sound server, or no device on it
    }
    QAudioFormat format;
    format.setSampleRate(nSampleRate);
    format.setChannelCount(nChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    auto pSink = std::make_unique<QAudioSink>(device, format);
    pSink->setBufferSize(format.bytesForDuration(kBufferMicroseconds));
    pSink->setVolume(m_dVolume);
    QIODevice* pDevice = pSink->start();
    if (pDevice == nullptr || pSink->error() != QAudio::NoError) {
        return false;
    }
    m_pSink = std::move(pSink);
    m_pDevice = pDevice;
    return true;
}

void CQtSoundOutput::Stop() {
    if (m_pSink) {
        m_pSink->stop();
        m_pSink.reset();
    }
    m_pDevice = nullptr;
}

size_t CQtSoundOutput::BytesFree() const {
    return m_pSink ? static_cast<size_t>(std::max<qsizetype>(m_pSink->bytesFree(), 0)) : 0;
}

size_t CQtSoundOutput::Write(const uint8_t* pData, size_t nBytes) {
    if (m_pDevice == nullptr) {
        return 0;
    }
    const qint64 nWritten =
        m_pDevice->write(reinterpret_cast<const char*>(pData), static_cast<qint64>(nBytes));
    return nWritten > 0 ? static_cast<size_t>(nWritten) : 0;
}

int64_t CQtSoundOutput::HeardMicroseconds() const {
    // The sink's figure is what the server has played less its latency: what is heard.
    return m_pSink ? m_pSink->processedUSecs() : 0;
}

void CQtSoundOutput::SetVolume(double dVolume) {
    // The steps the user takes are even to the ear: the level is the gain on a log scale.
    m_dVolume =
        QAudio::convertVolume(dVolume, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale);
    if (m_pSink) {
        m_pSink->setVolume(m_dVolume);
    }
}
