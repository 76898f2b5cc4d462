// Numbers as fernpack-cli prints them: counts with their noun, sizes in
// binary units, ratios and durations. Everything unsigned: no count or size
// printed is ever negative.
#pragma once

#include <cstdint>
#include <string>

namespace cli {

// "1 file", "3 files"; `plural` defaults to `noun` + "s".
std::string Count(std::uint64_t n, const std::string& noun, const std::string& plural = "");

// Sums of sizes that never wrap: a sum beyond 64 bits stays at Saturated,
// which TotalText shows as "more than 18446744073709551615".
inline constexpr std::uint64_t Saturated = UINT64_MAX;
std::uint64_t AddSaturated(std::uint64_t a, std::uint64_t b);
std::string TotalText(std::uint64_t total);

// "512 B", "3.0 KiB", "12.4 MiB", "1.1 GiB".
std::string HumanSize(std::uint64_t bytes);

// `part` as a whole percentage of `whole` (0 when `whole` is 0).
unsigned Percent(std::uint64_t part, std::uint64_t whole);

// "0:07", "12:34", "1:02:03".
std::string Duration(std::uint64_t seconds);

}  // namespace cli
