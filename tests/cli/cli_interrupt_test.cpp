// Ctrl+C, a termination request (kill, a batch job's time limit), a terminal that goes away (a
// dropped ssh session) or a quit key during `quovel --convert`: the conversion stops like the
// stop command and the file is complete; standard error read by a pipe that closes does not
// stop it. Runs the real program and interrupts it once frames are being written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;

// `quovel --convert SOURCE DEST --timer-rate 20 [EXTRA]` in a child process, its messages
// dropped (or written to nStderr, a pipe whose nReadEnd the child closes); the child's id, or
// -1.
pid_t StartConvert(const std::string& strSource, const std::string& strDest,
                   const char* pszExtra = nullptr, int nStderr = -1, int nReadEnd = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGPIPE, SIG_DFL);  // as a shell starts it (this process may ignore it)
        if (nReadEnd >= 0) {
            ::close(nReadEnd);  // the reader is the parent alone
        }
        const int nNull = nStderr >= 0 ? nStderr : ::open("/dev/null", O_WRONLY);
        ::dup2(nNull, STDERR_FILENO);
        execl(QUOVEL_BINARY, QUOVEL_BINARY, "--convert", strSource.c_str(), strDest.c_str(),
              "--timer-rate", "20", pszExtra, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Waits until strPath holds nBytes (frames are being written), however long the start took.
void WaitForBytes(const std::string& strPath, uintmax_t nBytes) {
    auto written = [&] {
        std::error_code ec;
        const auto nSize = fs::file_size(strPath, ec);
        return ec ? 0 : nSize;
    };
    for (int i = 0; i < 600 && written() < nBytes; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

TEST(ConvertCommandLine, InterruptLeavesACompleteFile) {
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDest = testmedia::MediaDir() + "/interrupted.avi";
    for (const int nSignal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        fs::remove(strDest);
        const pid_t pid = StartConvert(strSource, strDest);
        ASSERT_GE(pid, 0);
        // Interrupt once some frames are in the file (uncompressed 320×240: 230 400 bytes each).
        WaitForBytes(strDest, uintmax_t{8} * 230'400);
        kill(pid, nSignal);
        int nStatus = 0;
        waitpid(pid, &nStatus, 0);
        ASSERT_TRUE(WIFEXITED(nStatus)) << "stopped, not killed by " << nSignal;
        EXPECT_EQ(WEXITSTATUS(nStatus), 128 + nSignal);

        const std::string strFrames = testmedia::Probe(strDest, "nb_read_frames");
        const int nFrames = std::atoi(strFrames.c_str());
        EXPECT_GT(nFrames, 5) << strFrames;
        EXPECT_LT(nFrames, 60) << "stopped before the end";
        EXPECT_EQ(testmedia::Shell("ffmpeg -v error -i '" + strDest + "' -f null - 2>&1"), "")
            << "every frame whole";
    }
}

// Standard error piped to a reader that stops reading (`2>&1 | head -1`): the conversion goes
// on to the end.
TEST(ConvertCommandLine, AClosedStandardErrorDoesNotStopIt) {
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDest = testmedia::MediaDir() + "/closed-stderr.avi";
    fs::remove(strDest);
    int pipeEnds[2] = {-1, -1};
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t pid = StartConvert(strSource, strDest, nullptr, pipeEnds[1], pipeEnds[0]);
    ASSERT_GE(pid, 0);
    ::close(pipeEnds[1]);
    ::close(pipeEnds[0]);  // the reader is gone: the next progress line meets a closed pipe
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    ASSERT_TRUE(WIFEXITED(nStatus)) << "not killed by SIGPIPE";
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
    EXPECT_EQ(testmedia::Probe(strDest, "nb_read_frames"), "60");
}

// With --no-clobber a stopped conversion leaves nothing: a retry of the job starts afresh
// rather than finding a partial file under the finished name.
TEST(ConvertCommandLine, InterruptWithNoClobberLeavesNothing) {
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDir = testmedia::MediaDir() + "/interrupted-no-clobber";
    fs::remove_all(strDir);
    fs::create_directories(strDir);
    const std::string strDest = strDir + "/out.avi";
    const pid_t pid = StartConvert(strSource, strDest, "--no-clobber");
    ASSERT_GE(pid, 0);
    WaitForBytes(strDest + "." + std::to_string(pid) + ".part", uintmax_t{4} * 230'400);
    EXPECT_FALSE(fs::exists(strDest)) << "not before it is complete";
    kill(pid, SIGINT);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 128 + SIGINT);
    EXPECT_TRUE(fs::is_empty(strDir));

    // A run killed outright leaves its working file; the next run for that destination
    // removes it, and leaves alone that of a run still going (this process's).
    const pid_t gone = fork();
    if (gone == 0) {
        _exit(0);
    }
    waitpid(gone, nullptr, 0);
    const std::string strAbandoned = strDest + "." + std::to_string(gone) + ".part";
    const std::string strRunning = strDest + "." + std::to_string(::getpid()) + ".part";
    testmedia::WriteFile("interrupted-no-clobber/out.avi." + std::to_string(gone) + ".part", "x");
    testmedia::WriteFile("interrupted-no-clobber/out.avi." + std::to_string(::getpid()) + ".part",
                         "x");
    const pid_t next = StartConvert(strSource, strDest, "--no-clobber");
    waitpid(next, &nStatus, 0);
    EXPECT_EQ(WEXITSTATUS(nStatus), 0);
    EXPECT_FALSE(fs::exists(strAbandoned));
    EXPECT_TRUE(fs::exists(strRunning));
    EXPECT_TRUE(fs::exists(strDest));
}

}  // namespace
