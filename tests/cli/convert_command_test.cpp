#include "cli/convert_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "state/app_state.h"
#include "support/test_media.h"

namespace {

struct Outcome {
    int nCode;
    std::string strOut;
    std::string strErr;
};

Outcome Convert(const std::vector<std::string>& args) {
    ResetAppState();
    std::ostringstream out;
    std::ostringstream err;
    const int nCode = cli::RunConvert(args, out, err);
    ResetAppState();
    return {nCode, out.str(), err.str()};
}

std::string Probe(const std::string& strPath) {
    return testmedia::Probe(strPath, "codec_tag_string,width,height,r_frame_rate,nb_read_frames") +
           " ";
}

TEST(ConvertCommand, ConvertsWithTheWindowsPipeline) {
    const std::string strSource =
        testmedia::IndexedClip({320, 240, 30, 120, "-c:v mpeg4 -q:v 2", "avi"});
    const std::string strDest = testmedia::MediaDir() + "/cli-out.avi";
    const Outcome o = Convert({strSource, strDest, "--codec", "FFV1", "--range", "30", "90",
                               "--thinning", "2", "--dst-rate", "15"});
    ASSERT_EQ(o.nCode, 0) << o.strErr;
    EXPECT_EQ(Probe(strDest), "FFV1 320 240 15/1 31 ");
    EXPECT_NE(o.strErr.find("00:03:00 / 00:03:00"), std::string::npos) << "the progress text";
    EXPECT_NE(o.strErr.find("fps"), std::string::npos);

    const Outcome dv = Convert({testmedia::IndexedClip({360, 240, 30, 10, "-c:v ffv1", "avi"}),
                                strDest, "--dv-crop", "--codec", "MJPG", "--timer-rate", "100"});
    ASSERT_EQ(dv.nCode, 0) << dv.strErr;
    EXPECT_EQ(Probe(strDest), "MJPG 320 240 30/1 10 ");
}

TEST(ConvertCommand, RefusesBadRequestsWithOneLine) {
    const std::string strSource = testmedia::IndexedClip({});
    const std::string strDest = testmedia::MediaDir() + "/cli-bad.avi";
    const std::vector<std::vector<std::string>> bad = {
        {strSource},
        {strSource, strDest, "--bogus", "1"},
        {strSource, strDest, "--thinning", "4"},
        {strSource, strDest, "--codec", "XXXX"},
        {strSource, strDest, "--codec", "dvsd"},  // not at 320×240
        {strSource, strDest, "--range", "10", "500"},
        {strSource, strDest, "--range", "10"},
        {testmedia::MediaDir() + "/missing.avi", strDest},
        {strSource, testmedia::MediaDir() + "/no/such/dir/out.avi"},
        {strSource, strSource},
    };
    for (const auto& args : bad) {
        std::filesystem::remove(strDest);
        const Outcome o = Convert(args);
        std::string strArgs;
        for (const auto& a : args) {
            strArgs += a + " ";
        }
        EXPECT_NE(o.nCode, 0) << strArgs;
        EXPECT_NE(o.strErr.find("quovel --convert: "), std::string::npos) << strArgs;
        EXPECT_LE(std::count(o.strErr.begin(), o.strErr.end(), '\n'), 2) << strArgs << o.strErr;
        EXPECT_FALSE(std::filesystem::exists(strDest)) << strArgs;
    }
    EXPECT_EQ(Convert({"--help"}).nCode, 0);
}

TEST(ConvertCommand, ListsTheCompressorsForASize) {
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::RunListCodecs({"--size", "720x480"}, out, err), 0);
    EXPECT_NE(out.str().find("dvsd  DV (dvsd)"), std::string::npos);
    EXPECT_EQ(out.str().rfind("DIB ", 0), 0u);
    EXPECT_NE(cli::RunListCodecs({"--size", "big"}, out, err), 0);
}

}  // namespace
