#include "ZipDirEntry.h"

#include "zipformat/LittleEndian.h"

namespace engine {

namespace {
using fernpack::Le16;
using fernpack::Le32;
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

}  // namespace engine
