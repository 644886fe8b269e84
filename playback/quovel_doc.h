#pragma once
// The single document: owns the three image blocks every frame passes through and the
// playback timer, and carries the playback commands.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "framework/document.h"
#include "framework/timer_host.h"
#include "framework/ui_services.h"

#include "playback/document_conversion.h"

class CFrameGrabber;
class IAppDialogs;

class CQuovelDoc : public fw::CDocument {
  public:
    static constexpr uint32_t kPlaybackTimerId = 1;
    static constexpr uint32_t kPlaybackIntervalMs = 33;

    CQuovelDoc(fw::UiServices& ui, fw::IRecentFileList& recentFiles);
    ~CQuovelDoc() override;

    void SetTimerWindow(fw::ITimerHost* pTimerWnd) { hTimerWnd = pTimerWnd; }
    // Three zero-filled blocks of dib::ImageBlockBytes each; false (and no blocks)
    // when the size is out of reach.
    bool AllocateImages(int32_t nWidth, int32_t nHeight);
    // One playback timer tick. 0 when a repeat restart could not reopen the file.
    int OnPlaybackTick(uint32_t nIdEvent);

    void OnFileOpen();
    // Opens and plays a file by name: the open command after its dialog, the command line
    // and the recent-file list all come here. A file with no video stream that decodes is
    // refused with a message and changes nothing (title, file, range, recent list): false.
    bool OpenFilePath(const std::string& strPath);
    void OnPlayStart();
    void OnPlayStop();
    void OnPlayPause();
    void OnViewRefresh();
    // Space: pause or resume while playing, play when stopped with a file.
    void OnGoPlayPause();
    // The shown frame as the conversion range's start or end, in the stream-length unit
    // (30 a second): the first unit that falls in the frame, so a conversion from there
    // starts with exactly it. The range becomes the one in force (nRangeMode 1).
    void MarkRange(bool bEnd);
    // The position bar's move: the exact frame at llPosition, or (bExact false, while the
    // handle is dragged) the key frame before it, which shows at once on a long GOP.
    void MoveToPosition(int64_t llPosition, bool bExact);
    void OnCloseDocument() override;
    // Conversion: the destination, the settings, the compressor, then the run on the timer,
    // all done by the conversion attached here. Without one the convert commands stay off.
    void OnFileConvert();
    void OnConvertSettings();
    void AttachConversion(std::unique_ptr<IDocumentConversion> pConversion);
    void SetAppDialogs(IAppDialogs* pDialogs) { m_pDialogs = pDialogs; }
    // The current decoded frame as a BMP file (never the effect shown on screen).
    void SaveStillImage();
    // "AVI再生設定": repeat playback and the 640×480 full-screen switch.
    void OnPlaySettings();
    // Ends a running conversion: the output is closed complete. False when it could not be.
    bool EndConversion();
    // The play command's work: false when no graph could be built for the file.
    bool StartPlayback();

    // The open command's enabling rule, shared with the recent-file entries.
    static bool CanOpen();

    // Zeroed blocks from calloc: a page is resident only once written, so a block a session
    // never uses (the crop block outside DV, the display block in the standard mode) costs
    // no memory however large the picture.
    struct BlockFreer {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    using ImageBlock = std::unique_ptr<uint8_t[], BlockFreer>;
    ImageBlock pFrameImage;
    ImageBlock pDisplayImage;
    ImageBlock pCropImage;
    uint32_t nImageBytes = 0;
    int32_t nZoom = 1;
    fw::ITimerHost* hTimerWnd = nullptr;
    uint32_t nTimerId = 0;
    // The last conversion went all the way (range end, or the end of the source), rather
    // than being stopped or failing.
    int32_t bConversionCompleted = 0;

  private:
    void FreeImages();
    void StartPlaybackTimer(uint32_t nElapseMs);
    void StopPlaybackTimer();
    // Builds a new graph for the file the grabber holds and runs it, keeping the blocks.
    bool ReopenAndRun(CFrameGrabber& grabber);

    void RegisterCommands();
    void RegisterMoveCommands();
    // Runs a move on the grabber, then draws what it shows.
    void Move(const std::function<bool(CFrameGrabber&)>& move);

    fw::UiServices& m_ui;
    fw::IRecentFileList& m_recentFiles;
    std::unique_ptr<IDocumentConversion> m_pConversion;  // the convert commands' work
    IAppDialogs* m_pDialogs = nullptr;
};
