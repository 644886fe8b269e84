#pragma once
// The sound of a converted file: made from the source's first audio stream, covering exactly
// the converted range, played at the speed the picture is written at.
#include <cmath>
#include <cstdint>
#include <string>

namespace platform {

enum class SoundMode : int32_t {
    None = 0,  // no sound track
    Keep = 1,  // copied when an AVI player takes the source's codec as it is, else MP3
    Copy = 2,  // the source's packets as they are (MP3, MP2, AC-3, PCM only)
    Mp3 = 3,
    Pcm = 4,  // 16-bit, uncompressed
};

struct SoundPlan {
    std::string strSource;
    SoundMode mode = SoundMode::Keep;
    int32_t nMp3KBitsPerSecond = 192;
    // Where the output's first frame is in the source, in microseconds from the source's
    // first video frame.
    int64_t llStartMicroseconds = 0;
    // Source seconds played per output second: 1 when the picture is written at the speed it
    // was recorded, else the sound is stretched to the picture's length, its pitch kept.
    double dTempo = 1.0;
};

// Whether a sound can be stretched to this tempo and stay clean (1/8 to 8): beyond, the track
// is left out rather than written out of step with the picture.
inline bool CanStretchTo(double dTempo) {
    return dTempo >= 0.125 && dTempo <= 8.0;
}

// Why a source's sound is not written although it has one.
enum class SoundRefusal {
    None,
    NotAsItIs,  // copying asked for, but the speed changes or the sound starts after the range
    Tempo,      // a stretch beyond CanStretchTo
    Codec,      // it cannot be decoded or encoded
};

// Whether a tempo is 1 for the ear (a rate's rounding aside): no stretch, and the source's
// packets may be copied.
inline bool PlaysAtRecordedSpeed(double dTempo) {
    return std::fabs(dTempo - 1.0) < 1e-4;
}

// What a source's sound allows.
struct SoundSource {
    bool bHasSound = false;  // a first audio stream that decodes
    bool bCopyable = false;  // a codec AVI players take as it is
};
SoundSource ProbeSound(const std::string& strPath);

}  // namespace platform
