// MS-DOS date and time as ZIP headers store them (local time, 2-second
// resolution, years 1980 to 2107), packed date << 16 | time so that two
// values compare in time order as plain integers.
#pragma once

#include <cstdint>
#include <ctime>

namespace zipwriter {

// Odd seconds round up to the next even one (never down, so a file never
// looks older than it is); times outside the DOS range are clamped.
std::uint32_t DosFromUnix(std::time_t when);

// Seconds since the epoch of a packed DOS date and time read as local time.
std::time_t UnixFromDos(std::uint32_t dos);

inline std::uint16_t DosDatePart(std::uint32_t dos) { return std::uint16_t(dos >> 16); }
inline std::uint16_t DosTimePart(std::uint32_t dos) { return std::uint16_t(dos & 0xFFFF); }

}  // namespace zipwriter
