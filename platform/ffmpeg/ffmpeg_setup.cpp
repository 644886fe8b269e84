#include "platform/ffmpeg/ffmpeg_setup.h"

#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace platform {

void SetUpFFmpegOnce() {
    static std::once_flag s_once;
    std::call_once(s_once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace platform
