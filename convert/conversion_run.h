#pragma once
// A conversion on the document, from the convert command to the completed file: the
// destination, the settings, the compressor, then one source frame a tick until the range,
// the source or the writer ends it. The document's commands and tick hand it their work.
#include <cstdint>

class CQuovelDoc;
class CFrameGrabber;
class IConvertSettingsEditor;
namespace fw {
class UiServices;
}

class CConversionRun {
  public:
    CConversionRun(CQuovelDoc& doc, fw::UiServices& ui) : m_doc(doc), m_ui(ui) {}

    void SetSettingsEditor(IConvertSettingsEditor* pEditor) { m_pSettingsEditor = pEditor; }
    // The convert command: asks for everything and starts, or leaves nothing behind.
    void Start();
    // One tick after the fetch; false when the conversion ended on it.
    bool Tick(CFrameGrabber& grabber, bool bNewFrame);
    // Closes a running conversion's output complete; false when it could not be.
    bool End();
    // The conversion-settings command.
    void EditSettings();

  private:
    CQuovelDoc& m_doc;
    fw::UiServices& m_ui;
    IConvertSettingsEditor* m_pSettingsEditor = nullptr;
};
