#include "cli/finished_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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
