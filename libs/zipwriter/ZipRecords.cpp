#include "ZipRecords.h"

#include <algorithm>

#include "zipformat/DosDateTime.h"

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

namespace {

constexpr std::uint64_t kSaturated = zip::Saturated32;

std::uint32_t Field32(std::uint64_t value, bool inZip64) { return inZip64 ? std::uint32_t(kSaturated) : std::uint32_t(value); }

}  // namespace

bool MayNeedZip64(std::uint64_t size, std::uint64_t overhead) { return size >= kSaturated - overhead; }

std::string Zip64Extra(const std::vector<std::uint64_t>& values)
{
    std::string out;
    PutLe16(out, zip::ExtraZip64);
    PutLe16(out, std::uint32_t(8 * values.size()));
    for (std::uint64_t value : values)
        PutLe64(out, value);
    return out;
}

std::string LocalHeaderBytes(const MemberHeader& h)
{
    // Both sizes, whichever is large: that is how a local header's Zip64
    // field must be read.
    const std::string extra =
        h.zip64Local ? Zip64Extra({h.uncompressedSize, h.compressedSize}) + h.extra : h.extra;
    std::string out;
    PutLe32(out, zip::LocalHeaderSignature);
    PutLe16(out, h.zip64Local ? std::max(h.versionNeeded, kNeedZip64) : h.versionNeeded);
    PutLe16(out, h.flags);
    PutLe16(out, h.method);
    PutLe16(out, zip::DosTimePart(h.dosDateTime));
    PutLe16(out, zip::DosDatePart(h.dosDateTime));
    PutLe32(out, h.crc);
    PutLe32(out, Field32(h.compressedSize, h.zip64Local));
    PutLe32(out, Field32(h.uncompressedSize, h.zip64Local));
    PutLe16(out, std::uint32_t(h.name.size()));
    PutLe16(out, std::uint32_t(extra.size()));
    out += h.name;
    out += extra;
    return out;
}

std::string CentralHeaderBytes(const MemberHeader& h, std::uint64_t localOffset)
{
    const bool bigUncompressed = h.uncompressedSize >= kSaturated;
    const bool bigCompressed = h.compressedSize >= kSaturated;
    const bool bigOffset = localOffset >= kSaturated;
    std::vector<std::uint64_t> values;
    if (bigUncompressed)
        values.push_back(h.uncompressedSize);
    if (bigCompressed)
        values.push_back(h.compressedSize);
    if (bigOffset)
        values.push_back(localOffset);
    const bool zip64 = !values.empty();
    const std::string extra = zip64 ? Zip64Extra(values) + h.extra : h.extra;
    std::string out;
    PutLe32(out, zip::CentralHeaderSignature);
    PutLe16(out, kMadeByUnix);
    PutLe16(out, zip64 ? std::max(h.versionNeeded, kNeedZip64) : h.versionNeeded);
    PutLe16(out, h.flags);
    PutLe16(out, h.method);
    PutLe16(out, zip::DosTimePart(h.dosDateTime));
    PutLe16(out, zip::DosDatePart(h.dosDateTime));
    PutLe32(out, h.crc);
    PutLe32(out, Field32(h.compressedSize, bigCompressed));
    PutLe32(out, Field32(h.uncompressedSize, bigUncompressed));
    PutLe16(out, std::uint32_t(h.name.size()));
    PutLe16(out, std::uint32_t(extra.size()));
    PutLe16(out, 0);  // comment
    PutLe16(out, 0);  // disk
    PutLe16(out, 0);  // internal attributes
    PutLe32(out, h.externalAttributes);
    PutLe32(out, Field32(localOffset, bigOffset));
    out += h.name;
    out += extra;
    return out;
}

std::string UnixTimeExtra(std::int64_t mtime)
{
    std::string out;
    PutLe16(out, zip::ExtraUnixTime);
    PutLe16(out, 5);
    out += char(1);
    PutLe32(out, std::uint32_t(std::clamp<std::int64_t>(mtime, INT32_MIN, INT32_MAX)));
    return out;
}

std::string AesExtra(std::uint16_t vendorVersion, std::uint16_t actualMethod)
{
    std::string out;
    PutLe16(out, zip::ExtraAes);
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
    // 65,535 itself still fits: readers take the field as it stands.
    const bool bigCount = count > 0xFFFF;
    const bool bigSize = directorySize >= kSaturated;
    const bool bigOffset = directoryOffset >= kSaturated;
    if (bigCount || bigSize || bigOffset) {
        std::uint64_t recordOffset = directoryOffset + directorySize;
        PutLe32(out, zip::Zip64EndRecordSignature);
        PutLe64(out, zip::Zip64EndRecordSize - 12);
        PutLe16(out, kMadeByUnix);
        PutLe16(out, kNeedZip64);
        PutLe32(out, 0);  // this disk
        PutLe32(out, 0);  // directory's disk
        PutLe64(out, count);
        PutLe64(out, count);
        PutLe64(out, directorySize);
        PutLe64(out, directoryOffset);
        PutLe32(out, zip::Zip64LocatorSignature);
        PutLe32(out, 0);
        PutLe64(out, recordOffset);
        PutLe32(out, 1);  // disks in all
    }
    PutLe32(out, zip::EndRecordSignature);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, bigCount ? 0xFFFF : std::uint32_t(count));
    PutLe16(out, bigCount ? 0xFFFF : std::uint32_t(count));
    PutLe32(out, Field32(directorySize, bigSize));
    PutLe32(out, Field32(directoryOffset, bigOffset));
    PutLe16(out, std::uint32_t(comment.size()));
    out += comment;
    return out;
}

}  // namespace zipwriter
