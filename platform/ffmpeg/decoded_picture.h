#pragma once
// Inside the opaque platform::DecodedPicture: the decoder's own frame. The media graph lends
// it out and the AVI file's encoder reads it; nothing above platform/ looks inside.
extern "C" {
#include <libavutil/frame.h>
}

namespace platform {

struct DecodedPicture {
    const AVFrame* pFrame = nullptr;
};

}  // namespace platform
