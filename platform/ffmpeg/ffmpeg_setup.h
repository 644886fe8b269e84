#pragma once
// The FFmpeg libraries' process-wide settings, made once before their first use: they say
// nothing on standard error (the program reports failures itself, and QUOVEL_DEBUG shows
// FFmpeg's reasons through the debug output).
namespace platform {
void SetUpFFmpegOnce();
}
