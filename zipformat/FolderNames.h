// A folder's entries as an add's walk takes them: every name but "." and
// "..", in byte order (so archives come out the same each time), each with
// the type the folder's listing gives for it, a DT_ value, or DT_UNKNOWN
// where the file system keeps none. The type spares asking every file
// whether it is a folder; only links and unknown entries need asking.
//
// One listing for both sides, so they take the same names in the same
// order: the writer's walk (ZIPDLL.DLL) and fernpack-cli's plan of an add,
// which predicts that walk. Header-only, so the stub, which lists no
// folders, does not carry it.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <dirent.h>

namespace fernpack::zip {

struct FolderNames {
    std::vector<std::string> names;
    std::vector<unsigned char> types;
};

// The entries of `dir`; false with errno set when it cannot be read.
inline bool ListFolder(const std::string& dir, FolderNames* out)
{
    DIR* handle = ::opendir(dir.c_str());
    if (!handle)
        return false;
    std::vector<std::pair<std::string, unsigned char>> entries;
    while (const dirent* entry = ::readdir(handle)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            entries.emplace_back(std::move(name), entry->d_type);
    }
    ::closedir(handle);
    std::sort(entries.begin(), entries.end());
    out->names.reserve(out->names.size() + entries.size());
    out->types.reserve(out->types.size() + entries.size());
    for (auto& [name, type] : entries) {
        out->names.push_back(std::move(name));
        out->types.push_back(type);
    }
    return true;
}

}  // namespace fernpack::zip
