#include "Inflater.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <string>

#include "AllMethods.h"

namespace zipcore {

static_assert(std::endian::native == std::endian::little, "the bit reader loads input words little-endian");

namespace {

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kFastBits = 10;  // codes up to this long decode in one table look-up
constexpr std::size_t kHistory = std::size_t(64) << 10;
// Decoded bytes are handed on once this much of the window is in use.
constexpr std::size_t kFlushAt = kHistory + (std::size_t(256) << 10);
constexpr std::size_t kMaxMatch = 3 + 65535;
// Room for one whole match past kFlushAt, and for a match copy's last word.
constexpr std::size_t kWindowSize = kFlushAt + kMaxMatch + 8;

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                         49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                         2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr std::uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,  6,
                                         7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

}  // namespace

// A canonical Huffman code: a table for the short codes, and per-length
// counts with the symbols in code order for the long ones.
struct Inflater::Huffman {
    std::uint16_t fast[1 << kFastBits];  // (symbol << 4) | length; 0 where the code is longer
    std::uint16_t count[kMaxCodeBits + 1];
    std::uint16_t symbol[288];

    // Only complete codes, except that a literal/length or distance code
    // (`sparseOk`) may hold a single one-bit code or none at all: zlib
    // accepts those, and so must we for the same streams to decode.
    bool Build(const std::uint8_t* lengths, unsigned n, bool sparseOk)
    {
        std::memset(count, 0, sizeof(count));
        for (unsigned i = 0; i < n; ++i)
            ++count[lengths[i]];
        count[0] = 0;
        int left = 1;
        unsigned longest = 0;
        for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
            left = (left << 1) - count[len];
            if (left < 0)
                return false;  // more codes than the lengths allow
            if (count[len])
                longest = len;
        }
        if (left > 0 && (!sparseOk || longest > 1))
            return false;

        std::uint16_t offset[kMaxCodeBits + 2];
        offset[1] = 0;
        for (unsigned len = 1; len <= kMaxCodeBits; ++len)
            offset[len + 1] = std::uint16_t(offset[len] + count[len]);
        for (unsigned i = 0; i < n; ++i)
            if (lengths[i])
                symbol[offset[lengths[i]]++] = std::uint16_t(i);

        std::memset(fast, 0, sizeof(fast));
        unsigned code = 0, index = 0;
        for (unsigned len = 1; len <= kFastBits; ++len, code <<= 1) {
            for (unsigned k = 0; k < count[len]; ++k, ++code) {
                unsigned reversed = 0;  // the stream sends a code's first bit first
                for (unsigned b = 0; b < len; ++b)
                    reversed |= ((code >> b) & 1u) << (len - 1 - b);
                const std::uint16_t entry = std::uint16_t((symbol[index++] << 4) | len);
                for (unsigned r = reversed; r < (1u << kFastBits); r += 1u << len)
                    fast[r] = entry;
            }
        }
        return true;
    }
};

Inflater::Inflater(bool deflate64)
    : deflate64_(deflate64), fixedLit_(std::make_unique<Huffman>()), fixedDist_(std::make_unique<Huffman>()),
      lit_(std::make_unique<Huffman>()), dist_(std::make_unique<Huffman>())
{
    std::uint8_t lengths[288];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    fixedLit_->Build(lengths, 288, true);
    std::fill(lengths, lengths + 32, 5);
    fixedDist_->Build(lengths, 32, true);
}

Inflater::~Inflater() = default;

void Inflater::Pull()
{
    const std::uint8_t* data = nullptr;
    std::size_t len = 0;
    if (!in_->Next(&data, &len)) {
        inputFailed_ = inputEnded_ = true;
        Fail("the input failed");
    } else if (len == 0) {
        inputEnded_ = true;
    } else {
        next_ = data;
        end_ = data + len;
    }
}

void Inflater::Refill()
{
    while (count_ <= 56) {
        if (end_ - next_ >= 8) {
            // A whole word at once. Its bits above the new count are the
            // bytes that follow, so ORing them in again later changes nothing.
            std::uint64_t word;
            std::memcpy(&word, next_, 8);
            bits_ |= word << count_;
            next_ += (63 - count_) >> 3;
            count_ |= 56;
            return;
        }
        if (next_ != end_) {
            bits_ |= std::uint64_t(*next_++) << count_;
            count_ += 8;
        } else if (!inputEnded_) {
            Pull();
        } else {
            // Past the end come zero bytes, so a look-up may peek beyond the
            // last code; a stream that really uses them is cut short.
            if (padded_ * 8 > count_)
                Fail(kEndsEarly);
            ++padded_;
            count_ += 8;
        }
    }
}

