#include "support/unprivileged.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

namespace testsupport {
namespace {

void DropFileOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return;  // no capabilities to give up
    }
    for (const int nCap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        const uint32_t nBit = 1u << (nCap % 32);
        data[nCap / 32].effective &= ~nBit;
        data[nCap / 32].permitted &= ~nBit;
        data[nCap / 32].inheritable &= ~nBit;
    }
    ::syscall(SYS_capset, &header, data);
}

}  // namespace

int RunWithoutFileOverride(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        DropFileOverride();
        ::_exit(body());
    }
    if (pid < 0) {
        return -1;
    }
    int nStatus = 0;
    if (::waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus)) {
        return -1;
    }
    return WEXITSTATUS(nStatus);
}

}  // namespace testsupport
