// MS-DOS date and time as ZIP headers store them: local time, 2-second
// resolution, years 1980 to 2107; the date in the high 16 bits and the
// time in the low 16 of one packed value (so two values compare in time
// order as plain integers, and a listed member's LastModDateTime is one).
//
// One decoder and one encoder for everything: listings show what Decode
// says, the writer stores what DosFromUnix gives, extraction dates files
// with UnixFromDos. Archives in the wild carry values that are no calendar
// date (all zero, a day or month of 0, 30 February); Decode says so, and
// every listing shows such a value as InvalidDateText, which no real date
// can be mistaken for.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace fernpack::zip {

struct DosDateTime {
    int Year = 0;    // 1980 .. 2107
    int Month = 0;   // 1 .. 12 when Valid
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;  // even, 0 .. 62 as stored
    bool Valid = false;  // a real calendar date and time of day

    static DosDateTime Decode(std::uint32_t packed);
};

inline constexpr char InvalidDateText[] = "0000-00-00 00:00:00";

inline std::uint32_t PackDosDateTime(std::uint16_t date, std::uint16_t time)
{
    return static_cast<std::uint32_t>(date) << 16 | time;
}
inline std::uint16_t DosDatePart(std::uint32_t packed) { return static_cast<std::uint16_t>(packed >> 16); }
inline std::uint16_t DosTimePart(std::uint32_t packed) { return static_cast<std::uint16_t>(packed & 0xFFFF); }

int DaysInMonth(int year, int month);

// "YYYY-MM-DD hh:mm:ss", or InvalidDateText for a value that is no
// calendar date and time.
std::string DateTimeText(std::uint32_t packed);

// The local time `when` as a DOS value: an odd second rounds up to the next
// even one (never down, so a file never looks older than it is); times
// outside the DOS range are clamped to its ends.
std::uint32_t DosFromUnix(std::time_t when);

// Seconds since the epoch of a DOS value read as local time. A day or
// month of 0 counts as the first, so such a value dates a file at the
// start of its month or year rather than in the one before. -1 when the
// platform cannot represent it.
std::time_t UnixFromDos(std::uint32_t packed);

}  // namespace fernpack::zip
