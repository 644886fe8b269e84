// Ctrl+C or a termination request (kill, a batch job's time limit) during `quovel --convert`:
// the conversion stops like the stop command and the file is complete. Runs the real program and
// interrupts it once frames are being written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/test_media.h"

namespace {

TEST(ConvertCommandLine, InterruptLeavesACompleteFile) {
    namespace fs = std::filesystem;
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDest = testmedia::MediaDir() + "/interrupted.avi";
    for (const int nSignal : {SIGINT, SIGTERM}) {
        fs::remove(strDest);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const int nNull = ::open("/dev/null", O_WRONLY);
            ::dup2(nNull, STDERR_FILENO);
            execl(QUOVEL_BINARY, QUOVEL_BINARY, "--convert", strSource.c_str(), strDest.c_str(),
                  "--timer-rate", "20", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Interrupt once some frames are in the file (uncompressed 320×240: 230 400 bytes each),
        // however long the start took.
        auto written = [&] {
            std::error_code ec;
            const auto nSize = fs::file_size(strDest, ec);
            return ec ? 0 : nSize;
        };
        for (int i = 0; i < 600 && written() < 8 * 230'400; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
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
    namespace fs = std::filesystem;
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDir = testmedia::MediaDir() + "/interrupted-no-clobber";
    fs::remove_all(strDir);
    fs::create_directories(strDir);
    const std::string strDest = strDir + "/out.avi";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int nNull = ::open("/dev/null", O_WRONLY);
        ::dup2(nNull, STDERR_FILENO);
        execl(QUOVEL_BINARY, QUOVEL_BINARY, "--convert", strSource.c_str(), strDest.c_str(),
              "--timer-rate", "20", "--no-clobber", static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string strWorking = strDest + "." + std::to_string(pid) + ".part";
    auto written = [&] {
        std::error_code ec;
        const auto nSize = fs::file_size(strWorking, ec);
        return ec ? 0 : nSize;
    };
    for (int i = 0; i < 600 && written() < 4 * 230'400; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_FALSE(fs::exists(strDest)) << "not before it is complete";
    kill(pid, SIGINT);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 128 + SIGINT);
    EXPECT_TRUE(fs::is_empty(strDir));
}

}  // namespace
