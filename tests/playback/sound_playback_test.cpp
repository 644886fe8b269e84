// Playback's sound against a stand-in device: what is fed, from where, and how the picture's
// clock follows what the device says it has played.
#include <gtest/gtest.h>

#include <cstdlib>

#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/conversion_run_fixture.h"
#include "support/test_media.h"

namespace {

constexpr int64_t kUnitsPerMs = 10'000;
constexpr int64_t kLeadUs = CQuovelDoc::kPlaybackIntervalMs * 1000 / 2;

// 3 s at 30 fps with a 5 ms 3 kHz click at each whole second, AAC 48 kHz stereo.
std::string ClickClip(const char* pszSoundLength = "3") {
    return testmedia::MakeClip(
        std::string("clicks") + pszSoundLength,
        std::string("-f lavfi -i color=gray:s=160x120:r=30:d=3 -f lavfi -i "
                    "aevalsrc='if(lt(mod(t\\,1)\\,0.005)\\,0.8*sin(2*PI*3000*t)\\,0)|"
                    "if(lt(mod(t\\,1)\\,0.005)\\,0.8*sin(2*PI*3000*t)\\,0)':s=48000:d=") +
            pszSoundLength + " -c:v mpeg4 -q:v 2 -c:a aac -b:a 192k",
        "mp4");
}

// Seconds into the fed sound of its first click from dFrom seconds on: the first sample,
// either channel, past a tenth of full scale.
double FirstClickSeconds(const std::vector<uint8_t>& pcm, int nRate, double dFrom = 0) {
    const size_t nSamples = pcm.size() / 2;
    for (auto i = static_cast<size_t>(dFrom * nRate) * 2; i < nSamples; ++i) {
        const auto v = static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
        if (std::abs(v) > 3000) {
            return static_cast<double>(i / 2) / nRate;
        }
    }
    return -1;
}

class SoundPlaybackTest : public conversiontest::ConversionRunTest {
  protected:
    void SetUp() override {
        ConversionRunTest::SetUp();
        grabber.SetSoundOutput(&device);
    }
    void Play(const std::string& strPath) {
        ui.answers.push_back(strPath);
        doc.OnFileOpen();
    }
    // One tick after the device has played nMs more and the steady clock moved nStepMs.
    void Tick(int64_t nHeardMs, int64_t nSteadyMs = 33) {
        device.llHeardUs += nHeardMs * 1000;
        clock.Advance(nSteadyMs * kUnitsPerMs);
        doc.OnPlaybackTick(1);
    }
    int64_t PositionMs() const {
        int64_t llPosition = -1;
        EXPECT_TRUE(grabber.pGraph && grabber.pGraph->GetCurrentPosition(llPosition));
        return llPosition / kUnitsPerMs;
    }

