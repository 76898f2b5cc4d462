// Reading a caller's command record at a library's entry point, the same way
// in ZIPDLL.DLL and UNZDLL.DLL: the checks that refuse a record this library
// cannot trust, and the texts it points to, read no further than the buffers
// the record's layout promises. Works on either record type; holds no state.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "CallbackReporter.h"
#include "abi/ZCallBck.h"

// An entry point the library exports; every other symbol stays hidden.
#define LIBRARY_EXPORT extern "C" __attribute__((visibility("default")))

namespace zipcore {

// A text field of the caller's record, read no further than its buffer.
inline std::string RecordText(const char* text, std::size_t capacity)
{
    return text ? std::string(text, strnlen(text, capacity - 1)) : std::string();
}

// False, with the reason reported as kBadRecord, for a record of another
// version, with a damaged trailer, or with an impossible pattern count.
template <typename Record>
bool CheckRecord(const Record& record, CallbackReporter& reporter)
{
    if (record.RecordVersion != ZREC_RECORD_VERSION) {
        reporter.Message(kBadRecord, "Command record version " + std::to_string(record.RecordVersion) +
                                         " is not supported (expected " + std::to_string(ZREC_RECORD_VERSION) + ")");
        return false;
    }
    if (record.TrailerMark != ZREC_TRAILER_MARK) {
        reporter.Message(kBadRecord, "Command record is damaged (trailer mark " + std::to_string(record.TrailerMark) +
                                         ", expected " + std::to_string(ZREC_TRAILER_MARK) + ")");
        return false;
    }
    if (record.SpecCount < 0 || record.SpecCount > ZREC_MAX_SPECS) {
        reporter.Message(kBadRecord, "Command record holds " + std::to_string(record.SpecCount) +
                                         " file patterns (0 to " + std::to_string(ZREC_MAX_SPECS) + " allowed)");
        return false;
    }
    return true;
}

// The record's patterns in order. Call after CheckRecord, which vouches for
// SpecCount. An empty text stays a pattern of its own, which names nothing:
// only no pattern at all means every file.
template <typename Record>
std::vector<std::string> RecordPatterns(const Record& record)
{
    std::vector<std::string> patterns;
    for (std::int32_t i = 0; i < record.SpecCount; ++i)
        patterns.push_back(RecordText(record.SpecTexts[i], ZREC_TEXT_CAPACITY));
    return patterns;
}

}  // namespace zipcore
