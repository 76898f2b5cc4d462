// The MS-DOS date and time packed into a member's 32-bit `LastModDateTime`
// (time in the low 16 bits, date in the high 16). Decoding tells whether the
// fields form a real calendar value; archives in the wild carry invalid ones.
#pragma once

#include <cstdint>

namespace engine {

struct DosDateTime {
    int Year = 0;    // 1980 .. 2107
    int Month = 0;   // 1 .. 12
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;  // even, 0 .. 58
    bool Valid = false;

    static DosDateTime Decode(std::uint32_t packed);
};

int DaysInMonth(int year, int month);

}  // namespace engine
