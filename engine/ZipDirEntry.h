// One archive member as listed: the 26 bytes of its local file header that
// follow the signature, decoded little-endian byte by byte (so the host's
// struct packing and byte order never matter), plus the member's name as
// stored, byte for byte.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

struct ZipDirEntry {
    static constexpr int HeaderSize = 26;

    std::uint16_t VersionNeeded = 0;
    std::uint16_t GeneralFlags = 0;
    std::uint16_t CompressionMethod = 0;
    std::uint32_t LastModDateTime = 0;  // MS-DOS time in the low 16 bits, date in the high 16
    std::uint32_t Crc32 = 0;
    std::int32_t CompressedSize = 0;
    std::int32_t UncompressedSize = 0;
    std::uint16_t FileNameLength = 0;
    std::uint16_t ExtraFieldLength = 0;
    std::string FileName;

    // Fills the nine header fields from the bytes that follow the signature.
    void DecodeHeader(const std::uint8_t (&bytes)[HeaderSize]);
};

}  // namespace engine
