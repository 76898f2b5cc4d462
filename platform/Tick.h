// A millisecond tick count for measuring elapsed time. Monotonic; wraps at
// 2^32 like the platform tick it stands for, and like it moves in steps of
// a few milliseconds (it is read often, so it is the cheap clock).
#pragma once

#include <cstdint>

namespace platform {

std::uint32_t GetTickCount();

}  // namespace platform
