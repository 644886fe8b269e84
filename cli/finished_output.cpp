#include "cli/finished_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace cli {

namespace {
// A working name beside the destination, so that the last rename stays on one file system.
std::string WorkingName(const std::string& strDest, const std::string& strTag) {
    return strDest + "." + strTag + ".part";
}
}  // namespace

FinishedOutput::FinishedOutput(std::string strDest, const std::string& strWorkingTag)
    : m_strDest(std::move(strDest)), m_strWorking(WorkingName(m_strDest, strWorkingTag)) {}

FinishedOutput::~FinishedOutput() {
    if (!m_bKeep) {
        std::remove(m_strWorking.c_str());
    }
}

int FinishedOutput::RemoveAbandoned() const {
    namespace fs = std::filesystem;
    const fs::path dest(m_strDest);
    const std::string strPrefix = dest.filename().string() + ".";
    const fs::path dir = dest.has_parent_path() ? dest.parent_path() : fs::path(".");
    std::error_code ec;
    int nRemoved = 0;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        // "DEST.PID.part", PID all digits.
        const std::string strName = it->path().filename().string();
        constexpr std::string_view kSuffix = ".part";
        if (strName.size() <= strPrefix.size() + kSuffix.size() ||
            strName.compare(0, strPrefix.size(), strPrefix) != 0 ||
            strName.compare(strName.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
            continue;
        }
        const std::string strPid =
            strName.substr(strPrefix.size(), strName.size() - strPrefix.size() - kSuffix.size());
        if (strPid.empty() || strPid.size() > 9 ||
            strPid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const auto pid = static_cast<pid_t>(std::stol(strPid));
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH && it->is_regular_file(ec) &&
            fs::remove(it->path(), ec)) {
            ++nRemoved;
        }
    }
    return nRemoved;
}

bool FinishedOutput::DestinationTaken() const {
    struct stat st {};
    return ::lstat(m_strDest.c_str(), &st) == 0;
}

bool FinishedOutput::Publish() {
    // A rename that refuses to replace: of two runs given one destination, the first to
    // finish has it and the other keeps its work under the working name.
    if (::renameat2(AT_FDCWD, m_strWorking.c_str(), AT_FDCWD, m_strDest.c_str(),
                    RENAME_NOREPLACE) == 0) {
        m_bKeep = true;
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without it: a hard link does the same, then the working name goes.
        if (::link(m_strWorking.c_str(), m_strDest.c_str()) == 0) {
            ::unlink(m_strWorking.c_str());
            m_bKeep = true;
            return true;
        }
    }
    m_bKeep = true;
    return false;
}

}  // namespace cli
