#pragma once
// What `quovel --convert` and `quovel --render` say on standard error, in the window's
// language. A message names its file in brackets after it, with the reason where there is one
// (the system's and FFmpeg's words come as they are). printf formats where marked.
namespace str {
// The command line itself (exit status 2).
extern const char* const kCliSeeHelp;        // printf: the command ("--convert")
extern const char* const kCliNeedsValue;     // printf: the option
extern const char* const kCliNeedsTwo;       // printf: the option
extern const char* const kCliUnknownOption;  // printf: the option
extern const char* const kCliNotInRange;     // printf: option, value, lowest, highest
extern const char* const kCliFourCC;
extern const char* const kCliRangeOrder;
extern const char* const kCliAudioModes;
extern const char* const kCliSourceAndDest;
extern const char* const kCliSourceAndBmp;
extern const char* const kCliFrameRequired;
extern const char* const kCliLevelsThree;
extern const char* const kCliLevelsRange;
extern const char* const kCliLevelsModes;
extern const char* const kCliSize;
// The files.
extern const char* const kCliDestTaken;       // --no-clobber found the name taken
extern const char* const kCliPublishFailed;   // printf: the working file kept instead
extern const char* const kCliRangePastEnd;    // the range ends after the stream
extern const char* const kCliFrames;          // printf: a number of frames
extern const char* const kCliNoCompressor;    // printf: code, width, height, width, height
extern const char* const kCliCopyRefused;     // --audio copy of a sound an AVI cannot take
extern const char* const kCliSoundNotAsItIs;  // writing no sound: these say why
extern const char* const kCliSoundCodec;
extern const char* const kCliStoppedKept;     // printf: DEST, which holds the frames written
extern const char* const kCliStoppedNothing;  // with --no-clobber
extern const char* const kCliFramePastEnd;    // printf: the frame asked for
extern const char* const kCliCannotDraw;
}  // namespace str
