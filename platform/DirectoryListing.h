// Lists the entries of one folder with what the engine filters on: the
// kind of each entry (a symbolic link is judged by what it points to, and
// also marked as a link), its size, and whether it is hidden (a dot-file).
// "." and ".." are never returned. Order is the platform's.
#pragma once

#include <cstdint>
#include <optional>
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

// The entry `name` of the folder `path` as ListDirectory would give it, found
// without listing the folder; nothing when there is none ("." and ".." are
// never entries).
std::optional<DirectoryEntry> LookUpEntry(const std::string& path, const std::string& name);

}  // namespace platform
