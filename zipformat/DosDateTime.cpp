#include "zipformat/DosDateTime.h"

#include <cstdio>

namespace fernpack::zip {

namespace {

// The fields as stored, none corrected.
DosDateTime Fields(std::uint32_t packed)
{
    const std::uint32_t date = DosDatePart(packed), time = DosTimePart(packed);
    DosDateTime d;
    d.Year = 1980 + static_cast<int>(date >> 9);
    d.Month = static_cast<int>((date >> 5) & 0x0F);
    d.Day = static_cast<int>(date & 0x1F);
    d.Hour = static_cast<int>(time >> 11);
    d.Minute = static_cast<int>((time >> 5) & 0x3F);
    d.Second = static_cast<int>(time & 0x1F) * 2;
    return d;
}

}  // namespace

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return days[month - 1] + (month == 2 && leap ? 1 : 0);
}

DosDateTime DosDateTime::Decode(std::uint32_t packed)
{
    DosDateTime d = Fields(packed);
    d.Valid = d.Month >= 1 && d.Month <= 12 && d.Day >= 1 && d.Day <= DaysInMonth(d.Year, d.Month) &&
              d.Hour <= 23 && d.Minute <= 59 && d.Second <= 59;
    return d;
}

std::string DateTimeText(std::uint32_t packed)
{
    const DosDateTime d = DosDateTime::Decode(packed);
    if (!d.Valid)
        return InvalidDateText;
    // "YYYY-MM-DD hh:mm:ss", written digit by digit: a listing of many
    // members asks for one per member (and the stub, small, has one loop).
    char text[19];
    const int fields[6] = {d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second};
    int at = 0;
    for (int f = 0; f < 6; ++f) {
        if (f > 0)
            text[at++] = "-- ::"[f - 1];
        const int digits = f == 0 ? 4 : 2;
        for (int i = digits - 1, value = fields[f]; i >= 0; --i, value /= 10)
            text[at + i] = static_cast<char>('0' + value % 10);
        at += digits;
    }
    return std::string(text, sizeof text);
}

std::uint32_t DosFromUnix(std::time_t when)
{
    if (when & 1)
        ++when;
    std::tm local{};
    if (!localtime_r(&when, &local) || local.tm_year < 80)
        return PackDosDateTime(1u << 5 | 1u, 0);  // 1980-01-01 00:00:00
    if (local.tm_year > 207)
        return PackDosDateTime(127u << 9 | 12u << 5 | 31u, 23u << 11 | 59u << 5 | 29u);
    const auto date = static_cast<std::uint16_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    const auto time = static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return PackDosDateTime(date, time);
}

std::time_t UnixFromDos(std::uint32_t packed)
{
    const DosDateTime d = Fields(packed);
    std::tm local{};
    local.tm_year = d.Year - 1900;
    local.tm_mon = (d.Month == 0 ? 1 : d.Month) - 1;
    local.tm_mday = d.Day == 0 ? 1 : d.Day;
    local.tm_hour = d.Hour;
    local.tm_min = d.Minute;
    local.tm_sec = d.Second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

}  // namespace fernpack::zip