inline int Inflater::Decode(const Huffman& h)
{
    if (count_ < kMaxCodeBits)
        Refill();
    const unsigned entry = h.fast[bits_ & ((1u << kFastBits) - 1)];
    if (entry) {
        bits_ >>= entry & 15;
        count_ -= entry & 15;
        return int(entry >> 4);
    }
    // A long code, or none: walk the lengths, keeping the code's bits in
    // the order they were sent.
    int code = 0, first = 0, index = 0;
    std::uint64_t bits = bits_;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        code |= int(bits & 1);
        bits >>= 1;
        const int n = h.count[len];
        if (code - n < first) {
            bits_ >>= len;
            count_ -= len;
            return h.symbol[index + (code - first)];
        }
        index += n;
        first = (first + n) << 1;
        code <<= 1;
    }
    return -1;
}

bool Inflater::Flush()
{
    if (pos_ > flushed_ && !out_->Put(window_.get() + flushed_, pos_ - flushed_)) {
        outputStopped_ = true;
        return Fail("the output stopped");
    }
    flushed_ = pos_;
    return true;
}

bool Inflater::Room()
{
    if (!Flush())
        return false;
    std::memmove(window_.get(), window_.get() + pos_ - kHistory, kHistory);
    pos_ = flushed_ = kHistory;
    return true;
}

MethodResult Inflater::Run(CompressedInput& in, DecodedOutput& out, const char** reason)
{
    if (!window_) {
        window_.reset(new (std::nothrow) std::uint8_t[kWindowSize]);
        if (!window_)
            return MethodResult::NoMemory;
    }
    in_ = &in;
    out_ = &out;
    next_ = end_ = nullptr;
    bits_ = 0;
    count_ = padded_ = 0;
    pos_ = flushed_ = 0;
    inputEnded_ = inputFailed_ = outputStopped_ = false;
    error_ = nullptr;

    bool final = false;
    while (!final && !error_)
        Block(&final);
    if (!error_ && padded_ * 8 > count_)
        Fail(kEndsEarly);
    if (!error_)
        Flush();
    if (inputFailed_ || outputStopped_)
        return MethodResult::Stopped;
    if (error_) {
        *reason = error_;
        return MethodResult::Damaged;
    }
    return MethodResult::Done;
}

bool Inflater::Block(bool* final)
{
    *final = Bits(1) != 0;
    switch (Bits(2)) {
    case 0: return Stored();
    case 1: return Codes(*fixedLit_, *fixedDist_);
    case 2: return Dynamic();
    default: return Fail("invalid block type");
    }
}

bool Inflater::Stored()
{
    const unsigned skip = count_ & 7;  // to the next byte boundary
    bits_ >>= skip;
    count_ -= skip;
    unsigned len = Bits(16);
    if (len != (~Bits(16) & 0xFFFFu))
        return Fail("invalid stored block lengths");
    // Whole bytes still in the bit buffer come first (the count stays a
    // multiple of 8 here, so none is left over once it runs dry).
    while (len > 0 && count_ >= 8) {
        if (pos_ >= kFlushAt && !Room())
            return false;
        window_[pos_++] = std::uint8_t(bits_);
        bits_ >>= 8;
        count_ -= 8;
        --len;
    }
    if (padded_ * 8 > count_)
        return Fail(kEndsEarly);
    if (len > 0)
        bits_ = 0;  // whatever lay above the count are the bytes at next_
    while (len > 0) {
        if (error_)
            return false;
        if (next_ == end_) {
            if (inputEnded_)
                return Fail(kEndsEarly);
            Pull();
            continue;
        }
        if (pos_ >= kFlushAt && !Room())
            return false;
        const std::size_t n = std::min<std::size_t>({len, std::size_t(end_ - next_), kFlushAt + kMaxMatch - pos_});
        std::memcpy(window_.get() + pos_, next_, n);
        pos_ += n;
        next_ += n;
        len -= unsigned(n);
    }
    return true;
}

