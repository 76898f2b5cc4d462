#include "ZipDirEntry.h"

namespace {

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

void ZipDirEntry::DecodeHeader(const std::uint8_t (&b)[HeaderSize])
{
    VersionNeeded = Le16(b + 0);
    GeneralFlags = Le16(b + 2);
    CompressionMethod = Le16(b + 4);
    LastModDateTime = Le32(b + 6);
    Crc32 = Le32(b + 10);
    CompressedSize = static_cast<std::int32_t>(Le32(b + 14));
    UncompressedSize = static_cast<std::int32_t>(Le32(b + 18));
    FileNameLength = Le16(b + 22);
    ExtraFieldLength = Le16(b + 24);
}
