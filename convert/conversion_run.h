#pragma once
// A conversion on the document, from the convert command to the completed file: the
// destination, the settings, the compressor, then one source frame a tick until the range,
// the source or the writer ends it. The document's commands and tick hand it their work.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/media_graph.h"
#include "playback/document_conversion.h"

class CQuovelDoc;
class CFrameGrabber;
class CAviWriter;
class IConvertSettingsEditor;
namespace fw {
class UiServices;
}

// "N 個のフレームをデコードできませんでした (first 〜 last)…", times as h:mm:ss.mmm.
std::string UndecodedFramesText(const platform::UndecodedFrames& undecoded);

class CConversionRun final : public IDocumentConversion {
  public:
    // The grabber and writer are the session's: they outlive the run.
    CConversionRun(CQuovelDoc& doc, fw::UiServices& ui, CFrameGrabber& grabber, CAviWriter& writer)
        : m_doc(doc), m_ui(ui), m_grabber(grabber), m_writer(writer) {}

    void SetSettingsEditor(IConvertSettingsEditor* pEditor) { m_pSettingsEditor = pEditor; }
    // Told after every tick that wrote a frame, and once as the source runs out: the frames
    // written so far and the position text ("00:00:12 / 00:01:00").
    using ProgressListener =
        std::function<void(int32_t nFramesWritten, const std::string& strPositionText)>;
    void SetProgressListener(ProgressListener listener) { m_onProgress = std::move(listener); }
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
    CFrameGrabber& m_grabber;
    CAviWriter& m_writer;
    IConvertSettingsEditor* m_pSettingsEditor = nullptr;
    ProgressListener m_onProgress;
    void TellProgress() const;
    int64_t m_llWrittenFrom = -1;  // the source frames written: the first's start
    int64_t m_llWrittenTo = -1;    // and the last's
    bool m_bWriteFailed = false;   // a frame could not be written
};
