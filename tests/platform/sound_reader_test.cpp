// The sound played beside the picture, read from a position as the sound device gets it,
// against FFmpeg's own decode of the same file.
#include "platform/sound_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/media_clock.h"
#include "platform/media_graph.h"
#include "support/test_media.h"

namespace {

// AVI files as cameras write them (MPEG-4 with B-frames, timed a frame late; MP3 that is
// probed before it can be read, or PCM): the sound read from the picture's first frame,
// and from 0.5 s on, is FFmpeg's, sample for sample (an MP3 decoder's rounding aside).
TEST(SoundReader, AviSoundStartsWhereThePictureDoes) {
    for (const char* pszAudio : {"-c:a pcm_s16le", "-c:a libmp3lame -b:a 128k"}) {
        const std::string strClip = testmedia::MakeClip(
            "reader-avi",
            "-f lavfi -i testsrc2=s=160x120:r=30:d=2 -f lavfi -i \"aevalsrc='0.5*sin(2*PI*"
            "(200+400*t)*t)':s=44100:c=mono:d=2\" -c:v mpeg4 -bf 2 -q:v 5 " +
                std::string(pszAudio),
            "avi");
        ASSERT_FALSE(strClip.empty()) << pszAudio;
        const std::vector<int16_t> reference = testmedia::DecodeSound(strClip);
        ASSERT_GT(reference.size(), 80'000u) << pszAudio;
        platform::ManualMediaClock clock;
        auto pGraph = platform::MediaGraph::Open(strClip, clock);
        ASSERT_TRUE(pGraph) << pszAudio;
        for (const int64_t llFrom : {int64_t{0}, platform::kMediaUnitsPerSecond / 2}) {
            auto pReader =
                platform::SoundReader::Open(strClip, pGraph->OriginMicroseconds(), llFrom);
            ASSERT_TRUE(pReader) << pszAudio;
            ASSERT_EQ(pReader->Format().nChannels, 1);
            ASSERT_EQ(pReader->Format().nSampleRate, 44100);
            std::vector<int16_t> samples(44100);
            const size_t nRead =
                pReader->Read(reinterpret_cast<uint8_t*>(samples.data()), samples.size() * 2);
            ASSERT_EQ(nRead, samples.size() * 2) << pszAudio;
            const size_t nOffset = static_cast<size_t>(llFrom * 44100 / 10'000'000);
            int nWorst = 0;
            for (size_t i = 0; i < samples.size(); ++i) {
                nWorst = std::max(nWorst, std::abs(samples[i] - reference[nOffset + i]));
            }
            EXPECT_LE(nWorst, 2) << pszAudio << " from " << llFrom;
        }
    }
}

}  // namespace
