#include "app/FormatElapsed.h"

namespace app {

namespace {
std::string TwoDigits(std::uint32_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }
}  // namespace

std::string FormatElapsed(std::uint32_t start, std::uint32_t finish)
{
    const std::uint32_t seconds = (finish - start) / 1000;
    return TwoDigits(seconds / 60) + ":" + TwoDigits(seconds % 60);
}

}  // namespace app
