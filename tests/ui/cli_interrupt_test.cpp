// Ctrl+C or a termination request (kill, a batch job's time limit) during `quovel --convert`:
// the conversion stops like the stop command and the file is complete. Runs the real program and
// interrupts it once frames are being written.
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
// dropped; the child's id, or -1.
pid_t StartConvert(const std::string& strSource, const std::string& strDest,
                   const char* pszExtra = nullptr) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int nNull = ::open("/dev/null", O_WRONLY);
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
    for (const int nSignal : {SIGINT, SIGTERM}) {
        fs::remove(strDest);
        const pid_t pid = StartConvert(strSource, strDest);
        ASSERT_GE(pid, 0);
        // Interrupt once some frames are in the file (uncompressed 320×240: 230 400 bytes each).
        WaitForBytes(strDest, 8 * 230'400);
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
    WaitForBytes(strDest + "." + std::to_string(pid) + ".part", 4 * 230'400);
    EXPECT_FALSE(fs::exists(strDest)) << "not before it is complete";
    kill(pid, SIGINT);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 128 + SIGINT);
    EXPECT_TRUE(fs::is_empty(strDir));
}

}  // namespace
