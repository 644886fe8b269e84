#pragma once
// The document with its frame grabber, writer and conversion run, wired as the window wires
// them and made the current ones in AppState for the session's lifetime: the command line,
// the tests and the benchmarks each work through one. The record starts fresh and is left
// fresh, so nothing of one session reaches the next.
#include "convert/avi_writer.h"
#include "convert/conversion_run.h"
#include "framework/ui_services.h"
#include "platform/compressor.h"
#include "platform/media_clock.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"

class CMediaSession {
  public:
    CMediaSession(fw::UiServices& ui, fw::IRecentFileList& recentFiles,
                  const platform::IMediaClock& clock, platform::ICompressorChooser& chooser,
                  const platform::MediaGraphOptions& options = {});
    // A session that only plays (rendering, benchmarks): no compressor is ever chosen, so
    // its writer never opens.
    CMediaSession(fw::UiServices& ui, fw::IRecentFileList& recentFiles,
                  const platform::IMediaClock& clock,
                  const platform::MediaGraphOptions& options = {});
    ~CMediaSession();
    CMediaSession(const CMediaSession&) = delete;
    CMediaSession& operator=(const CMediaSession&) = delete;

    CQuovelDoc& Doc() { return m_doc; }
    CFrameGrabber& Grabber() { return m_grabber; }
    CAviWriter& Writer() { return m_writer; }
    CConversionRun& Conversion() { return *m_pConversion; }

  private:
    CQuovelDoc m_doc;
    CFrameGrabber m_grabber;
    CAviWriter m_writer;
    CConversionRun* m_pConversion;  // owned by the document
};
