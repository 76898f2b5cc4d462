// Compressed member data for fixture archives: Deflate through zlib,
// Zstandard, XZ, BZip2 and LZMA through libzstd, liblzma and libbz2 (the test archivers write no
// Zstandard or XZ members), and Deflate64 written by hand with fixed codes,
// so a test can place exactly the lengths and distances only it has.
#pragma once

#include <cstdint>
#include <string>

#include "ZipFixture.h"

namespace fixture {

// Raw deflate (no zlib or gzip wrapper), as ZIP stores it, by zlib at
// `level` (0 to 9; 0 gives stored blocks).
std::string DeflatePack(const std::string& data, int level = 6);
std::string ZstandardPack(const std::string& data);
std::string XzPack(const std::string& data);
std::string Bzip2Pack(const std::string& data);
// ZIP's LZMA form: version, properties size and properties, then raw LZMA1
// data, with an end marker (general flag bit 1) or without.
std::string LzmaPack(const std::string& data, bool endMarker);

// A Deflate64 stream of one final block with fixed codes.
class Deflate64Writer {
public:
    Deflate64Writer();
    Deflate64Writer& Literals(const std::string& bytes);
    // A match of 3 to 65,538 bytes reaching 1 to 65,536 bytes back.
    Deflate64Writer& Match(unsigned length, unsigned distance);
    std::string Finish();

private:
    void Put(std::uint32_t value, unsigned bits);
    void PutCode(std::uint32_t code, unsigned bits);  // Huffman codes go first bit first
    void Symbol(unsigned symbol);

    std::string out_;
    std::uint32_t pending_ = 0;
    unsigned count_ = 0;
};

// A member whose stored bytes are `packed`, the `method`'s form of `plain`.
Member Packed(const std::string& name, const std::string& plain, std::uint16_t method, const std::string& packed);

}  // namespace fixture
