// An add's standard input as a source: read in pieces from its descriptor
// (a pipe, a FIFO, a terminal, a file) to its end, without seeking and
// without asking its size, straight into the member being written. While
// nothing comes it waits in short steps and asks `stillWanted` between
// them, so a request to stop ends even a read from a terminal that gives
// nothing. A read error is an error, never the end of the data: a member
// of what was read so far would lie about the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zipwriter {

class InputStream {
public:
    InputStream(int fd, std::function<bool()> stillWanted) : fd_(fd), stillWanted_(std::move(stillWanted)) {}

    enum class Result { Data, End, Stopped, Failed };
    // Fills `piece` with the next `size` bytes, fewer only at the end of the
    // input: Data when it holds any, End when the input had ended before.
    // Stopped when `stillWanted` said no; Failed with Error() set.
    Result Fill(std::vector<std::uint8_t>& piece, std::size_t size);
    const std::string& Error() const { return error_; }

private:
    int fd_;
    std::function<bool()> stillWanted_;
    bool ended_ = false;
    std::string error_;
};

}  // namespace zipwriter
