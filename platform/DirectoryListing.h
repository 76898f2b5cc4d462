// Lists the entries of one folder with what the engine filters on: the
// kind of each entry (a symbolic link is judged by what it points to, and
// also marked as a link), its size, and whether it is hidden (a dot-file).
// "." and ".." are never returned. Order is the platform's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class EntryKind { File, Directory, Other };

struct DirectoryEntry {
    std::string Name;
    EntryKind Kind = EntryKind::Other;
    bool IsSymlink = false;
    bool Hidden = false;
    std::int64_t Size = 0;
};

// An unreadable or missing folder lists nothing.
std::vector<DirectoryEntry> ListDirectory(const std::string& path);

}  // namespace platform
