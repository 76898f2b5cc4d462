#include "FileStream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

FileStream::~FileStream() { Close(); }

FileStream::FileStream(FileStream&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FileStream& FileStream::operator=(FileStream&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

namespace {

// One attempt at opening `path` with its lock; *busy is set when only the
// lock stood in the way. Returns the descriptor, or -1.
int OpenLocked(const std::string& path, OpenMode mode, bool* busy)
{
    *busy = false;
    // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none
    // comes; on a regular file the flag changes nothing.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int lock = LOCK_SH;
    switch (mode) {
    case OpenMode::ReadDenyWrite:
        flags |= O_RDONLY;
        break;
    case OpenMode::ReadWriteExclusive:
        flags |= O_RDWR;
        lock = LOCK_EX;
        break;
    case OpenMode::CreateExclusive:
        flags |= O_RDWR | O_CREAT;
        lock = LOCK_EX;
        break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st;
    // Folders, FIFOs, devices and sockets may open on POSIX, but only a
    // regular file (or a link to one) is a file to read or write here.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    if (::flock(fd, lock | LOCK_NB) != 0) {
        *busy = errno == EWOULDBLOCK;
        ::close(fd);
        return -1;
    }
    // Truncate only once the lock is ours, so a refused open changes nothing.
    if (mode == OpenMode::CreateExclusive && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// True when `path` still names the file open as `fd`.
bool StillNamed(const std::string& path, int fd)
{
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

}  // namespace

bool FileStream::Open(const std::string& path, OpenMode mode)
{
    Close();
    bool busy = false;
    fd_ = OpenLocked(path, mode, &busy);
    return fd_ >= 0;
}

bool FileStream::OpenWaiting(const std::string& path, OpenMode mode, int maxWaitMs, bool* lockHeld)
{
    Close();
    if (lockHeld != nullptr)
        *lockHeld = false;
    constexpr int PauseMs = 20;
    for (int waited = 0;;) {
        bool busy = false;
        const int fd = OpenLocked(path, mode, &busy);
        if (fd >= 0) {
            // A writer that held the lock may have put a new file under the
            // name meanwhile: that one is the file to open.
            if (waited >= maxWaitMs || StillNamed(path, fd)) {
                fd_ = fd;
                return true;
            }
            ::close(fd);
            waited += PauseMs;
            continue;
        }
        if (!busy || waited >= maxWaitMs) {
            if (lockHeld != nullptr)
                *lockHeld = busy;
            return false;
        }
        ::usleep(PauseMs * 1000);
        waited += PauseMs;
    }
}

void FileStream::Adopt(int fd)
{
    Close();
    fd_ = fd;
}

void FileStream::Close()
{
    if (fd_ >= 0) {
        ::close(fd_);  // closing drops the flock as well
        fd_ = -1;
    }
}

namespace {

ReadFault readFault = nullptr;

// Repeats `readSome(out, wanted, offsetSoFar)` until `count` bytes have
// arrived, the file ends, or an error comes before any byte did.
template <typename ReadSome>
std::int64_t ReadFully(void* buffer, std::int64_t count, ReadSome readSome)
{
    auto* out = static_cast<char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t n = readSome(out + done, static_cast<size_t>(count - done), done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done > 0 ? done : -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

}  // namespace

std::int64_t FileStream::Read(void* buffer, std::int64_t count)
{
    if (fd_ < 0 || count < 0)
        return -1;
    if (readFault != nullptr && readFault(fd_)) {
        errno = EIO;
        return -1;
    }
    return ReadFully(buffer, count, [this](char* out, size_t n, std::int64_t) { return ::read(fd_, out, n); });
}

std::int64_t FileStream::ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const
{
    if (fd_ < 0 || count < 0 || offset < 0)
        return -1;
    return ReadFully(buffer, count, [this, offset](char* out, size_t n, std::int64_t done) {
        return ::pread(fd_, out, n, static_cast<off_t>(offset + done));
    });
}

std::int64_t FileStream::Write(const void* buffer, std::int64_t count)
{
    if (fd_ < 0 || count < 0)
        return -1;
    auto* in = static_cast<const char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, in + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += n;
    }
    return done;
}

std::int64_t FileStream::Seek(std::int64_t offset, SeekOrigin origin)
{
    if (fd_ < 0)
        return -1;
    int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<std::int64_t>(r);
}

bool FileStream::SetSize(std::int64_t size)
{
    return fd_ >= 0 && size >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

std::int64_t FileStream::Size() const
{
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

void SetReadFaultForTesting(ReadFault fails) { readFault = fails; }

}  // namespace platform
