// The sound and the picture through a real sound server: PulseAudio with a null sink is
// started here, its monitor recorded with parec, and a 60 s clip with a click and a white
// frame at every whole second played through the program's own sound output. Each click is
// timed in the recording; each white frame when the tick that drew it ran.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/qt/qt_sound_output.h"
#include "convert/media_session.h"
#include "platform/dib.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/fakes.h"
#include "support/test_media.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;

double Seconds(Clock::time_point t) {
    return std::chrono::duration<double>(t.time_since_epoch()).count();
}

// A child process with extra environment; stopped and reaped when this goes.
class Child {
  public:
    Child(std::vector<std::string> args, const std::vector<std::string>& extraEnv,
          int nStdoutFd = -1) {
        std::vector<std::string> env = extraEnv;
        for (char** p = environ; *p != nullptr; ++p) {
            env.emplace_back(*p);
        }
        std::vector<char*> argv;
        for (std::string& s : args) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& s : env) {
            envp.push_back(s.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (nStdoutFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, nStdoutFd, STDOUT_FILENO);
        }
        // The server's warnings (no D-Bus, no cookie) are of no concern here.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int nStatus = 0;
            ::waitpid(m_pid, &nStatus, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool Started() const { return m_pid > 0; }

  private:
    pid_t m_pid = -1;
};

// The monitor's samples as they arrive, each read with the time it arrived.
class Recorder {
  public:
    explicit Recorder(int nFd) : m_nFd(nFd), m_thread([this] { Run(); }) {}
    ~Recorder() {
        m_bStop = true;
        m_thread.join();
        ::close(m_nFd);
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Where sample 0 was captured: the earliest any read allows (a read can only come after
    // its samples), so delivery's delay drops out.
    double StartSeconds() {
        const std::lock_guard lock(m_mutex);
        return m_dStart;
    }
    std::vector<int16_t> Samples() {
        const std::lock_guard lock(m_mutex);
        return m_samples;
    }

  private:
    void Run() {
        ::fcntl(m_nFd, F_SETFL, O_NONBLOCK);
        std::vector<uint8_t> buffer(4096);
        std::vector<uint8_t> odd;
        while (!m_bStop) {
            const ssize_t n = ::read(m_nFd, buffer.data(), buffer.size());
            const double dNow = Seconds(Clock::now());
            if (n <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            odd.insert(odd.end(), buffer.begin(), buffer.begin() + n);
            const std::lock_guard lock(m_mutex);
            for (size_t i = 0; i + 1 < odd.size(); i += 2) {
                m_samples.push_back(static_cast<int16_t>(odd[i] | (odd[i + 1] << 8)));
            }
            odd.erase(odd.begin(), odd.begin() + static_cast<ptrdiff_t>(odd.size() & ~size_t{1}));
            m_dStart = std::min(m_dStart, dNow - static_cast<double>(m_samples.size()) / kRate);
        }
    }

    int m_nFd;
    std::mutex m_mutex;
    std::vector<int16_t> m_samples;
    double m_dStart = 1e300;
    bool m_bStop = false;
    std::thread m_thread;
};

// Onsets of the clicks: the first sample past a tenth of full scale after half a second
// without one.
std::vector<double> ClickSeconds(const std::vector<int16_t>& samples) {
    return testmedia::ToneStarts(samples, kRate, 3000, 0.5);
}

TEST(SoundSync, ClicksAreHeardWithTheWhiteFramesOverAMinuteAndAfterAPause) {
    const std::string strClip = testmedia::MakeClip(
        "sync60",
        "-f lavfi -i color=black:s=320x240:r=30:d=60 -f lavfi -i "
        "aevalsrc='if(lt(mod(t\\,1)\\,0.005)\\,0.8*sin(2*PI*3000*t)\\,0)':s=48000:d=60 "
        "-vf geq=lum='if(eq(mod(N\\,30)\\,0)\\,255\\,16)':cb=128:cr=128 -c:v mpeg4 -q:v 2 "
        "-c:a aac -b:a 192k",
        "mp4");
    ASSERT_FALSE(strClip.empty());

    // A sound server of the test's own, on a socket in a folder of its own.
    const std::string strDir = testmedia::MediaDir() + "/pulse-" + std::to_string(::getpid());
    std::filesystem::remove_all(strDir);
    std::filesystem::create_directories(strDir);
    const std::string strSocket = strDir + "/native";
    const std::vector<std::string> serverEnv = {"XDG_RUNTIME_DIR=" + strDir, "HOME=" + strDir};
    const Child server({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                        "-n", "--load=module-null-sink sink_name=quovel_sync rate=48000",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + strSocket},
                       serverEnv);
    ASSERT_TRUE(server.Started()) << "pulseaudio (scripts/install-deps installs it)";
    for (int i = 0; i < 200 && !std::filesystem::exists(strSocket); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(std::filesystem::exists(strSocket)) << "the sound server did not start";
    const std::string strServer = "PULSE_SERVER=unix:" + strSocket;
    ::setenv("PULSE_SERVER", ("unix:" + strSocket).c_str(), 1);

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::unique_ptr<Child> pRecord = std::make_unique<Child>(
        std::vector<std::string>{"parec", "-d", "quovel_sync.monitor", "--format=s16le",
                                 "--rate=48000", "--channels=1", "--latency-msec=5", "--raw"},
        std::vector<std::string>{strServer}, fds[1]);
    ::close(fds[1]);
    ASSERT_TRUE(pRecord->Started()) << "parec (scripts/install-deps installs it)";
    Recorder recorder(fds[0]);
    // An idle null sink has rendered two seconds of silence ahead; a device would not. Once
    // that has passed, with the recording asking for a short latency, it renders as it goes.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));

    // The program's playback, ticked every 33 ms as its timer does.
    ResetAppState();
    testfakes::ScriptedUi ui;
    testfakes::FakeRecentFiles recent;
    testfakes::ScriptedChooser chooser;
    platform::SteadyMediaClock clock;
    CQtSoundOutput sound;
    CMediaSession session{ui, recent, clock, chooser};
    CQuovelDoc& doc = session.Doc();
    CFrameGrabber& grabber = session.Grabber();
    grabber.SetSoundOutput(&sound);
    ui.answers.push_back(strClip);
    doc.OnFileOpen();
    ASSERT_TRUE(grabber.bPlaying);
    ASSERT_TRUE(grabber.SoundPlaying()) << "no sound through the test's server";

    struct Drawn {
        double dAt;        // when the tick that drew it ended
        double dPosition;  // the picture's clock then, seconds
        bool bWhite;
    };
    std::vector<Drawn> drawn;
    bool bPaused = false;
    double dResumeAt = 0;
    const auto nTick = std::chrono::milliseconds(CQuovelDoc::kPlaybackIntervalMs);
    auto next = Clock::now();
    while (grabber.bPlaying) {
        next += nTick;
        std::this_thread::sleep_until(next);
        QCoreApplication::processEvents();
        doc.OnPlaybackTick(1);
        const double dDrawn = Seconds(Clock::now());
        const uint8_t nLuma = doc.pFrameImage[dib::kPixelOffset + 3 * 160 + 120 * 960];
        int64_t llShown = 0;
        if (grabber.pGraph && grabber.pGraph->GetCurrentPosition(llShown)) {
            drawn.push_back({dDrawn, static_cast<double>(llShown) / 1e7, nLuma > 200});
        }
        int64_t llPosition = 0;
        if (!bPaused && grabber.pGraph && grabber.pGraph->GetCurrentPosition(llPosition) &&
            llPosition > 205'000'000) {
            doc.OnPlayPause();  // two seconds' pause between two clicks
            bPaused = true;
            dResumeAt = dDrawn + 2;
        } else if (bPaused && dResumeAt > 0 && dDrawn >= dResumeAt) {
            doc.OnPlayPause();
            dResumeAt = 0;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double dStart = recorder.StartSeconds();
    const std::vector<double> clicks = ClickSeconds(recorder.Samples());
    pRecord.reset();

    ASSERT_EQ(clicks.size(), 60u);
    // Two measures per second. The picture's clock against the sound heard at the tick that
    // drew the second's first frame (the white one): how far apart the two run. The draw
    // against the click: that and the timer's sampling besides, a frame being drawn at the
    // first tick after it is due (half a tick's lead centres this on the sound). The first
    // second is left out: its frame is on screen from the start, waiting for the sound.
    const double dLead = CQuovelDoc::kPlaybackIntervalMs / 2 / 1e3;
    double dWorstClock = 0;
    double dWorstDraw = 0;
    double dSumDraw = 0;
    int nWhite = 0;
    for (size_t i = 1; i < clicks.size(); ++i) {
        const auto it = std::find_if(drawn.begin(), drawn.end(), [i](const Drawn& d) {
            return d.dPosition >= static_cast<double>(i) - 0.001;
        });
        ASSERT_NE(it, drawn.end());
        nWhite += it->bWhite ? 1 : 0;
        const double dDraw = it->dAt - (dStart + clicks[i]);
        const double dHeardThen = static_cast<double>(i) + dDraw;
        const double dClock = it->dPosition - dLead - dHeardThen;
        EXPECT_LE(std::fabs(dClock), 0.020) << "second " << i << ": picture's clock − sound";
        EXPECT_LE(std::fabs(dDraw), dLead + 0.020) << "second " << i << ": drawn − heard";
        dWorstClock = std::fabs(dClock) > std::fabs(dWorstClock) ? dClock : dWorstClock;
        dWorstDraw = std::fabs(dDraw) > std::fabs(dWorstDraw) ? dDraw : dWorstDraw;
        dSumDraw += dDraw;
    }
    // A late tick may step over a one-frame flash, as it would on screen; hardly ever.
    EXPECT_GE(nWhite, 57) << "the white frames are the ones drawn at those ticks";
    const double dMeanDraw = dSumDraw / static_cast<double>(clicks.size() - 1);
    EXPECT_LE(std::fabs(dMeanDraw), 0.020);
    std::printf(
        "picture's clock − sound: worst %+.1f ms; drawn − heard: mean %+.1f ms, "
        "worst %+.1f ms\n",
        dWorstClock * 1e3, dMeanDraw * 1e3, dWorstDraw * 1e3);
    ResetAppState();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qtApp(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
