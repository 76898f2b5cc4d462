#include "TempFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zipcore {

namespace {

constexpr std::string_view kPrefix = ".fernpack-";
constexpr std::string_view kSuffix = ".tmp";

std::string NewTempName()
{
    static std::atomic<unsigned> counter{0};
    unsigned long long random = 0;
    if (getrandom(&random, sizeof(random), GRND_NONBLOCK) != sizeof(random))
        random = (static_cast<unsigned long long>(getpid()) << 32) ^ static_cast<unsigned long long>(time(nullptr));
    random ^= counter.fetch_add(1);
    char text[64];
    std::snprintf(text, sizeof(text), "%.*s%016llx%.*s", int(kPrefix.size()), kPrefix.data(), random,
                  int(kSuffix.size()), kSuffix.data());
    return text;
}

// 0 untried, 1 linkat(AT_EMPTY_PATH) works, 2 only the /proc route works.
std::atomic<int> linkRoute{0};

}  // namespace

bool IsTemporaryName(std::string_view name)
{
    return name.size() > kPrefix.size() + kSuffix.size() && name.substr(0, kPrefix.size()) == kPrefix &&
           name.substr(name.size() - kSuffix.size()) == kSuffix;
}

int RemoveStaleTemporaries(int dirFd)
{
    // A fresh descriptor of its own, so the listing starts at the beginning.
    int dupFd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dupFd < 0)
        return 0;
    DIR* dir = fdopendir(dupFd);
    if (!dir) {
        close(dupFd);
        return 0;
    }
    int removed = 0;
    while (dirent* entry = readdir(dir)) {
        if (!IsTemporaryName(entry->d_name))
            continue;
        int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st;
        // Only plain files whose writer is gone (no lock held) are removed.
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
        close(fd);
    }
    closedir(dir);
    return removed;
}

bool TempFile::Create(int dirFd, unsigned mode, std::string* error)
{
    Discard();
    dirFd_ = dirFd;
    fd_ = openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ >= 0)
        return true;  // unnamed: nobody can see it, no lock needed yet
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        *error = std::strerror(errno);
        return false;
    }
    // The file system has no unnamed files: a hidden named one, locked.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = NewTempName();
        fd_ = openat(dirFd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd_ >= 0) {
            tempName_ = name;
            flock(fd_, LOCK_EX);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    *error = std::strerror(errno);
    return false;
}

bool TempFile::LinkUnnamed(const std::string& name, int* err)
{
    if (linkRoute.load() != 2) {
        if (linkat(fd_, "", dirFd_, name.c_str(), AT_EMPTY_PATH) == 0) {
            linkRoute = 1;
            return true;
        }
        // Without the right to link by descriptor the kernel says ENOENT.
        if (errno != ENOENT && errno != EPERM) {
            *err = errno;
            return false;
        }
        if (linkRoute.load() == 1) {
            *err = errno;
            return false;
        }
        linkRoute = 2;
    }
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/self/fd/%d", fd_);
    if (linkat(AT_FDCWD, path, dirFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    *err = errno;
    return false;
}

bool TempFile::Commit(const std::string& name, bool replace, bool* exists, std::string* error)
{
    *exists = false;
    if (fd_ < 0) {
        *error = "no temporary file";
        return false;
    }
    int err = 0;
    bool ok = false;
    if (tempName_.empty()) {
        ok = LinkUnnamed(name, &err);
        if (!ok && err == EEXIST && replace) {
            // Lock it, so no cleaner takes it for a leftover once it has a
            // name; name it; then move it over the existing file in one step.
            flock(fd_, LOCK_EX);
            for (int attempt = 0; attempt < 16 && !ok; ++attempt) {
                std::string temp = NewTempName();
                if (LinkUnnamed(temp, &err)) {
                    ok = renameat(dirFd_, temp.c_str(), dirFd_, name.c_str()) == 0;
                    if (!ok) {
                        err = errno;
                        unlinkat(dirFd_, temp.c_str(), 0);
                    }
                    break;
                }
                if (err != EEXIST)
                    break;
            }
        }
    } else if (replace) {
        ok = renameat(dirFd_, tempName_.c_str(), dirFd_, name.c_str()) == 0;
        err = errno;
    } else {
        ok = renameat2(dirFd_, tempName_.c_str(), dirFd_, name.c_str(), RENAME_NOREPLACE) == 0;
        err = errno;
        if (ok) {
            tempName_.clear();
        } else if (err == EINVAL || err == ENOSYS) {
            // No RENAME_NOREPLACE here: a hard link refuses an existing name;
            // Discard then removes the temporary name.
            ok = linkat(dirFd_, tempName_.c_str(), dirFd_, name.c_str(), 0) == 0;
            err = errno;
        }
    }
    if (ok && replace)
        tempName_.clear();  // renamed onto the target
    if (!ok) {
        *exists = err == EEXIST;
        *error = std::strerror(err);
    }
    Discard();
    return ok;
}

void TempFile::Discard()
{
    if (fd_ >= 0) {
        if (!tempName_.empty())
            unlinkat(dirFd_, tempName_.c_str(), 0);
        close(fd_);
    }
    fd_ = -1;
    tempName_.clear();
}

}  // namespace zipcore