bool Inflater::Dynamic()
{
    const unsigned nlen = Bits(5) + 257, ndist = Bits(5) + 1, ncode = Bits(4) + 4;
    // Literal/length symbols 286 and 287 and distance symbols 30 and 31
    // never occur in deflate; zlib refuses tables that list them.
    if (nlen > (deflate64_ ? 288u : 286u) || ndist > (deflate64_ ? 32u : 30u))
        return Fail("too many length or distance codes");
    std::uint8_t codeLengths[19] = {};
    for (unsigned i = 0; i < ncode; ++i)
        codeLengths[kCodeLengthOrder[i]] = std::uint8_t(Bits(3));
    Huffman& lengthCode = *lit_;  // the literal code is built only afterwards
    if (!lengthCode.Build(codeLengths, 19, false))
        return Fail("invalid code lengths code");

    std::uint8_t lengths[288 + 32] = {};
    unsigned index = 0;
    while (index < nlen + ndist) {
        if (error_)
            return false;
        const int sym = Decode(lengthCode);
        if (sym < 0)
            return Fail("invalid code lengths code");
        if (sym < 16) {
            lengths[index++] = std::uint8_t(sym);
            continue;
        }
        std::uint8_t value = 0;
        unsigned repeat;
        if (sym == 16) {
            if (index == 0)
                return Fail("repeated code length without a first one");
            value = lengths[index - 1];
            repeat = 3 + Bits(2);
        } else if (sym == 17) {
            repeat = 3 + Bits(3);
        } else {
            repeat = 11 + Bits(7);
        }
        if (index + repeat > nlen + ndist)
            return Fail("too many code lengths");
        std::fill(lengths + index, lengths + index + repeat, value);
        index += repeat;
    }
    if (lengths[256] == 0)
        return Fail("no end-of-block code");
    if (!lit_->Build(lengths, nlen, true))
        return Fail("invalid literal/length code lengths");
    if (!dist_->Build(lengths + nlen, ndist, true))
        return Fail("invalid distance code lengths");
    return Codes(*lit_, *dist_);
}

bool Inflater::Codes(const Huffman& lit, const Huffman& dist)
{
    std::uint8_t* const window = window_.get();
    const int distCodes = deflate64_ ? 32 : 30;
    for (;;) {
        if (pos_ >= kFlushAt && !Room())
            return false;
        if (error_)
            return false;
        int sym = Decode(lit);
        if (sym < 256) {
            if (sym < 0)
                return Fail("invalid literal/length code");
            window[pos_++] = std::uint8_t(sym);
            continue;
        }
        if (sym == 256)
            return true;
        sym -= 257;
        if (sym >= 29)
            return Fail("invalid literal/length code");
        const std::size_t len = deflate64_ && sym == 28 ? 3 + Bits(16) : kLengthBase[sym] + Bits(kLengthExtra[sym]);
        const int d = Decode(dist);
        if (d < 0 || d >= distCodes)
            return Fail("invalid distance code");
        const std::size_t distance = kDistBase[d] + Bits(kDistExtra[d]);
        if (distance > pos_)
            return Fail("distance too far back");
        std::uint8_t* to = window + pos_;
        const std::uint8_t* from = to - distance;
        if (distance >= 8) {
            // Word by word: each word's source is written before it is read.
            for (std::size_t i = 0; i < len; i += 8)
                std::memcpy(to + i, from + i, 8);
        } else if (distance == 1) {
            std::memset(to, *from, len);
        } else {
            for (std::size_t i = 0; i < len; ++i)
                to[i] = from[i];
        }
        pos_ += len;
    }
}

namespace {

class Deflate64Decoder final : public MethodDecoder {
public:
    MethodResult Decode(const MethodMember&, CompressedInput& in, DecodedOutput& out, std::string* detail) override
    {
        const char* reason = "";
        MethodResult result = inflater_.Run(in, out, &reason);
        if (result == MethodResult::Damaged)
            *detail = reason == Inflater::kEndsEarly ? "Deflate64 data ends early"
                                                            : std::string("damaged Deflate64 data: ") + reason;
        return result;
    }

private:
    Inflater inflater_{true};
};

}  // namespace

std::unique_ptr<MethodDecoder> MakeDeflate64Decoder() { return std::make_unique<Deflate64Decoder>(); }

}  // namespace zipcore
