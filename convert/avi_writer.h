#pragma once
// Writes the frames of a running conversion into a new AVI file: asks for a compressor,
// creates one video stream, and appends the current decoded frame on each WriteFrame,
// with frame thinning and the DV 360×240 → 320×240 reduction, keeping the progress text.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/avi_file.h"
#include "platform/compressor.h"
#include "platform/dib.h"

class CQuovelDoc;
class CFrameGrabber;
class CBandPool;

class CAviWriter {
  public:
    // WriteFrame's answers.
    static constexpr int kFinished = 0;
    static constexpr int kContinue = 1;
    static constexpr int kWriteFailed = -1;  // the frame could not be written (disk full ...)

    // The grabber is the session's, whose frames are written: it outlives the writer's use.
    CAviWriter(platform::ICompressorChooser& chooser, CFrameGrabber& grabber);
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    void SetFileName(const std::string& strName);
    int GetFileName(std::string& strName) const;
    // Prepares the file, stream and compressor for frames of the source size. 1 on success,
    // 0 when the user cancels the compressor choice or the file cannot be made (then
    // strFailure says why).
    int Open(CQuovelDoc* pDoc, int32_t nWidth, int32_t nHeight);
    int IsActive() const { return bActive; }
    // The range goes to the stream's end, and the conversion on to the source's last frame.
    bool RunsToSourceEnd() const { return m_bToSourceEnd; }
    void Start();
    int WriteFrame();
    // Releases what Open acquired and completes the file. False when the file could not be
    // completed (what was written stays readable).
    bool Close();
    // Gives up an output that never received a frame: released and its file removed, so
    // that a conversion that could not begin leaves nothing behind.
    void Discard();

    int32_t bActive = 0;
    int32_t bHasFileName = 0;
    platform::CompressorChoice compressOptions;
    platform::AviStreamInfo streamInfo;
    dib::BitmapInfoHeader bmpHeader;
    platform::CompressorChoice compVars;
    std::unique_ptr<platform::AviFile> pFile;  // the file with its compressing stream
    std::string strFileName;
    CQuovelDoc* pDocument = nullptr;
    int32_t nFrameCount = 0;
    int32_t nOutWidth = 0;
    int32_t nOutHeight = 0;
    int32_t nFrameBytes = 0;
    uint32_t nEndFrame = 0;
    // Why the file could not be made, written or completed (the system's words where it
    // gave some); empty while nothing failed.
    std::string strFailure;
    // Of the last conversion closed: the source's sound a copy left out (microseconds).
    int64_t llSoundLeftOutUs = 0;
    // What the compressor dialog offers first: the last choice made ("DIB " at first).
    platform::CompressorChoice initialChoice;
    // Why the file being written has no sound although its source has one.
    platform::SoundRefusal soundRefusal = platform::SoundRefusal::None;

  private:
    // The source's sound, as the settings ask, covering the range written.
    void AddSound();
    // Releases the file and removes it: nothing half made is left behind.
    void RemoveOutput();
    // No output, no name: where Close and Discard both end.
    void BackToIdle();
    // What turns the frame written at nPosition into the colour mode the conversion writes.
    platform::FrameStage EffectStage(int32_t nPosition) const;

    // The colour mode applied to the frames written, or -1 for none (as decoded).
    int32_t m_nEffectMode = -1;
    bool m_bToSourceEnd = false;  // the range ends with the stream: on to its last frame
    // The threads a colour mode's frames are transformed on, for a run that writes one.
    std::unique_ptr<CBandPool> m_pBands;

    platform::ICompressorChooser& m_chooser;
    CFrameGrabber& m_grabber;
};

// "%02d:%02d:%02d / %02d:%02d:%02d": minutes, seconds and frames of two positions counted at
// a fixed 30 frames a second.
std::string FormatProgress(uint32_t nCurrent, uint32_t nEnd);
