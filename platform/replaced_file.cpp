#include "platform/replaced_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace platform {

namespace {

// The permissions a new file gets: 0666 less the process's umask (read without changing it).
mode_t NewFileMode() {
    std::FILE* pStatus = std::fopen("/proc/self/status", "r");
    unsigned nMask = 022;
    if (pStatus != nullptr) {
        char szLine[128];
        while (std::fgets(szLine, sizeof(szLine), pStatus) != nullptr) {
            if (std::sscanf(szLine, "Umask: %o", &nMask) == 1) {
                break;
            }
        }
        std::fclose(pStatus);
    }
    return static_cast<mode_t>(0666 & ~nMask);
}

}  // namespace

bool WriteFileReplacing(const std::string& strPath, const uint8_t* pBytes, size_t nBytes,
                        std::string* pstrWhy, bool bThroughLinks) {
    namespace fs = std::filesystem;
    auto fail = [pstrWhy](const std::string& strWhy) {
        if (pstrWhy != nullptr) {
            *pstrWhy = strWhy;
        }
        return false;
    };
    // A link is written through: its target is the file replaced, the link stays.
    std::error_code ec;
    const bool bLink = fs::is_symlink(fs::symlink_status(strPath, ec));
    const fs::path target =
        bLink && bThroughLinks ? fs::weakly_canonical(fs::path(strPath), ec) : fs::path(strPath);
    struct stat old {};
    const bool bExists = !(bLink && !bThroughLinks) && ::stat(target.c_str(), &old) == 0;
    if (bExists && !S_ISREG(old.st_mode)) {
        return fail("not a regular file");  // a device, a FIFO, a folder: never replaced
    }
    // A name of its own beside the target (one file system for the rename), unique to this
    // write: two writes to one name never share it.
    std::string strTemp =
        (target.has_parent_path() ? target.parent_path().string() + "/" : std::string()) + "." +
        target.filename().string() + ".XXXXXX";
    const int fd = ::mkstemp(strTemp.data());
    if (fd < 0) {
        return fail(std::strerror(errno));
    }
    // The file replaced keeps its permissions (and its owner, where that may be given).
    bool bOk = ::fchmod(fd, bExists ? old.st_mode & 07777 : NewFileMode()) == 0;
    if (bExists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        [[maybe_unused]] const int nChown = ::fchown(fd, old.st_uid, old.st_gid);
    }
    size_t nDone = 0;
    while (bOk && nDone < nBytes) {
        const ssize_t n = ::write(fd, pBytes + nDone, nBytes - nDone);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        bOk = n > 0;
        nDone += bOk ? static_cast<size_t>(n) : 0;
    }
    const int nError = bOk ? 0 : errno;
    bOk = ::close(fd) == 0 && bOk;
    if (!bOk || ::rename(strTemp.c_str(), target.c_str()) != 0) {
        const int nWhy = nError != 0 ? nError : errno;
        ::unlink(strTemp.c_str());
        return fail(std::strerror(nWhy));
    }
    return true;
}

bool ReplaceLinkByItsContent(const std::string& strPath, std::string* pstrWhy) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(strPath, ec))) {
        return true;
    }
    std::ifstream in(strPath, std::ios::binary);
    const std::string strBytes((std::istreambuf_iterator<char>(in)), {});
    return WriteFileReplacing(strPath, reinterpret_cast<const uint8_t*>(strBytes.data()),
                              strBytes.size(), pstrWhy, false);
}

std::string WhyNotWritable(const std::string& strPath) {
    const int fd = ::open(strPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != ENOENT) {
        return std::strerror(errno);
    }
    // Not there yet: it is made in its folder, or beside it the folder itself.
    const std::filesystem::path folder = std::filesystem::path(strPath).parent_path();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0) {
        return {};
    }
    return errno == ENOENT && folder.has_parent_path() ? WhyNotWritable(folder.string())
                                                       : std::strerror(errno);
}

}  // namespace platform
