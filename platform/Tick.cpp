#include "Tick.h"

#include <ctime>

namespace platform {

std::uint32_t GetTickCount()
{
    // The coarse clock moves in steps of the kernel's tick (1 to 4 ms), finer
    // than the 10 to 16 ms steps of the tick this stands for, and costs a
    // third of the fine clock: the window's progress handler reads it for
    // every event of an operation, hundreds of thousands of them.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace platform
