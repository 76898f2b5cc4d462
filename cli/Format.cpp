#include "cli/Format.h"

#include <cstdio>

namespace cli {

std::string Count(std::uint64_t n, const std::string& noun, const std::string& plural)
{
    return std::to_string(n) + " " + (n == 1 ? noun : plural.empty() ? noun + "s" : plural);
}

std::uint64_t AddSaturated(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? Saturated : sum;
}

std::string TotalText(std::uint64_t total)
{
    return total == Saturated ? "more than " + std::to_string(Saturated) : std::to_string(total);
}

std::string HumanSize(std::uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    static const char* const units[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 5) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 10 ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return text;
}

unsigned Percent(std::uint64_t part, std::uint64_t whole)
{
    if (whole == 0)
        return 0;
    return static_cast<unsigned>((static_cast<long double>(part) * 100 + static_cast<long double>(whole) / 2) /
                                 static_cast<long double>(whole));
}

std::string Duration(std::uint64_t seconds)
{
    char text[40];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
    return text;
}

}  // namespace cli
