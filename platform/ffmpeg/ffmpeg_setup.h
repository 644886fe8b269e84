#pragma once
// The FFmpeg libraries' process-wide settings, made once before their first use: they say
// nothing on standard error (the program reports failures itself, and QUOVEL_DEBUG shows
// FFmpeg's reasons through the debug output).
#include <string>

namespace platform {
void SetUpFFmpegOnce();
// FFmpeg's words for an error code ("No space left on device").
std::string ErrorText(int nCode);
}  // namespace platform
