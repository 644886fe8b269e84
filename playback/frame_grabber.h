#pragma once
// Turns a video file into 24-bit frames that the document pulls one per playback tick.
// While playing the graph runs at its own pace and each tick takes the newest frame, and
// the file's sound plays beside it (the graph's clock then follows the sound); during a
// conversion the graph is stepped to exactly one source frame per tick, without sound.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/dib.h"
#include "platform/media_graph.h"
#include "playback/sound_playback.h"

class CQuovelDoc;

// Length in frames of a stream whose stop position is llStop in the given time format, and
// the stream units per frame (llTimePerFrame is left alone for unknown formats). Media time
// is counted at 30 frames a second, whatever the source rate in force.
int32_t WorkOutStreamLength(platform::TimeFormat format, int64_t llStop, int32_t nSrcFrameRate,
                            int64_t& llTimePerFrame);

class CFrameGrabber {
  public:
    // While paused, the decoded pictures of up to this many bytes of frames passed over are
    // kept, so that stepping back among them decodes nothing: some 16 frames of 1080p 4:2:0,
    // 130 of 640×480; a step back past them decodes again from the key frame before.
    static constexpr size_t kFramesKeptBehindBytes = size_t{48} << 20;
    explicit CFrameGrabber(const platform::IMediaClock& clock,
                           platform::MediaGraphOptions options = {});
    ~CFrameGrabber();
    CFrameGrabber(const CFrameGrabber&) = delete;
    CFrameGrabber& operator=(const CFrameGrabber&) = delete;

    void SetFileName(const std::string& strName);
    // A graph for strPath, built without touching the grabber; null when the file holds no
    // video stream that can be decoded (missing, empty, garbage, sound only), and *pWhy,
    // when given, says why.
    std::unique_ptr<platform::MediaGraph> BuildGraph(const std::string& strPath,
                                                     platform::OpenFailure* pWhy = nullptr) const;
    // Builds the graph for strFileName and works out the stream facts. On failure the
    // grabber keeps what it had, and openFailure says why.
    bool Open(CQuovelDoc* pDoc, int32_t& nWidth, int32_t& nHeight, int32_t& nLength);
    // Takes a graph from BuildGraph for the file the grabber holds and works out its facts.
    void TakeGraph(std::unique_ptr<platform::MediaGraph> pNewGraph, CQuovelDoc* pDoc,
                   int32_t& nWidth, int32_t& nHeight, int32_t& nLength);
    void Run();
    // One tick: detects the end of the stream, or copies the current frame into the
    // document's FrameImage (and, while converting, steps to the next frame). True when the
    // tick advanced to a new frame.
    bool FetchFrame();
    // The decoded picture that FrameImage was last copied from, or null.
    const platform::DecodedPicture* CopiedPicture() const;
    // A fetch finds its frame and copies it into FrameImage here. After
    // CopyFramesOnlyWhenAsked, a conversion's fetch leaves the copy for later, for a run in
    // which nothing shows the frames and the compressor takes the decoded picture: the copy
    // would be made for nothing. Whatever reads FrameImage during such a run calls this
    // first. It copies the last frame a fetch found, once; a copy that fails leaves
    // FrameImage as it was.
    void FillFrameImage();
    // For a run in which nothing shows the frames (the command line's conversion): a
    // conversion's fetch leaves the 24-bit copy to FillFrameImage, as described above.
    void CopyFramesOnlyWhenAsked() { m_bCopyOnDemand = true; }
    // Lets go of a graph taken but never run: the document could not make room for its
    // frames, or the file reopened into a picture larger than its blocks.
    void DropGraphNotRun() { pGraph.reset(); }
    void Close();
    void TogglePause();
    // Moving in the stream while playing or paused (never while converting: the conversion
    // owns the position). The frame at the new place is fetched into FrameImage at once and
    // the position set to its start, so what shows is exactly that frame. False when nothing
    // moved (nothing open, a conversion, already at that end).
    bool MoveTo(int64_t llPosition);  // clamped to the first and the last frame
    bool StepFrame(int nDirection);   // the next (+1) or previous (-1) frame; pauses first
    bool StepKeyFrame(int nDirection);
    bool StepSeconds(int nSeconds);
    bool MoveToEnd(bool bLast);  // the first or the last frame
    // Quick to show, for a position bar's handle being dragged: the exact frame when it is
    // decoded already; on towards it by at most kDragFrames decoded frames when no key frame
    // lies between; else the key frame at or before llPosition (as the index knows it;
    // without an index, the exact frame).
    bool MoveNear(int64_t llPosition);
    static constexpr int kDragFrames = 12;
    // The start of the frame in FrameImage, or -1.
    int64_t ShownFrameStart() const;
    // Whether the moves above may run now: a file playing or paused, no conversion.
    bool CanMove() const;

    // Where playback's sound goes; null (the default) plays none.
    void SetSoundOutput(platform::ISoundOutput* pOutput) { m_sound.SetOutput(pOutput); }
    // 0 to 1, for the sound playing and the ones after.
    void SetSoundVolume(double dVolume) { m_sound.SetVolume(dVolume); }
    bool SoundPlaying() const { return m_sound.Playing(); }

    // The starts of the source frames that did not decode (in order): the graph's so far, or,
    // once it has closed, those it had found, for the conversion it ran to report.
    std::vector<int64_t> UndecodedStarts() const;

    int GetStreamLength(int32_t& nLength) const;
    int GetFrameSize(int32_t& nWidth, int32_t& nHeight) const;
    int GetFileName(std::string& strName) const;

    int32_t bPlaying = 0;
    int32_t bPaused = 0;
    int32_t bHasFile = 0;
    std::string strFileName;
    platform::OpenFailure openFailure;  // why the last Open failed
    CQuovelDoc* pDocument = nullptr;
    int32_t nFrameCounter = 0;
    std::unique_ptr<platform::MediaGraph> pGraph;
    int32_t nFrameWidth = 0;
    int32_t nFrameHeight = 0;
    int32_t nLengthFrames = 0;
    dib::BitmapInfoHeader bmiHeader{};
    int64_t llTimePerFrame = 0;
    // The pixel shape of the file opened last (0 : 0 square or unknown); kept after the graph
    // closes, for the conversion that follows.
    int32_t nSarNum = 0;
    int32_t nSarDen = 0;
    // Where the file's first video frame is on its own clock (microseconds), kept likewise:
    // the converted sound is timed against it.
    int64_t llOriginMicroseconds = 0;

  private:
    void StepToNextFrame();
    // Whether this fetch leaves the 24-bit copy for FillFrameImage.
    bool Deferring() const;

    bool m_bCopyOnDemand = false;
    bool m_bImagePending = false;  // the frame fetched last is not in FrameImage yet
    std::vector<int64_t> m_undecodedAtClose;

    // Plays the sound from the graph's current position, while playing (not converting).
    void StartSound();
    // Shows the frame at llTarget (no clamping to an end that may be estimated) and puts the
    // position at its start.
    bool ShowFrameAt(int64_t llTarget);
    // On from the frame shown to the next key frame, when it is a few frames on.
    void SnapToKeyFrame();
    // A position inside the frame before the one starting at llStart.
    int64_t JustBefore(int64_t llStart) const;

    // The graphs' clock: the given one, or the sound while it plays.
    platform::SoundPacedClock m_clock;
    CSoundPlayback m_sound;
    platform::MediaGraphOptions m_options;
};
