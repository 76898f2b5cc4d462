#include "DosTime.h"

namespace zipwriter {

std::uint32_t DosFromUnix(std::time_t when)
{
    if (when & 1)
        ++when;
    std::tm local{};
    if (!localtime_r(&when, &local) || local.tm_year < 80)
        return (1u << 5 | 1u) << 16;  // 1980-01-01 00:00:00
    if (local.tm_year > 207)
        return (127u << 9 | 12u << 5 | 31u) << 16 | (23u << 11 | 59u << 5 | 29u);
    std::uint32_t date = std::uint32_t(local.tm_year - 80) << 9 | std::uint32_t(local.tm_mon + 1) << 5 |
                         std::uint32_t(local.tm_mday);
    std::uint32_t time = std::uint32_t(local.tm_hour) << 11 | std::uint32_t(local.tm_min) << 5 |
                         std::uint32_t(local.tm_sec / 2);
    return date << 16 | time;
}

std::time_t UnixFromDos(std::uint32_t dos)
{
    std::tm local{};
    std::uint32_t date = dos >> 16, time = dos & 0xFFFF;
    local.tm_year = int((date >> 9) & 0x7F) + 80;
    local.tm_mon = int((date >> 5) & 0x0F) - 1;
    local.tm_mday = int(date & 0x1F);
    local.tm_hour = int(time >> 11);
    local.tm_min = int((time >> 5) & 0x3F);
    local.tm_sec = int(time & 0x1F) * 2;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

}  // namespace zipwriter
