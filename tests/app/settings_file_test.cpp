#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "state/app_state.h"
#include "support/test_media.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}
void WriteAll(const std::string& strPath, const std::string& strBytes) {
    std::ofstream(strPath, std::ios::binary) << strBytes;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        m_strDir = testmedia::MediaDir() + "/settings-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(m_strDir);
        fs::create_directories(m_strDir);
        m_strFile = m_strDir + "/quovel.prm";
    }
    void TearDown() override { ResetAppState(); }
    std::string m_strDir;
    std::string m_strFile;
};

TEST(SettingsNumbers, ParseAsTheExamplesSay) {
    const std::pair<const char*, int32_t> cases[] = {
        {"1", 1},      {"  007", 7}, {"0x1f", 31}, {"x10", 16},        {"-12", -12}, {"0-5", -5},
        {"12abc", 12}, {"abc", 0},   {"", 0},      {"+5", 0},          {"\t5", 0},   {"0X1F", 0},
        {"-0x10", 0},  {"- 5", 0},   {"xFF", 255}, {"4294967295", -1},
    };
    for (const auto& [pszText, nExpected] : cases) {
        EXPECT_EQ(ParseSettingNumber(pszText), nExpected) << "'" << pszText << "'";
    }
}

TEST(SettingsPath, ReplacesTheExtensionOfTheFileName) {
    EXPECT_EQ(GetSettingsPath("/opt/quovel/bin/quovel"), "/opt/quovel/bin/quovel.prm");
    EXPECT_EQ(GetSettingsPath("/a/app.exe"), "/a/app.prm");
    EXPECT_EQ(GetSettingsPath("/a.b/app"), "/a.b/app.prm") << "a dot in a folder is not used";
    EXPECT_EQ(GetSettingsPath("a.b.c"), "a.b.prm");
    EXPECT_EQ(GetSettingsPath("/x/name."), "/x/name.prm");
    EXPECT_EQ(GetSettingsPath("quovel"), "quovel.prm");
}

TEST_F(SettingsFileTest, WritesTheFourLinesAndReadsThemBack) {
    ASSERT_EQ(SaveSettings(m_strFile), 1);
    const std::string strZeros = ReadAll(m_strFile);
    EXPECT_EQ(strZeros.size(), 121u);
    EXPECT_EQ(strZeros,
              "[AVI PLAYBACK CONFIGRATION]\r\nAVI-File Play Repete Mode = 0\r\n"
              "Use VGA Mode in FullScreen = 0\r\nColor Coordination Mode = 0\r\n");

    AppState.bRepeatPlay = 1;
    AppState.nColorMode = 5;
    AppState.bVgaFullScreen = 1;
    ASSERT_EQ(SaveSettings(m_strFile), 1);
    const std::string strWritten = ReadAll(m_strFile);
    ResetAppState();
    ASSERT_EQ(LoadSettings(m_strFile), 1);
    EXPECT_EQ(AppState.bRepeatPlay, 1);
    EXPECT_EQ(AppState.nColorMode, 5);
    EXPECT_EQ(AppState.bVgaFullScreen, 1);
    ASSERT_EQ(SaveSettings(m_strFile), 1);
    EXPECT_EQ(ReadAll(m_strFile), strWritten) << "byte for byte";
    EXPECT_EQ(LoadSettings(m_strDir + "/absent.prm"), 0);
}

TEST_F(SettingsFileTest, ReadsAnyLinesInAnyOrder) {
    WriteAll(m_strFile,
             "junk before\n"
             "Color Coordination Mode = 0x9\n"
             "text first AVI-File Play Repete Mode = 1\r\n"
             "[AVI PLAYBACK CONFIGRATION] Use VGA Mode in FullScreen = 7\n"
             "Use VGA Mode in FullScreen =2\n"  // no blank: not the key
             "Color Coordination Mode = 3\n");
    AppState.bVgaFullScreen = 4;
    ASSERT_EQ(LoadSettings(m_strFile), 1);
    EXPECT_EQ(AppState.nColorMode, 3) << "the later of two lines";
    EXPECT_EQ(AppState.bRepeatPlay, 1);
    EXPECT_EQ(AppState.bVgaFullScreen, 4)
        << "the section line sets nothing; the blank is part of the key";
    ASSERT_EQ(SaveSettings(m_strFile), 1);
    const std::string strRewritten = ReadAll(m_strFile);
    EXPECT_EQ(std::count(strRewritten.begin(), strRewritten.end(), '\n'), 4)
        << "rewritten with exactly the four lines";
}

