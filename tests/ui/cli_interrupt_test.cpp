// Ctrl+C during `quovel --convert`: the conversion stops like the stop command and the file
// is complete. Runs the real program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "support/test_media.h"

namespace {

TEST(ConvertCommandLine, InterruptLeavesACompleteFile) {
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDest = testmedia::MediaDir() + "/interrupted.avi";
    std::filesystem::remove(strDest);
    const std::string strCommand = "timeout --preserve-status -s INT 1 '" QUOVEL_BINARY
                                   "' --convert '" +
                                   strSource + "' '" + strDest + "' --timer-rate 20 2>/dev/null";
    const int nStatus = std::system(strCommand.c_str());
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 130);

    std::string strFrames;
    const std::string strProbe =
        "ffprobe -v error -count_frames -show_entries stream=nb_read_frames "
        "-of default=nw=1:nk=1 '" +
        strDest + "' 2>&1";
    if (FILE* p = popen(strProbe.c_str(), "r")) {
        char buf[256];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), p)) > 0) {
            strFrames.append(buf, n);
        }
        pclose(p);
    }
    const int nFrames = std::atoi(strFrames.c_str());
    EXPECT_GT(nFrames, 5) << strFrames;
    EXPECT_LT(nFrames, 60) << "stopped before the end";
}

}  // namespace
