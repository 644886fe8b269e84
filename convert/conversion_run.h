#pragma once
// A conversion on the document, from the convert command to the completed file: the
// destination, the settings, the compressor, then one source frame a tick until the range,
// the source or the writer ends it. The document's commands and tick hand it their work.
#include <cstdint>

#include "playback/document_conversion.h"

class CQuovelDoc;
class CFrameGrabber;
class IConvertSettingsEditor;
namespace fw {
class UiServices;
}

class CConversionRun final : public IDocumentConversion {
  public:
    CConversionRun(CQuovelDoc& doc, fw::UiServices& ui) : m_doc(doc), m_ui(ui) {}

    void SetSettingsEditor(IConvertSettingsEditor* pEditor) { m_pSettingsEditor = pEditor; }
    void Start() override;
    bool Tick(CFrameGrabber& grabber, bool bNewFrame) override;
    bool End() override;
    void EditSettings() override;

  private:
    CQuovelDoc& m_doc;
    fw::UiServices& m_ui;
    IConvertSettingsEditor* m_pSettingsEditor = nullptr;
};
