#pragma once
// A conversion on the document, from the convert command to the completed file: the
// destination, the settings, the compressor, then one source frame a tick until the range,
// the source or the writer ends it. The document's commands and tick hand it their work.
#include <cstdint>
#include <string>

#include "platform/media_graph.h"
#include "playback/document_conversion.h"

class CQuovelDoc;
class CFrameGrabber;
class IConvertSettingsEditor;
namespace fw {
class UiServices;
}

// "N 個のフレームをデコードできませんでした (first 〜 last)…", times as h:mm:ss.mmm.
std::string UndecodedFramesText(const platform::UndecodedFrames& undecoded);

class CConversionRun final : public IDocumentConversion {
  public:
    CConversionRun(CQuovelDoc& doc, fw::UiServices& ui) : m_doc(doc), m_ui(ui) {}

    void SetSettingsEditor(IConvertSettingsEditor* pEditor) { m_pSettingsEditor = pEditor; }
    void Start() override;
    bool Tick(CFrameGrabber& grabber, bool bNewFrame) override;
    bool End() override;
    void EditSettings() override;
    // The source frames in what was converted that did not decode (and were written as the
    // frame before them), once the conversion has ended.
    platform::UndecodedFrames Undecoded() const;

  private:
    CQuovelDoc& m_doc;
    fw::UiServices& m_ui;
    IConvertSettingsEditor* m_pSettingsEditor = nullptr;
    int64_t m_llWrittenFrom = -1;  // the source frames written: the first's start
    int64_t m_llWrittenTo = -1;    // and the last's
    bool m_bWriteFailed = false;   // a frame could not be written
};
