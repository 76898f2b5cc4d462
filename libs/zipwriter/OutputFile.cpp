#include "OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zipwriter {

OutputFile::OutputFile(int fd, WriteFaultHook hook) : fd_(fd), hook_(std::move(hook))
{
    buffer_.reserve(kBufferSize);
}

bool OutputFile::WriteAt(std::uint64_t position, const std::uint8_t* data, std::size_t len)
{
    if (Failed())
        return false;
    if (hook_ && hook_(position, len)) {
        error_ = std::strerror(ENOSPC);
        return false;
    }
    while (len > 0) {
        ssize_t n = pwrite(fd_, data, len, off_t(position));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = std::strerror(n < 0 ? errno : ENOSPC);
            return false;
        }
        data += n;
        len -= std::size_t(n);
        position += std::uint64_t(n);
    }
    return true;
}

bool OutputFile::Append(const std::uint8_t* data, std::size_t len)
{
    // Whole aligned blocks of zeros are left as holes: the file is always
    // exactly as long as what was written (flushed_), so anything appended
    // lands beyond its end, where the file system reads zeros anyway.
    std::uint64_t position = flushed_;
    bool holeAtEnd = false;
    while (len > 0) {
        std::size_t n = std::size_t(std::min<std::uint64_t>(len, kHoleBlock - position % kHoleBlock));
        holeAtEnd = n == kHoleBlock && data[0] == 0 && std::memcmp(data, data + 1, n - 1) == 0;
        if (!holeAtEnd && !WriteAt(position, data, n))
            return false;
        position += n;
        data += n;
        len -= n;
    }
    if (holeAtEnd && ftruncate(fd_, off_t(position)) != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    flushed_ = position;
    return true;
}

bool OutputFile::Write(const void* data, std::size_t len)
{
    if (Failed())
        return false;
    // The hook sees every write the writer makes, buffered or not, so a
    // test can fail any of them.
    if (hook_ && hook_(Position(), len)) {
        error_ = std::strerror(ENOSPC);
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (buffer_.size() + len > kBufferSize && !Flush())
        return false;
    if (len >= kBufferSize) {
        if (!Append(bytes, len))
            return false;
        StartWriteback();
        return true;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + len);
    return true;
}

bool OutputFile::CopyFrom(int fd, std::uint64_t offset, std::uint64_t len)
{
    if (Failed())
        return false;
    if (hook_ && hook_(Position(), std::size_t(len))) {
        error_ = std::strerror(ENOSPC);
        return false;
    }
    if (!Flush())
        return false;
    loff_t in = loff_t(offset);
    while (len > 0) {
        loff_t out = loff_t(flushed_);
        ssize_t n = copy_file_range(fd, &in, fd_, &out, std::size_t(std::min<std::uint64_t>(len, 1u << 30)), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                      errno == EBADF)) {
            // No kernel copy here: through a buffer.
            std::vector<std::uint8_t> buffer(std::size_t(std::min<std::uint64_t>(len, kBufferSize)));
            while (len > 0) {
                std::size_t want = std::size_t(std::min<std::uint64_t>(len, buffer.size()));
                ssize_t got = pread(fd, buffer.data(), want, off_t(in));
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0) {
                    error_ = got < 0 ? std::strerror(errno) : "the archive is shorter than its directory says";
                    return false;
                }
                if (!Append(buffer.data(), std::size_t(got)))
                    return false;
                in += got;
                len -= std::uint64_t(got);
            }
            break;
        }
        if (n <= 0) {
            error_ = n < 0 ? std::strerror(errno) : "the archive is shorter than its directory says";
            return false;
        }
        flushed_ += std::uint64_t(n);
        len -= std::uint64_t(n);
    }
    StartWriteback();
    return true;
}

void OutputFile::StartWriteback()
{
    constexpr std::uint64_t kStep = std::uint64_t(8) << 20;
    if (flushed_ - syncStarted_ < kStep)
        return;
    sync_file_range(fd_, off64_t(syncStarted_), off64_t(flushed_ - syncStarted_), SYNC_FILE_RANGE_WRITE);
    syncStarted_ = flushed_;
}

bool OutputFile::Patch(std::uint64_t position, const void* data, std::size_t len)
{
    if (Failed())
        return false;
    if (position + len > Position()) {
        error_ = "patch beyond the written data";
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    // The part still in the buffer is changed there, the rest on disk.
    while (len > 0 && position < flushed_) {
        std::size_t onDisk = std::size_t(std::min<std::uint64_t>(len, flushed_ - position));
        if (!WriteAt(position, bytes, onDisk))
            return false;
        position += onDisk;
        bytes += onDisk;
        len -= onDisk;
    }
    if (len > 0)
        std::memcpy(buffer_.data() + (position - flushed_), bytes, len);
    return true;
}

bool OutputFile::TruncateTo(std::uint64_t position)
{
    if (Failed())
        return false;
    if (position >= flushed_) {
        buffer_.resize(std::size_t(position - flushed_));
        return true;
    }
    buffer_.clear();
    if (ftruncate(fd_, off_t(position)) != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    flushed_ = position;
    syncStarted_ = std::min(syncStarted_, flushed_);
    return true;
}

bool OutputFile::Flush()
{
    if (Failed())
        return false;
    if (buffer_.empty())
        return true;
    if (!Append(buffer_.data(), buffer_.size()))
        return false;
    buffer_.clear();
    StartWriteback();
    return true;
}

}  // namespace zipwriter
