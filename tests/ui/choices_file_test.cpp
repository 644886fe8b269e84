// The desktop program's own file of remembered choices and recent files (quovel.conf), as the
// real program writes it: a link in its place, a place it cannot write.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSettings>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;

// Runs the program on a clip with its settings under dir/config until ready() holds (or a
// generous while), closes it as the system does, and returns what it wrote on standard error.
std::string RunUntil(const fs::path& dir, const std::function<bool()>& ready) {
    const fs::path errors = dir / "stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        const std::string strClip = testmedia::IndexedClip({});
        execl(QUOVEL_BINARY, QUOVEL_BINARY, strClip.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 200 && !ready(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // into the event loop
    kill(pid, SIGTERM);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << "closed, not killed";
    return testmedia::ReadFile(errors.string());
}

size_t CountOf(const std::string& strText, const std::string& strPart) {
    size_t nCount = 0;
    for (size_t at = strText.find(strPart); at != std::string::npos;
         at = strText.find(strPart, at + 1)) {
        ++nCount;
    }
    return nCount;
}

// A link where the file belongs is replaced by a file of what it pointed at (the target is
// left as it was); a file that cannot be written is said once, with its name and the reason.
TEST(ChoicesFile, ALinkIsReplacedAndAFileThatCannotBeWrittenIsSaidOnce) {
    const fs::path dir = fs::path(testmedia::MediaDir()) / "choices-file";
    fs::remove_all(dir);
    fs::create_directories(dir / "config" / "quovel");
    const fs::path conf = dir / "config" / "quovel" / "quovel.conf";
    const std::string strTarget = "[convert]\nthinning=3\n";
    testmedia::WriteFile((dir / "shared.conf").string(), strTarget);
    fs::create_symlink(dir / "shared.conf", conf);
    const std::string strLinkRun = RunUntil(dir, [&] { return !fs::is_symlink(conf); });
    EXPECT_FALSE(fs::is_symlink(conf));
    EXPECT_EQ(testmedia::ReadFile((dir / "shared.conf").string()), strTarget);
    QSettings written(QString::fromStdString(conf.string()), QSettings::IniFormat);
    EXPECT_EQ(written.value("convert/thinning").toInt(), 3) << "what the link held is kept";
    EXPECT_TRUE(written.value("Recent File List/File1").isValid()) << "and this run's list";
    EXPECT_EQ(strLinkRun.find("quovel.conf"), std::string::npos) << strLinkRun;

    // A folder under the file's name: neither the recent list nor the choices can be written.
    fs::remove(conf);
    fs::create_directories(conf);
    const std::string strSaid =
        "設定を保存できませんでした (" + conf.string() + ": Is a directory)";
    const std::string strFolderRun = RunUntil(dir, [&] {
        return testmedia::ReadFile((dir / "stderr.txt").string()).find(strSaid) !=
               std::string::npos;
    });
    EXPECT_EQ(CountOf(strFolderRun, strSaid), 1u) << strFolderRun;
}

}  // namespace
