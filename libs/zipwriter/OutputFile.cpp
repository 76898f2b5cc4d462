#include "OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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
        if (!WriteAt(flushed_, bytes, len))
            return false;
        flushed_ += len;
        return true;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + len);
    return true;
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
    return true;
}

bool OutputFile::Flush()
{
    if (Failed())
        return false;
    if (buffer_.empty())
        return true;
    if (!WriteAt(flushed_, buffer_.data(), buffer_.size()))
        return false;
    flushed_ += buffer_.size();
    buffer_.clear();
    return true;
}

}  // namespace zipwriter
