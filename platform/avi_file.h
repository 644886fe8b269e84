#pragma once
// An AVI file being written: one video stream, compressed by a chosen compressor, written a
// sample at a time at consecutive stream positions. The steps follow the calls the writer
// makes: create the file, create the stream, make it a compressing stream, set its format,
// write samples, finish.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/compressor.h"
#include "platform/dib.h"
#include "platform/sound_plan.h"

namespace platform {

struct DecodedPicture;  // from the media graph

struct AviStreamInfo {
    uint32_t nHandler = kFourCCDib;
    uint32_t nScale = 1;
    uint32_t nRate = 30;  // frames per second = nRate / nScale
    uint32_t nLength = 0;
    int nWidth = 320;
    int nHeight = 240;
    // The shape of a pixel, width : height; 0 : 0 for square or unknown.
    int nSarNum = 0;
    int nSarDen = 0;
    std::string strName = "Video #1";
};

// Work on a 24-bit frame (pSrc) into another of its size (pDst) before it is encoded, done on
// the encoding side of the pipeline rather than by the caller.
using FrameStage = std::function<void(const uint8_t* pSrc, uint8_t* pDst)>;

class AviFile {
  public:
    // Creates (or replaces) the file; null when it cannot be created, and *pstrWhy (when
    // given) says why in the system's words.
    static std::unique_ptr<AviFile> Create(const std::string& strPath,
                                           std::string* pstrWhy = nullptr);
    // Finishes the file if Finish was not called, so that it is complete whatever happens.
    ~AviFile();
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    bool CreateStream(const AviStreamInfo& info);
    // Adds the sound track the plan describes, written beside the picture and never past its
    // end; before SetFormat. False, and no track, when the source has no sound (why: None)
    // or the plan cannot be kept (why says what stands in the way).
    bool AddSound(const SoundPlan& plan, SoundRefusal& why);
    bool MakeCompressedStream(const CompressorChoice& choice);
    // Opens the compressor for frames of this format and writes the file header.
    bool SetFormat(const dib::BitmapInfoHeader& format);
    // Whether WriteSample encodes from the decoded picture pSource (may be null) rather
    // than from the 24-bit frame, which it then does not read.
    bool TakesPicture(const DecodedPicture* pSource) const;
    // One frame, 24-bit BGR, bottom row first, rows padded to 4 bytes, at stream position
    // nPosition. False when the frame could not be written (the disk is full, say).
    // pSource, when given, is the decoded picture pFrame was copied from: a compressor that
    // takes YUV is given the picture instead wherever it has the same colours as pFrame.
    // stage, when given, turns the frame into what is written (pSource is then not used).
    bool WriteSample(int64_t nPosition, const uint8_t* pFrame, size_t nBytes,
                     const DecodedPicture* pSource = nullptr, const FrameStage& stage = {});
    // Drains the compressor, writes the index and closes the file. False when the file could
    // not be completed; the frames written before stay readable.
    bool Finish();
    // Why a step failed, in the system's or FFmpeg's words ("No space left on device"); empty
    // when nothing failed or nothing says why (a compressor that refuses the format).
    std::string FailureReason() const;
    // How much of the source's sound a copy left out, in microseconds (see Finish).
    int64_t SoundLeftOutMicroseconds() const;

  private:
    struct Impl;
    explicit AviFile(std::unique_ptr<Impl> pImpl);
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace platform
