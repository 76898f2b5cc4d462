#include "MappedFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zipcore {

bool MappedFile::Open(const std::string& path, std::string* error)
{
    Close();
    // O_NONBLOCK: opening a FIFO must not wait for a writer (it is refused
    // below); on a regular file the flag changes nothing.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        *error = std::strerror(errno);
        return false;
    }
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = "not a regular file";
        Close();
        return false;
    }
    if (flock(fd_, LOCK_SH | LOCK_NB) != 0) {
        *error = "the file is in use by another program";
        Close();
        return false;
    }
    size_ = std::size_t(st.st_size);
    if (size_ == 0)
        return true;
    void* p = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
    if (p == MAP_FAILED) {
        *error = std::strerror(errno);
        Close();
        return false;
    }
    madvise(p, size_, MADV_SEQUENTIAL);
    data_ = static_cast<const std::uint8_t*>(p);
    mapped_ = true;
    return true;
}

void MappedFile::Close()
{
    if (mapped_)
        munmap(const_cast<std::uint8_t*>(data_), size_);
    mapped_ = false;
    data_ = nullptr;
    size_ = 0;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void ReleaseMappedPages(const std::uint8_t* begin, const std::uint8_t* end)
{
    static const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t from = (std::uintptr_t(begin) + page - 1) & ~(page - 1);
    const std::uintptr_t to = std::uintptr_t(end) & ~(page - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

void PassedPages::At(const std::uint8_t* at)
{
    constexpr std::ptrdiff_t kWindow = std::ptrdiff_t(8) << 20;
    if (!from_ || at < from_)
        from_ = at;
    if (at - from_ > kWindow) {
        ReleaseMappedPages(from_, at);
        from_ = at;
    }
}

}  // namespace zipcore
