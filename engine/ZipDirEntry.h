// One archive member as listed: the 26 bytes of its local file header that
// follow the signature, decoded little-endian byte by byte (so the host's
// struct packing and byte order never matter), plus the member's name as
// stored, byte for byte (at most its first 256 bytes; the whole name
// beside it when it is longer).
//
// The nine header fields keep the values read, signed 32-bit sizes
// included: a member of 2 GB or more shows a negative size there, and one
// written with Zip64 shows -1 (0xFFFFFFFF, the value that says "see the
// Zip64 extra field"). Its real sizes, 64 bits wide, stand beside them and
// are what anything that shows, sums or compares sizes should use.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "zipformat/Flags.h"

namespace engine {

struct ZipDirEntry {
    static constexpr int HeaderSize = 26;
    // Bytes of a name the listing keeps in FileName.
    static constexpr std::size_t NameKept = 256;

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

    // The member's whole stored name, by which the libraries know it: for a
    // name longer than FileName keeps, the central directory's; else
    // FileName itself. FileName is the text to show; anything that names
    // the member to a library, or matches names given by a user, uses this.
    const std::string& FullName() const { return fullName_.empty() ? FileName : fullName_; }
    void SetFullName(std::string name) { fullName_ = std::move(name); }

    // Encrypted, or WinZip AES by its method (zipformat/Flags.h).
    bool NeedsPassword() const { return fernpack::zip::NeedsPassword(GeneralFlags, CompressionMethod); }

    // The member's real sizes in bytes: from the Zip64 extra field or the
    // central directory where the 32-bit fields cannot hold them, else the
    // 32-bit fields read as unsigned (so 2.6 GB is 2.6 GB, never negative).
    std::uint64_t RealCompressedSize() const
    {
        return hasRealSizes_ ? realCompressed_ : static_cast<std::uint32_t>(CompressedSize);
    }
    std::uint64_t RealUncompressedSize() const
    {
        return hasRealSizes_ ? realUncompressed_ : static_cast<std::uint32_t>(UncompressedSize);
    }
    // Set by the listing when the real sizes are not the 32-bit fields'.
    void SetRealSizes(std::uint64_t compressed, std::uint64_t uncompressed)
    {
        realCompressed_ = compressed;
        realUncompressed_ = uncompressed;
        hasRealSizes_ = true;
    }

private:
    std::string fullName_;  // empty when FileName is the whole name
    std::uint64_t realCompressed_ = 0;
    std::uint64_t realUncompressed_ = 0;
    bool hasRealSizes_ = false;
};

}  // namespace engine
