#include "InputStream.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <time.h>
#include <unistd.h>

namespace zipwriter {

namespace {

// How long one wait for input lasts before the caller is asked again.
constexpr int kWaitMs = 200;

// Milliseconds on a clock that never goes back.
std::int64_t NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

InputStream::Result InputStream::Fill(std::vector<std::uint8_t>& piece, std::size_t size)
{
    piece.resize(size);
    std::size_t have = 0;
    // Asked at least every kWaitMs, also while input trickles in.
    std::int64_t asked = NowMs();
    while (have < size && !ended_) {
        pollfd ready{fd_, POLLIN, 0};
        const int rc = poll(&ready, 1, kWaitMs);
        const int error = rc < 0 ? errno : 0;
        const bool waited = rc == 0 || error == EINTR;
        if (waited || NowMs() - asked >= kWaitMs) {
            asked = NowMs();
            if (!stillWanted_())
                return Result::Stopped;
            if (waited)
                continue;
        }
        if (rc < 0 || (ready.revents & POLLNVAL)) {
            error_ = std::strerror(rc < 0 ? error : EBADF);
            return Result::Failed;
        }
        const ssize_t n = read(fd_, piece.data() + have, size - have);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0) {
            error_ = std::strerror(errno);
            return Result::Failed;
        }
        ended_ = n == 0;
        have += std::size_t(n);
    }
    piece.resize(have);
    return have > 0 ? Result::Data : Result::End;
}

}  // namespace zipwriter
