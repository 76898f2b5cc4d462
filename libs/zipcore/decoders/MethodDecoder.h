// The seam between the entry decoder and one compression method beyond
// stored and deflate. A method decoder pulls the member's compressed bytes
// (already decrypted) piece by piece and pushes what it decodes in pieces,
// holding only its own working memory (a window, a block, a dictionary),
// whatever the member's size. The entry decoder around it checks the sizes
// and the CRC-32 and owns the sink, so every method is checked the same way.
//
// Which methods a user of the core can decode is decided when it is linked:
// the registry of all methods (AllMethods.h) lives in its own library, so a
// program that does not hand it to the entry decoder (the self-extractor
// stub) carries none of these decoders or their libraries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zipcore {

class CompressedInput {
public:
    virtual ~CompressedInput() = default;
    // The next piece of compressed data into *data / *len; *len is 0 once
    // the member's data is used up. False when the piece cannot be had
    // (decryption failed): the decoder then stops.
    virtual bool Next(const std::uint8_t** data, std::size_t* len) = 0;
};

class DecodedOutput {
public:
    virtual ~DecodedOutput() = default;
    // False asks the decoder to stop: more than the stated size, or the
    // sink refused the data.
    virtual bool Put(const std::uint8_t* data, std::size_t len) = 0;
};

enum class MethodResult {
    Done,      // the compressed stream ended properly
    Damaged,   // the data is not valid for the method; the reason is in *detail
    Stopped,   // the input or the output asked to stop
    NoMemory,  // the method's working memory could not be had
    TooLarge,  // the data asks for more than kMethodMemoryLimit (detail: kMethodMemoryText)
};

// The most working memory (a dictionary, a window) any method may ask for:
// data that asks for more is refused before anything is allocated, whatever
// the machine could give, and in the same words for every method. Such data
// is not damaged; it is only more than this reader will take on.
inline constexpr std::uint64_t kMethodMemoryLimit = std::uint64_t(1) << 30;
inline constexpr const char* kMethodMemoryText = "needs more than 1 GiB of memory to unpack";

struct MethodMember {
    std::uint64_t uncompressedSize = 0;  // as the archive states it
};

class MethodDecoder {
public:
    virtual ~MethodDecoder() = default;
    // Decodes one member's whole compressed stream. A decoder serves one
    // member and is then destroyed, so whatever memory a member made it
    // take goes with the member: the peak of a run is its largest member's
    // need, never the sum of what earlier ones asked for.
    virtual MethodResult Decode(const MethodMember& member, CompressedInput& in, DecodedOutput& out,
                                std::string* detail) = 0;
};

using MethodFactory = std::unique_ptr<MethodDecoder> (*)();

struct MethodEntry {
    std::uint16_t method;
    MethodFactory make;
};

// A set of method decoders a user of the core hands to the entry decoder.
struct MethodTable {
    const MethodEntry* entries = nullptr;
    std::size_t count = 0;

    MethodFactory Find(std::uint16_t method) const
    {
        for (std::size_t i = 0; i < count; ++i)
            if (entries[i].method == method)
                return entries[i].make;
        return nullptr;
    }
};

}  // namespace zipcore
