#include "engine/BufferedReader.h"

#include <algorithm>
#include <cstring>

namespace engine {

bool BufferedReader::Fill()
{
    start_ += index_;
    index_ = 0;
    length_ = 0;
    std::int64_t n = file_.ReadAt(start_, buffer_.data(), static_cast<std::int64_t>(buffer_.size()));
    if (n <= 0)
        return false;
    length_ = n;
    return true;
}

bool BufferedReader::ReadByte(std::uint8_t& byte)
{
    if (index_ >= length_ && !Fill())
        return false;
    byte = buffer_[static_cast<std::size_t>(index_++)];
    return true;
}

std::int64_t BufferedReader::Read(void* out, std::int64_t count)
{
    auto* dest = static_cast<std::uint8_t*>(out);
    std::int64_t done = 0;
    while (done < count) {
        if (index_ >= length_ && !Fill())
            break;
        std::int64_t take = std::min(count - done, length_ - index_);
        std::memcpy(dest + done, buffer_.data() + index_, static_cast<std::size_t>(take));
        index_ += take;
        done += take;
    }
    return done;
}

std::int64_t BufferedReader::SeekBy(std::int64_t delta)
{
    const std::int64_t target = Position() + delta;
    if (target < 0)
        return -1;
    if (target >= start_ && target <= start_ + length_) {
        index_ = target - start_;
    } else {
        start_ = target;
        index_ = 0;
        length_ = 0;
    }
    return target;
}

}  // namespace engine
