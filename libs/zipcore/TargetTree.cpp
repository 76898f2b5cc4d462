#include "TargetTree.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zipcore {

namespace {
constexpr std::size_t kMaxOpenFolders = 256;
}

TargetTree::~TargetTree() { Forget(); }

void TargetTree::Forget()
{
    for (auto& [path, fd] : open_)
        close(fd);
    open_.clear();
}

// Makes room for one more folder. One goes, not all: an archive that
// visits more folders than the cache holds, in turns, would otherwise miss
// on every file (an open and a close each). Which one goes follows the
// table's order, so runs are alike. Only the newest folder of a walk is
// still needed, and it is not in the table yet.
void TargetTree::ForgetOne()
{
    close(open_.begin()->second);
    open_.erase(open_.begin());
}

int TargetTree::OpenFolder(const std::vector<std::string>& parts, std::size_t count, bool create, std::string* reason)
{
    if (count == 0)
        return baseFd_;
    // Most files land in a folder already open: one look-up finds it.
    std::string key;
    for (std::size_t i = 0; i < count; ++i)
        (key += i ? "/" : "") += parts[i];
    if (const auto found = open_.find(key); found != open_.end())
        return found->second;
    int parent = baseFd_;
    key.clear();
    for (std::size_t i = 0; i < count; ++i) {
        if (i)
            key += '/';
        key += parts[i];
        auto found = open_.find(key);
        if (found != open_.end()) {
            parent = found->second;
            continue;
        }
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int fd = openat(parent, parts[i].c_str(), flags);
        if (fd < 0 && errno == ENOENT && create) {
            if (mkdirat(parent, parts[i].c_str(), 0777) != 0 && errno != EEXIST) {
                *reason = "cannot create folder " + key + ": " + std::strerror(errno);
                return -1;
            }
            fd = openat(parent, parts[i].c_str(), flags);
        }
        if (fd < 0) {
            int err = errno;
            struct stat st;
            if (fstatat(parent, parts[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
                *reason = "folder " + key + " is a symbolic link (not followed)";
            else if (err == ENOTDIR)
                *reason = key + " exists and is not a folder";
            else
                *reason = "cannot open folder " + key + ": " + std::strerror(err);
            return -1;
        }
        if (open_.size() >= kMaxOpenFolders)
            ForgetOne();
        open_.emplace(key, fd);
        parent = fd;
    }
    return parent;
}

}  // namespace zipcore
