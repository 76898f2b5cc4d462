#include "PackedData.h"

#include <stdexcept>

#include <bzlib.h>
#include <lzma.h>
#include <zlib.h>
#include <zstd.h>

namespace fixture {

std::string DeflatePack(const std::string& data, int level)
{
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, uLong(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

std::string ZstandardPack(const std::string& data)
{
    std::string out(ZSTD_compressBound(data.size()), '\0');
    std::size_t n = ZSTD_compress(out.data(), out.size(), data.data(), data.size(), 3);
    if (ZSTD_isError(n))
        throw std::runtime_error(ZSTD_getErrorName(n));
    out.resize(n);
    return out;
}

std::string XzPack(const std::string& data)
{
    std::string out(lzma_stream_buffer_bound(data.size()), '\0');
    std::size_t n = 0;
    if (lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr, reinterpret_cast<const std::uint8_t*>(data.data()),
                                data.size(), reinterpret_cast<std::uint8_t*>(out.data()), &n, out.size()) != LZMA_OK)
        throw std::runtime_error("xz encoding failed");
    out.resize(n);
    return out;
}

std::string Bzip2Pack(const std::string& data)
{
    std::string out(data.size() + data.size() / 100 + 600, '\0');
    unsigned n = unsigned(out.size());
    if (BZ2_bzBuffToBuffCompress(out.data(), &n, const_cast<char*>(data.data()), unsigned(data.size()), 9, 0, 0) !=
        BZ_OK)
        throw std::runtime_error("bzip2 encoding failed");
    out.resize(n);
    return out;
}

std::string LzmaPack(const std::string& data, bool endMarker)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.ext_flags = endMarker ? LZMA_LZMA1EXT_ALLOW_EOPM : 0;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::uint8_t props[5];
    lzma_filter plain{LZMA_FILTER_LZMA1, &options};
    if (lzma_properties_encode(&plain, props) != LZMA_OK)
        throw std::runtime_error("lzma properties failed");
    std::string out("\x10\x02\x05\x00", 4);  // made by version 16.2, 5 bytes of properties
    out.append(reinterpret_cast<const char*>(props), 5);
    std::string body(data.size() + data.size() / 2 + 1024, '\0');
    std::size_t n = 0;
    if (lzma_raw_buffer_encode(filters, nullptr, reinterpret_cast<const std::uint8_t*>(data.data()), data.size(),
                               reinterpret_cast<std::uint8_t*>(body.data()), &n, body.size()) != LZMA_OK)
        throw std::runtime_error("lzma encoding failed");
    return out + body.substr(0, n);
}

Deflate64Writer::Deflate64Writer()
{
    Put(1, 1);  // final block
    Put(1, 2);  // fixed codes
}

void Deflate64Writer::Put(std::uint32_t value, unsigned bits)
{
    for (unsigned i = 0; i < bits; ++i) {
        pending_ |= ((value >> i) & 1u) << count_;
        if (++count_ == 8) {
            out_ += char(pending_);
            pending_ = count_ = 0;
        }
    }
}

void Deflate64Writer::PutCode(std::uint32_t code, unsigned bits)
{
    for (unsigned i = bits; i-- > 0;)
        Put((code >> i) & 1u, 1);
}

void Deflate64Writer::Symbol(unsigned s)
{
    if (s < 144)
        PutCode(0x30 + s, 8);
    else if (s < 256)
        PutCode(0x190 + s - 144, 9);
    else if (s < 280)
        PutCode(s - 256, 7);
    else
        PutCode(0xC0 + s - 280, 8);
}

Deflate64Writer& Deflate64Writer::Literals(const std::string& bytes)
{
    for (unsigned char c : bytes)
        Symbol(c);
    return *this;
}

Deflate64Writer& Deflate64Writer::Match(unsigned length, unsigned distance)
{
    static const unsigned kLengthBase[28] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23,
                                             27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227};
    static const unsigned kDistBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                           49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                           2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
    if (length < 3 || length > 65538 || distance < 1 || distance > 65536)
        throw std::invalid_argument("no such Deflate64 match");
    if (length > 257) {
        Symbol(285);  // base 3 with 16 extra bits, Deflate64's own
        Put(length - 3, 16);
    } else {
        unsigned i = 27;
        while (kLengthBase[i] > length)
            --i;
        Symbol(257 + i);
        Put(length - kLengthBase[i], i < 8 ? 0 : (i - 4) / 4);
    }
    unsigned d = 31;
    while (kDistBase[d] > distance)
        --d;
    PutCode(d, 5);
    Put(distance - kDistBase[d], d < 4 ? 0 : (d - 2) / 2);
    return *this;
}

std::string Deflate64Writer::Finish()
{
    Symbol(256);
    if (count_)
        Put(0, 8 - count_);
    return out_;
}

Member Packed(const std::string& name, const std::string& plain, std::uint16_t method, const std::string& packed)
{
    Member m;
    m.Name = name;
    m.Data = packed;
    m.Method = method;
    m.VersionNeeded = 63;
    m.PlainCrc = Crc32(plain);
    m.PlainSize = std::int32_t(plain.size());
    return m;
}

}  // namespace fixture
