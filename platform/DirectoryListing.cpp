#include "DirectoryListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

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
        e.Name = name;
        e.Hidden = name[0] == '.';
        struct stat st;
        if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            e.IsSymlink = true;
            if (::fstatat(dirFd, d->d_name, &st, 0) != 0) {
                e.Kind = EntryKind::Other;  // a dangling link
                entries.push_back(e);
                continue;
            }
        }
        e.Kind = S_ISREG(st.st_mode) ? EntryKind::File : S_ISDIR(st.st_mode) ? EntryKind::Directory : EntryKind::Other;
        e.Size = static_cast<std::int64_t>(st.st_size);
        entries.push_back(e);
    }
    ::closedir(dir);
    return entries;
}

}  // namespace platform
