#include "platform/ffmpeg/ffmpeg_setup.h"

#include <mutex>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace platform {

void SetUpFFmpegOnce() {
    static std::once_flag s_once;
    std::call_once(s_once, [] { av_log_set_level(AV_LOG_QUIET); });
}

std::string ErrorText(int nCode) {
    char sz[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(nCode, sz, sizeof(sz));
    return sz;
}

}  // namespace platform
