#include "app/FormatElapsed.h"

namespace app {

namespace {

std::string TwoDigits(std::uint32_t n)
{
    // Built piece by piece: GCC 12 warns falsely (-Wrestrict) about
    // "0" + std::to_string(...) at -O2 and above.
    std::string text;
    if (n < 10)
        text += '0';
    text += std::to_string(n);
    return text;
}

}  // namespace

std::string FormatElapsed(std::uint32_t start, std::uint32_t finish)
{
    const std::uint32_t seconds = (finish - start) / 1000;
    return TwoDigits(seconds / 60) + ":" + TwoDigits(seconds % 60);
}

}  // namespace app
