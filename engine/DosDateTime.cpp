#include "DosDateTime.h"

namespace engine {

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return days[month - 1] + (month == 2 && leap ? 1 : 0);
}

DosDateTime DosDateTime::Decode(std::uint32_t packed)
{
    DosDateTime d;
    const std::uint32_t time = packed & 0xFFFF;
    const std::uint32_t date = packed >> 16;
    d.Year = 1980 + static_cast<int>(date >> 9);
    d.Month = static_cast<int>((date >> 5) & 0x0F);
    d.Day = static_cast<int>(date & 0x1F);
    d.Hour = static_cast<int>(time >> 11);
    d.Minute = static_cast<int>((time >> 5) & 0x3F);
    d.Second = static_cast<int>(time & 0x1F) * 2;
    d.Valid = d.Month >= 1 && d.Month <= 12 && d.Day >= 1 && d.Day <= DaysInMonth(d.Year, d.Month) &&
              d.Hour <= 23 && d.Minute <= 59 && d.Second <= 59;
    return d;
}

}  // namespace engine
