#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

void DebugOutput(const char* pszText) {
    static const bool bEnabled = std::getenv("QUOVEL_DEBUG") != nullptr;
    if (bEnabled) {
        std::fprintf(stderr, "%s\n", pszText);
    }
}

}  // namespace platform
