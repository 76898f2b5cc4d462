// How many progress steps (callback action 2) a file of a given size takes:
// one per ZCB_STEP_BYTES bytes of its data, and at least one, also for an
// empty file or a size a 32-bit field holds as negative. The libraries take
// exactly this many steps per file; the engine's add count and the command
// line's bars count with the same rule, so the bars end where the work does.
#pragma once

#include <cstdint>

#include "ZCallBck.h"

namespace fernpack {

inline constexpr std::int64_t ProgressStepBytes = ZCB_STEP_BYTES;

template <typename Size>
constexpr Size ProgressSteps(Size size)
{
    const Size steps = size / static_cast<Size>(ProgressStepBytes);
    return steps > 1 ? steps : 1;
}

}  // namespace fernpack
