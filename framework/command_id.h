#pragma once
// The type of a command identifier; the identifiers themselves are the resources'.
#include <cstdint>

namespace cmd {
using Id = uint32_t;
}  // namespace cmd
