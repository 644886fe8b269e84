#pragma once
// Every user-visible text of the program, in one place.
namespace str {
extern const char* const kAppTitle;        // application title, also the settings name
extern const char* const kRegistryKey;     // where the recent-file list is kept
extern const char* const kUntitled;        // document title before a file is opened
extern const char* const kTitleSeparator;  // between document title and application title
extern const char* const kOpenFilter;      // open-file dialog filter, "desc|pattern|...||"
extern const char* const kOpenDefaultExt;
extern const char* const kCannotOpenFile;        // message box when the chosen file is unreadable
extern const char* const kStopConversionToExit;  // asked when the window closes mid-way
extern const char* const kConversionDone;        // the message pane once a conversion completed
extern const char* const kStatusVolume;          // printf: the volume in percent
extern const char* const kStatusMuted;           // printf: the volume in percent
extern const char* const kStatusReady;           // idle text of the status bar's message pane
extern const char* const kMenuRecentEmpty;       // grey placeholder of the empty recent list
// Conversion
extern const char* const kSaveFilter;  // save-file dialog filter of the convert command
extern const char* const kBadSourceRate;
extern const char* const kBadTimerRate;
extern const char* const kBadDestinationRate;
extern const char* const kBadRange;
extern const char* const kSourceAsDestination;  // the source file chosen as destination
extern const char* const kWriteFailed;          // a frame could not be written
// printf: how many source frames did not decode, the first's and the last's times
extern const char* const kUndecodedFrames;
// printf: seconds of sound a copy as it is left out
extern const char* const kSoundLeftOut;
// The conversion's sound: its choices, and what the group says under them.
extern const char* const kSoundNone;
extern const char* const kSoundCopy;
extern const char* const kSoundMp3;
extern const char* const kSoundPcm;
extern const char* const kSoundAbsent;       // the source has no sound
extern const char* const kSoundTempoTooFar;  // the picture's speed changes beyond the stretch
extern const char* const kSoundCopyTempo;    // "as it is" while the speed changes
extern const char* const kSoundKeptAsMp3;    // kept, but re-encoded as the speed changes
extern const char* const kBadSoundBitRate;
extern const char* const kNoDisplay;         // the window has no display to be shown on
extern const char* const kSettingsNotSaved;  // the settings file could not be written
// Why a file did not open or could not be written: the second line of a message, after the
// file's name (the system's and FFmpeg's own reasons come as they are).
extern const char* const kReasonFolder;             // the name is a folder's
extern const char* const kReasonNotAFile;           // a device, a FIFO, a socket
extern const char* const kReasonNoVideo;            // media without a video stream
extern const char* const kReasonNoDecoder;          // printf: the video format's name
extern const char* const kReasonTooManyPixels;      // printf: width, height, the most allowed
extern const char* const kReasonTooLittleMemory;    // printf: width, height, GB needed, GB free
extern const char* const kReasonUndecodable;        // the first frame does not decode
extern const char* const kReasonNoMemory;           // the picture's blocks could not be had
extern const char* const kReasonCompressorRefused;  // the compressor would not take the frames
// Still image, About
extern const char* const kStillFilter;
extern const char* const kStillFailed;  // the BMP file could not be written
extern const char* const kAboutTitle;   // followed by the version
}  // namespace str