    testfakes::FakeSoundOutput device;
};

TEST_F(SoundPlaybackTest, ThePictureFollowsTheSoundHeardThroughPauseAndResume) {
    Play(ClickClip());
    ASSERT_EQ(device.nStarts, 1);
    EXPECT_TRUE(device.bRunning);
    EXPECT_EQ(device.nRate, 48000);
    EXPECT_EQ(device.nChans, 2);
    EXPECT_FALSE(device.written.empty()) << "fed before the first tick";

    // Until the device plays, the first frame waits for it, however the steady clock runs.
    Tick(0, 500);
    EXPECT_EQ(PositionMs(), 0);
    for (int i = 0; i < 40; ++i) {
        Tick(33, i % 2 == 0 ? 10 : 60);  // the steady clock drifts both ways: not followed
    }
    EXPECT_NEAR(PositionMs(), 40 * 33, 1);
    // Half a tick of silence before the sound's start, so the click at 1 s lies there.
    EXPECT_NEAR(FirstClickSeconds(device.written, 48000), kLeadUs / 1e6, 0.002);
    EXPECT_NEAR(FirstClickSeconds(device.written, 48000, 0.5), 1.0 + kLeadUs / 1e6, 0.002);

    doc.OnPlayPause();
    EXPECT_FALSE(device.bRunning);
    const int64_t nHeld = PositionMs();
    EXPECT_NEAR(nHeld, 40 * 33, 1);
    clock.Advance(5'000 * kUnitsPerMs);
    doc.OnPlaybackTick(1);
    EXPECT_EQ(PositionMs(), nHeld) << "paused, nothing moves";

    doc.OnPlayPause();
    ASSERT_EQ(device.nStarts, 2) << "the sound restarts from where the picture was held";
    EXPECT_EQ(PositionMs(), nHeld);
    for (int i = 0; i < 30; ++i) {
        Tick(33);
    }
    EXPECT_NEAR(PositionMs(), nHeld + 30 * 33, 1);
    EXPECT_NEAR(FirstClickSeconds(device.written, 48000), 2.0 - nHeld / 1e3 + kLeadUs / 1e6, 0.002);

    doc.OnPlayStop();
    EXPECT_FALSE(device.bRunning);
    EXPECT_EQ(device.dVolume, 1.0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SoundPlaybackTest, TheClockGoesBackToSteadyWhenTheSoundEndsOrTheDeviceStalls) {
    // The sound is 1 s long, the picture 3 s: once all of it is heard the picture goes on.
    Play(ClickClip("1"));
    for (int i = 0; i < 34; ++i) {
        Tick(33);
    }
    EXPECT_FALSE(grabber.SoundPlaying()) << "ended and heard";
    EXPECT_FALSE(device.bRunning);
    const int64_t nAtEnd = PositionMs();
    EXPECT_GE(nAtEnd, 1000);
    EXPECT_LE(nAtEnd, 1200) << "an AAC track is a little longer than asked for";
    Tick(0, 500);
    EXPECT_EQ(PositionMs(), nAtEnd + 500) << "on the steady clock, without a jump";

    // Repeat: the picture's end closes the sound with it, the restart plays it from 0 again.
    AppState.bRepeatPlay = 1;
    Tick(0, 2500);
    EXPECT_FALSE(grabber.bPlaying);
    doc.OnPlaybackTick(1);
    ASSERT_TRUE(grabber.bPlaying);
    EXPECT_EQ(device.nStarts, 2);
    EXPECT_TRUE(device.bRunning);
    EXPECT_EQ(PositionMs(), 0);
    AppState.bRepeatPlay = 0;
    doc.OnPlayStop();
    EXPECT_FALSE(device.bRunning);

    // A device that takes the sound but never plays it is given up after two seconds.
    Play(ClickClip());
    for (int i = 0; i < 20; ++i) {
        Tick(0, 100);
    }
    EXPECT_EQ(PositionMs(), 0);
    Tick(0, 200);
    Tick(0, 200);
    EXPECT_FALSE(device.bRunning);
    EXPECT_EQ(PositionMs(), 200) << "released, the picture plays on from where it waited";
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SoundPlaybackTest, ThePicturePlaysAloneWithoutADeviceASoundOrWhileConverting) {
    // No device: the steady clock, no message.
    device.bDevice = false;
    Play(ClickClip());
    EXPECT_EQ(device.nStarts, 1);
    Tick(0, 700);
    EXPECT_EQ(PositionMs(), 700);
    doc.OnPlayStop();
    device.bDevice = true;

    // A sound no decoder reads (its format tag made unknown): the same, and the device is
    // not even opened.
    const std::string strPcm = testmedia::MakeClip(
        "pcm-sound",
        "-f lavfi -i color=gray:s=160x120:r=30:d=2 -f lavfi -i sine=d=2 -c:v mpeg4 "
        "-c:a pcm_s16le",
        "avi");
    std::string bytes = testmedia::ReadFile(strPcm);
    const size_t nAt = bytes.find("strf", bytes.find("auds"));
    ASSERT_NE(nAt, std::string::npos);
    bytes[nAt + 8] = '\x34';  // WAVE_FORMAT_PCM (1) becomes a tag nothing decodes
    bytes[nAt + 9] = '\x12';
    Play(testmedia::WriteFile("unknown-sound.avi", bytes));
    ASSERT_TRUE(grabber.bPlaying);
    EXPECT_EQ(device.nStarts, 1);
    Tick(0, 700);
    EXPECT_EQ(PositionMs(), 700);
    doc.OnPlayStop();

    // A conversion owns the picture's pace and plays no sound.
    OpenSource(ClickClip());
    const int nStarts = device.nStarts;
    Convert(Dest("sound-playback-conversion.avi"));
    EXPECT_EQ(device.nStarts, nStarts);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
