#include "MemberCopy.h"

#include <cstring>

#include "ZipRecords.h"
#include "libs/zipcore/ZipFormat.h"

namespace zipwriter {

using namespace zipcore;

namespace {

void SetLe16(std::string& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
}

void SetLe32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    SetLe16(bytes, at, value & 0xFFFF);
    SetLe16(bytes, at + 2, value >> 16);
}

}  // namespace

std::string WithoutZip64(const std::uint8_t* extra, std::size_t len)
{
    std::string out;
    std::size_t pos = 0;
    while (len - pos >= 4) {
        std::size_t size = Le16(extra + pos + 2);
        if (size > len - pos - 4)
            break;
        if (Le16(extra + pos) != kExtraZip64)
            out.append(reinterpret_cast<const char*>(extra + pos), 4 + size);
        pos += 4 + size;
    }
    return out;
}

namespace {

struct CopyShape {
    bool dropDescriptor = false;
    bool keepDescriptor = false;
    bool headerAsIs = false;
};

CopyShape ShapeOf(const ExistingArchive& archive, std::size_t index)
{
    const ZipEntry& entry = archive.Entries()[index];
    const MemberSpan& span = archive.Span(index);
    const std::uint8_t* local = archive.Bytes() + span.localHeader;
    CopyShape shape;
    std::uint16_t localFlags = Le16(local + 6);
    bool descriptor = ((localFlags | entry.flags) & kFlagDataDescriptor) != 0;
    bool traditional = entry.IsEncrypted() && !entry.aes.present;
    shape.keepDescriptor = descriptor && traditional;
    shape.dropDescriptor = descriptor && !traditional;
    bool localAgrees = Le32(local + 14) == entry.crc && Le32(local + 18) == std::uint32_t(entry.compressedSize) &&
                       Le32(local + 22) == std::uint32_t(entry.uncompressedSize);
    bool localZip64 = Le32(local + 18) == 0xFFFFFFFFu && Le32(local + 22) == 0xFFFFFFFFu;
    shape.headerAsIs = !shape.dropDescriptor && (localAgrees || (localZip64 && !descriptor));
    return shape;
}

}  // namespace

bool CopiesVerbatim(const ExistingArchive& archive, std::size_t index, std::uint64_t* begin, std::uint64_t* end)
{
    CopyShape shape = ShapeOf(archive, index);
    if (!shape.headerAsIs)
        return false;
    const MemberSpan& span = archive.Span(index);
    *begin = span.localHeader;
    *end = span.data + span.dataSize + (shape.keepDescriptor ? span.descriptorSize : 0);
    return true;
}

std::string CentralHeaderFor(const ExistingArchive& archive, std::size_t index, std::uint64_t offset)
{
    const ZipEntry& entry = archive.Entries()[index];
    const MemberSpan& span = archive.Span(index);
    const std::uint8_t* c = span.central;
    std::string central;
    bool wide = Le32(c + 20) == 0xFFFFFFFFu || Le32(c + 24) == 0xFFFFFFFFu || Le32(c + 42) == 0xFFFFFFFFu ||
                Le16(c + 34) == 0xFFFF;
    if (wide) {
        // Real values fit the 32-bit fields now; the Zip64 field goes.
        std::size_t nameLen = Le16(c + 28), extraLen = Le16(c + 30), commentLen = Le16(c + 32);
        std::string extra = WithoutZip64(c + kCentralHeaderSize + nameLen, extraLen);
        central.assign(reinterpret_cast<const char*>(c), kCentralHeaderSize + nameLen);
        central += extra;
        central.append(reinterpret_cast<const char*>(c + kCentralHeaderSize + nameLen + extraLen), commentLen);
        SetLe16(central, 30, std::uint32_t(extra.size()));
        SetLe32(central, 20, std::uint32_t(entry.compressedSize));
        SetLe32(central, 24, std::uint32_t(entry.uncompressedSize));
        SetLe16(central, 34, 0);
    } else {
        central.assign(reinterpret_cast<const char*>(c), span.centralSize);
    }
    SetLe32(central, 42, std::uint32_t(offset));
    if (ShapeOf(archive, index).dropDescriptor)
        SetLe16(central, 8, entry.flags & ~kFlagDataDescriptor);
    return central;
}

bool CopyMember(const ExistingArchive& archive, std::size_t index, OutputFile& out, std::uint64_t archiveStart,
                int archiveFd, std::string* central)
{
    const ZipEntry& entry = archive.Entries()[index];
    const MemberSpan& span = archive.Span(index);
    const std::uint8_t* bytes = archive.Bytes();
    const std::uint8_t* local = bytes + span.localHeader;
    std::uint64_t offset = out.Position() - archiveStart;
    CopyShape shape = ShapeOf(archive, index);

    std::string header;
    if (shape.dropDescriptor) {
        std::size_t nameLen = Le16(local + 26), extraLen = Le16(local + 28);
        header.assign(reinterpret_cast<const char*>(local), kLocalHeaderSize + nameLen);
        header += WithoutZip64(local + kLocalHeaderSize + nameLen, extraLen);
        SetLe16(header, 6, Le16(local + 6) & ~kFlagDataDescriptor);
        SetLe16(header, 28, std::uint32_t(header.size() - kLocalHeaderSize - nameLen));
    } else {
        header.assign(reinterpret_cast<const char*>(local), span.localHeaderSize);
    }
    if (!shape.headerAsIs) {
        SetLe32(header, 14, entry.crc);
        SetLe32(header, 18, std::uint32_t(entry.compressedSize));
        SetLe32(header, 22, std::uint32_t(entry.uncompressedSize));
    }
    if (!out.Write(header.data(), header.size()))
        return false;
    std::uint64_t dataLength = span.dataSize + (shape.keepDescriptor ? span.descriptorSize : 0);
    bool copied = archiveFd >= 0 && dataLength >= kKernelCopyMinimum
                      ? out.CopyFrom(archiveFd, span.data, dataLength)
                      : out.Write(bytes + span.data, std::size_t(dataLength));
    if (!copied)
        return false;
    *central = CentralHeaderFor(archive, index, offset);
    return true;
}

}  // namespace zipwriter
