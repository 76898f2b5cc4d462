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

int TargetTree::OpenFolder(const std::vector<std::string>& parts, std::size_t count, bool create, std::string* reason)
{
    int parent = baseFd_;
    std::string key;
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
        if (open_.size() >= kMaxOpenFolders) {
            // Keep the parent chain valid: only forget when starting afresh
            // would not close `parent` under us.
            int keep = fd;
            Forget();
            fd = keep;
            // Reopening later is cheap; the chain below continues from fd.
        }
        open_.emplace(key, fd);
        parent = fd;
    }
    return parent;
}

}  // namespace zipcore
