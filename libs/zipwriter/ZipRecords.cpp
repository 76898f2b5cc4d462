#include "ZipRecords.h"

#include <algorithm>

#include "libs/zipcore/ZipFormat.h"

namespace zipwriter {

void PutLe16(std::string& out, std::uint32_t value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void PutLe32(std::string& out, std::uint32_t value)
{
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

void PutLe64(std::string& out, std::uint64_t value)
{
    PutLe32(out, std::uint32_t(value));
    PutLe32(out, std::uint32_t(value >> 32));
}

std::string LocalHeaderBytes(const MemberHeader& h)
{
    std::string out;
    PutLe32(out, zipcore::kLocalHeaderSig);
    PutLe16(out, h.versionNeeded);
    PutLe16(out, h.flags);
    PutLe16(out, h.method);
    PutLe16(out, h.dosDateTime & 0xFFFF);
    PutLe16(out, h.dosDateTime >> 16);
    PutLe32(out, h.crc);
    PutLe32(out, std::uint32_t(h.compressedSize));
    PutLe32(out, std::uint32_t(h.uncompressedSize));
    PutLe16(out, std::uint32_t(h.name.size()));
    PutLe16(out, std::uint32_t(h.extra.size()));
    out += h.name;
    out += h.extra;
    return out;
}

std::string CentralHeaderBytes(const MemberHeader& h, std::uint64_t localOffset)
{
    std::string out;
    PutLe32(out, zipcore::kCentralHeaderSig);
    PutLe16(out, kMadeByUnix);
    PutLe16(out, h.versionNeeded);
    PutLe16(out, h.flags);
    PutLe16(out, h.method);
    PutLe16(out, h.dosDateTime & 0xFFFF);
    PutLe16(out, h.dosDateTime >> 16);
    PutLe32(out, h.crc);
    PutLe32(out, std::uint32_t(h.compressedSize));
    PutLe32(out, std::uint32_t(h.uncompressedSize));
    PutLe16(out, std::uint32_t(h.name.size()));
    PutLe16(out, std::uint32_t(h.extra.size()));
    PutLe16(out, 0);  // comment
    PutLe16(out, 0);  // disk
    PutLe16(out, 0);  // internal attributes
    PutLe32(out, h.externalAttributes);
    PutLe32(out, std::uint32_t(localOffset));
    out += h.name;
    out += h.extra;
    return out;
}

std::string UnixTimeExtra(std::int64_t mtime)
{
    std::string out;
    PutLe16(out, zipcore::kExtraUnixTime);
    PutLe16(out, 5);
    out += char(1);
    PutLe32(out, std::uint32_t(std::clamp<std::int64_t>(mtime, INT32_MIN, INT32_MAX)));
    return out;
}

std::string AesExtra(std::uint16_t vendorVersion, std::uint16_t actualMethod)
{
    std::string out;
    PutLe16(out, zipcore::kExtraAes);
    PutLe16(out, 7);
    PutLe16(out, vendorVersion);
    out += "AE";
    out += char(3);  // AES-256
    PutLe16(out, actualMethod);
    return out;
}

std::string EndRecords(std::uint64_t count, std::uint64_t directoryOffset, std::uint64_t directorySize,
                       const std::string& comment)
{
    std::string out;
    bool zip64 = count > 0xFFFF;
    if (zip64) {
        std::uint64_t recordOffset = directoryOffset + directorySize;
        PutLe32(out, zipcore::kZip64EndRecordSig);
        PutLe64(out, zipcore::kZip64EndRecordSize - 12);
        PutLe16(out, kMadeByUnix);
        PutLe16(out, kNeedZip64);
        PutLe32(out, 0);  // this disk
        PutLe32(out, 0);  // directory's disk
        PutLe64(out, count);
        PutLe64(out, count);
        PutLe64(out, directorySize);
        PutLe64(out, directoryOffset);
        PutLe32(out, zipcore::kZip64LocatorSig);
        PutLe32(out, 0);
        PutLe64(out, recordOffset);
        PutLe32(out, 1);  // disks in all
    }
    PutLe32(out, zipcore::kEndRecordSig);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, zip64 ? 0xFFFF : std::uint32_t(count));
    PutLe16(out, zip64 ? 0xFFFF : std::uint32_t(count));
    PutLe32(out, std::uint32_t(directorySize));
    PutLe32(out, std::uint32_t(directoryOffset));
    PutLe16(out, std::uint32_t(comment.size()));
    out += comment;
    return out;
}

}  // namespace zipwriter
