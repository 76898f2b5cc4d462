// Sequential reading with forward and backward seeks over an open file,
// through one buffer, so a listing that reads one byte at a time costs no
// system call per byte. Positions behave like the file's own: a seek may go
// past the end (later reads then return nothing), a seek before the start
// fails and leaves the position where it was.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/FileStream.h"

namespace engine {

class BufferedReader {
public:
    explicit BufferedReader(const platform::FileStream& file, std::size_t bufferSize = 64 * 1024)
        : file_(file), buffer_(bufferSize) {}

    // False at the end of the file or on a read error.
    bool ReadByte(std::uint8_t& byte);
    // Number of bytes read (fewer at the end of the file or on an error).
    std::int64_t Read(void* out, std::int64_t count);
    // Moves by `delta`; returns the new position, or -1 if it would fall
    // before the start.
    std::int64_t SeekBy(std::int64_t delta);
    std::int64_t Position() const { return start_ + index_; }

private:
    bool Fill();

    const platform::FileStream& file_;
    std::vector<std::uint8_t> buffer_;
    std::int64_t start_ = 0;    // file offset of buffer_[0]
    std::int64_t length_ = 0;   // valid bytes in buffer_
    std::int64_t index_ = 0;    // next byte to hand out
};

}  // namespace engine
