#include "ArchiveLock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/LockWait.h"

namespace zipwriter {

LockedArchive::~LockedArchive()
{
    Close();
    if (dirFd_ >= 0)
        close(dirFd_);
}

void LockedArchive::Close()
{
    if (data_)
        munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    if (fd_ >= 0)
        close(fd_);  // releases the lock
    fd_ = -1;
}

bool LockedArchive::Open(const std::string& given, int waitMs, const std::function<bool()>& stillWanted,
                         std::string* error)
{
    // A link to the archive is followed: the new archive must replace the
    // file it points to, not the link.
    std::string path = given;
    struct stat link;
    if (lstat(given.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char* resolved = realpath(given.c_str(), nullptr);
        if (resolved) {
            path = resolved;
            free(resolved);
        }
    }
    std::size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    baseName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    if (baseName_.empty()) {
        *error = "the archive name names a folder";
        return false;
    }
    dirFd_ = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd_ < 0) {
        *error = dir + ": " + std::strerror(errno);
        return false;
    }
    constexpr int kPauseMs = 50;
    int waited = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // O_NONBLOCK: a FIFO under the archive's name must not make the open
        // wait for a writer; it is refused as no regular file below.
        fd_ = openat(dirFd_, baseName_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) {
            if (errno == ENOENT)
                return true;
            *error = std::strerror(errno);
            return false;
        }
        int rc;
        while ((rc = flock(fd_, LOCK_EX | LOCK_NB)) != 0 && (errno == EINTR || errno == EWOULDBLOCK)) {
            if (errno == EINTR)
                continue;
            if (waited >= waitMs || !stillWanted()) {
                *error = waited >= waitMs ? platform::LockHeldText : "";
                Close();
                return false;
            }
            usleep(kPauseMs * 1000);
            waited += kPauseMs;
        }
        if (rc != 0) {
            *error = std::string("cannot lock the archive: ") + std::strerror(errno);
            Close();
            return false;
        }
        struct stat named;
        if (fstat(fd_, &status_) != 0) {
            *error = std::strerror(errno);
            Close();
            return false;
        }
        if (fstatat(dirFd_, baseName_.c_str(), &named, 0) != 0 || named.st_dev != status_.st_dev ||
            named.st_ino != status_.st_ino) {
            Close();  // replaced while we waited: lock the new one
            continue;
        }
        if (!S_ISREG(status_.st_mode)) {
            *error = "the archive is not a regular file";
            Close();
            return false;
        }
        size_ = std::size_t(status_.st_size);
        if (size_ > 0) {
            void* p = mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd_, 0);
            if (p == MAP_FAILED) {
                *error = std::strerror(errno);
                Close();
                return false;
            }
            data_ = static_cast<const std::uint8_t*>(p);
        }
        return true;
    }
    *error = "the archive keeps being replaced by another program";
    return false;
}

}  // namespace zipwriter
