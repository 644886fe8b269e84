#pragma once
// "ビデオの圧縮": the user picks a compressor for the new AVI file with its key-frame interval,
// quality and data rate. Only the compressors that take the frame size are offered.
#include "platform/compressor.h"

class QWidget;

class CCompressorDialog final : public platform::ICompressorChooser {
  public:
    explicit CCompressorDialog(QWidget* pParent = nullptr) : m_pParent(pParent) {}
    void SetParentWindow(QWidget* pParent) { m_pParent = pParent; }
    std::optional<platform::CompressorChoice> Choose(
        const dib::BitmapInfoHeader& input, const platform::CompressorChoice& initial) override;

  private:
    QWidget* m_pParent;
};
