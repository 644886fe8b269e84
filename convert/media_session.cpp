#include "convert/media_session.h"

#include <memory>
#include <optional>

#include "state/app_state.h"

namespace {

// The chooser of a session that only plays: there is never a compressor to choose.
platform::ICompressorChooser& NoCompressor() {
    class Never final : public platform::ICompressorChooser {
      public:
        std::optional<platform::CompressorChoice> Choose(
            const dib::BitmapInfoHeader&, const platform::CompressorChoice&) override {
            return std::nullopt;
        }
    };
    static Never never;
    return never;
}

}  // namespace

CMediaSession::CMediaSession(fw::UiServices& ui, fw::IRecentFileList& recentFiles,
                             const platform::IMediaClock& clock,
                             platform::ICompressorChooser& chooser,
                             const platform::MediaGraphOptions& options)
    : m_doc(ui, recentFiles), m_grabber(clock, options), m_writer(chooser, m_grabber) {
    auto pConversion = std::make_unique<CConversionRun>(m_doc, ui, m_grabber, m_writer);
    m_pConversion = pConversion.get();
    m_doc.AttachConversion(std::move(pConversion));
    ResetAppState();
    AppState.pGrabber = &m_grabber;
    AppState.pWriter = &m_writer;
}

CMediaSession::CMediaSession(fw::UiServices& ui, fw::IRecentFileList& recentFiles,
                             const platform::IMediaClock& clock,
                             const platform::MediaGraphOptions& options)
    : CMediaSession(ui, recentFiles, clock, NoCompressor(), options) {}

CMediaSession::~CMediaSession() {
    // A conversion still open is completed before its writer goes.
    m_doc.OnCloseDocument();
    ResetAppState();
}