// A file edited by hand, damaged or planted: values the program never uses read as the
// fields' first values and are written back so; a link in the file's place is replaced by the
// file, its target left alone; a file that cannot be written says why.
TEST_F(SettingsFileTest, HostileFilesAreNeitherBelievedNorFollowed) {
    for (const char* pszValue : {"-1", "10", "2147483647", "0x7fffffff"}) {
        ResetAppState();
        WriteAll(m_strFile, std::string("AVI-File Play Repete Mode = ") + pszValue +
                                "\r\nUse VGA Mode in FullScreen = " + pszValue +
                                "\r\nColor Coordination Mode = " + pszValue + "\r\n");
        ASSERT_EQ(LoadSettings(m_strFile), 1);
        EXPECT_EQ(AppState.bRepeatPlay, 0) << pszValue;
        EXPECT_EQ(AppState.bVgaFullScreen, 0) << pszValue;
        EXPECT_EQ(AppState.nColorMode, 0) << pszValue;
    }
    WriteAll(m_strFile, "Color Coordination Mode = 9\r\n");
    ASSERT_EQ(LoadSettings(m_strFile), 1);
    EXPECT_EQ(AppState.nColorMode, 9) << "the last mode is one";

    const std::string strTarget = m_strDir + "/elsewhere";
    WriteAll(strTarget, "not settings");
    fs::remove(m_strFile);
    fs::create_symlink(strTarget, m_strFile);
    ASSERT_EQ(SaveSettings(m_strFile), 1);
    EXPECT_FALSE(fs::is_symlink(m_strFile));
    EXPECT_EQ(ReadAll(strTarget), "not settings");
    EXPECT_NE(ReadAll(m_strFile).find("Color Coordination Mode = 9"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_strDir), fs::directory_iterator()), 2)
        << "no working file left";

    std::string strWhy;
    EXPECT_EQ(SaveSettings(m_strDir + "/elsewhere/quovel.prm", &strWhy), 0);
    EXPECT_FALSE(strWhy.empty());
}

TEST_F(SettingsFileTest, AnUnwritableFolderFallsBackToTheUserFolder) {
    const std::string strConfig = m_strDir + "/config";
    setenv("XDG_CONFIG_HOME", strConfig.c_str(), 1);
    const std::string strExe = "/proc/self/quovel";  // a folder nobody may write in, root included
    const std::string strUser = strConfig + "/quovel/quovel.prm";
    EXPECT_EQ(ChooseSettingsFiles(strExe).strWrite, strUser);
    EXPECT_EQ(ChooseSettingsFiles(strExe).strRead, "") << "nothing to read yet";
    AppState.nColorMode = 8;
    ASSERT_EQ(SaveSettings(strUser), 1) << "the per-user folder is made on first use";
    ResetAppState();
    EXPECT_EQ(ChooseSettingsFiles(strExe).strRead, strUser);
    ASSERT_EQ(LoadSettings(ChooseSettingsFiles(strExe).strRead), 1);
    EXPECT_EQ(AppState.nColorMode, 8);

    // A writable folder keeps the file beside the executable, read and written.
    const std::string strExeHere = m_strDir + "/quovel";
    EXPECT_EQ(ChooseSettingsFiles(strExeHere).strWrite, m_strFile);
    ASSERT_EQ(SaveSettings(m_strFile), 1);
    EXPECT_EQ(ChooseSettingsFiles(strExeHere).strRead, m_strFile);
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
