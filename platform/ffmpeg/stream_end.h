#pragma once
// Where a stream ends when no header says: the end of its last packet, read from the file's
// tail. Include only from implementation files.
#include <cstdint>
#include <string>

namespace platform {

// The end (timestamp plus duration, in the stream's time base) of the last packet of stream
// nStreamIndex within the file's last few megabytes, or AV_NOPTS_VALUE when none is found
// there or the file cannot be read so.
int64_t LastPacketEnd(const std::string& strPath, int nStreamIndex);

}  // namespace platform
