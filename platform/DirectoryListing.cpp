#include "DirectoryListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Describes the entry `name`, found as `where` relative to `dirFd`; false
// when there is none.
bool Describe(int dirFd, const char* where, const std::string& name, DirectoryEntry& e)
{
    e.Name = name;
    e.Hidden = name[0] == '.';
    struct stat st;
    if (::fstatat(dirFd, where, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISLNK(st.st_mode)) {
        e.IsSymlink = true;
        if (::fstatat(dirFd, where, &st, 0) != 0) {
            e.Kind = EntryKind::Other;  // a dangling link
            return true;
        }
    }
    e.Kind = S_ISREG(st.st_mode) ? EntryKind::File : S_ISDIR(st.st_mode) ? EntryKind::Directory : EntryKind::Other;
    e.Size = static_cast<std::int64_t>(st.st_size);
    return true;
}

}  // namespace

std::vector<DirectoryEntry> ListDirectory(const std::string& path)
{
    std::vector<DirectoryEntry> entries;
    DIR* dir = ::opendir(path.empty() ? "/" : path.c_str());
    if (dir == nullptr)
        return entries;
    const int dirFd = ::dirfd(dir);
    while (const dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        DirectoryEntry e;
        if (Describe(dirFd, d->d_name, name, e))
            entries.push_back(e);
    }
    ::closedir(dir);
    return entries;
}

std::optional<DirectoryEntry> LookUpEntry(const std::string& path, const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return std::nullopt;
    const std::string where = path + "/" + name;  // "" stands for the root
    DirectoryEntry e;
    if (!Describe(AT_FDCWD, where.c_str(), name, e))
        return std::nullopt;
    return e;
}

}  // namespace platform
