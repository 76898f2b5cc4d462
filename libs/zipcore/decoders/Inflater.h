// A streaming inflater for Deflate64, the deflate variant with a 64 KiB
// window, lengths up to 65,538 (length code 285 takes 16 extra bits) and
// distance codes 30 and 31. No packaged library reads it, so this one is
// ours. It reads plain deflate too, when asked: that mode exists so the
// fuzz target can hold it against zlib; members in deflate go through
// libdeflate and zlib, which are faster.
//
// Memory stays fixed (about 400 KiB) whatever the stream says: decoded
// bytes are handed on every 256 KiB, keeping the last 64 KiB as history.
// Damaged data ends with a short reason, never with a read or write outside
// its buffers; bits past the end of the input are an error, not zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "MethodDecoder.h"

namespace zipcore {

class Inflater {
public:
    explicit Inflater(bool deflate64);
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Decodes one whole stream from `in` into `out`. On Damaged, *reason is
    // a static text such as "invalid distance code", or kEndsEarly for a
    // stream cut short.
    MethodResult Run(CompressedInput& in, DecodedOutput& out, const char** reason);

    static constexpr const char* kEndsEarly = "compressed data ends early";
    struct Huffman;

private:
    bool Block(bool* final);
    bool Stored();
    bool Dynamic();
    bool Codes(const Huffman& lit, const Huffman& dist);
    int Decode(const Huffman& h);
    void Refill();
    void Pull();
    unsigned Bits(unsigned n)
    {
        if (count_ < n)
            Refill();
        unsigned v = unsigned(bits_ & ((std::uint64_t(1) << n) - 1));
        bits_ >>= n;
        count_ -= n;
        return v;
    }
    // The first failure counts; once the stream has read past the input's
    // end, whatever it then trips over is its being cut short.
    bool Fail(const char* reason)
    {
        if (!error_)
            error_ = padded_ * 8 > count_ ? kEndsEarly : reason;
        return false;
    }
    bool Room();
    bool Flush();

    const bool deflate64_;
    std::unique_ptr<Huffman> fixedLit_, fixedDist_, lit_, dist_;
    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t pos_ = 0, flushed_ = 0;

    CompressedInput* in_ = nullptr;
    DecodedOutput* out_ = nullptr;
    const std::uint8_t* next_ = nullptr;
    const std::uint8_t* end_ = nullptr;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    unsigned padded_ = 0;  // zero bytes fed after the input's end
    bool inputEnded_ = false, inputFailed_ = false, outputStopped_ = false;
    const char* error_ = nullptr;
};

}  // namespace zipcore
