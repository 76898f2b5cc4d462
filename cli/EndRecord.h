// What fernpack-cli reads from an archive's end record itself: the archive
// comment, and whether the file is a valid archive without members (an end
// record that counts no entries), which the component reports as "No valid
// zip entries found" because its listing finds no member header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cli {

struct EndRecord {
    std::uint64_t Entries = 0;        // as the record counts them
    std::uint64_t DirectorySize = 0;
    std::string Comment;
};

// The end record that closes the file at `path` (its comment reaching the
// last byte), or nullopt when there is none or the file cannot be read.
std::optional<EndRecord> ReadEndRecord(const std::string& path);

bool IsEmptyArchive(const std::string& path);

}  // namespace cli
