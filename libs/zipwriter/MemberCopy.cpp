#include "MemberCopy.h"

#include <cstring>
#include <vector>

#include "ZipRecords.h"
#include "zipformat/Zip64Field.h"

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
        if (Le16(extra + pos) != zip::ExtraZip64)
            out.append(reinterpret_cast<const char*>(extra + pos), 4 + size);
        pos += 4 + size;
    }
    return out;
}

namespace {

constexpr std::uint64_t kSaturated = zip::Saturated32;

struct CopyShape {
    bool dropDescriptor = false;
    bool keepDescriptor = false;
    bool headerAsIs = false;
    bool localZip64 = false;  // the local header has a Zip64 field
};

// True when the local header states the member's CRC-32 and sizes, in its
// 32-bit fields or, where those are saturated, in its Zip64 field.
bool LocalStatesSizes(const ZipEntry& entry, const std::uint8_t* local)
{
    zip::Zip64Values values;
    values.Compressed = Le32(local + 18);
    values.Uncompressed = Le32(local + 22);
    const std::uint8_t* field = nullptr;
    std::size_t size = 0;
    const std::uint8_t* extra = local + zip::LocalHeaderSize + Le16(local + zip::LocalNameLengthAt);
    if (zip::NeedsZip64Field(values, true) &&
        (!zip::FindExtraField(extra, Le16(local + zip::LocalExtraLengthAt), zip::ExtraZip64, &field, &size) ||
         !zip::ApplyZip64Field(field, size, values, true)))
        return false;
    return Le32(local + 14) == entry.crc && values.Compressed == entry.compressedSize &&
           values.Uncompressed == entry.uncompressedSize;
}

CopyShape ShapeOf(const ExistingArchive& archive, std::size_t index)
{
    const ZipEntry& entry = archive.Entries()[index];
    const MemberSpan& span = archive.Span(index);
    const std::uint8_t* local = archive.Bytes() + span.localHeader;
    CopyShape shape;
    std::uint16_t localFlags = Le16(local + 6);
    bool descriptor = ((localFlags | entry.flags) & zip::FlagDataDescriptor) != 0;
    bool traditional = entry.IsEncrypted() && !entry.aes.present;
    shape.keepDescriptor = descriptor && traditional;
    shape.dropDescriptor = descriptor && !traditional;
    const std::uint8_t* field = nullptr;
    std::size_t size = 0;
    shape.localZip64 = zip::FindExtraField(local + zip::LocalHeaderSize + Le16(local + zip::LocalNameLengthAt),
                                           Le16(local + zip::LocalExtraLengthAt), zip::ExtraZip64, &field, &size);
    shape.headerAsIs = !shape.dropDescriptor && LocalStatesSizes(entry, local);
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
    // The old header with its new offset; a Zip64 field holds exactly the
    // values of 4 GiB or more, whatever the old one held.
    const ZipEntry& entry = archive.Entries()[index];
    const std::uint8_t* c = archive.Span(index).central;
    const std::size_t nameLen = Le16(c + 28), extraLen = Le16(c + 30), commentLen = Le16(c + 32);
    std::vector<std::uint64_t> values;
    if (entry.uncompressedSize >= kSaturated)
        values.push_back(entry.uncompressedSize);
    if (entry.compressedSize >= kSaturated)
        values.push_back(entry.compressedSize);
    if (offset >= kSaturated)
        values.push_back(offset);
    std::string extra = WithoutZip64(c + zip::CentralHeaderSize + nameLen, extraLen);
    if (!values.empty())
        extra = Zip64Extra(values) + extra;

    std::string central(reinterpret_cast<const char*>(c), zip::CentralHeaderSize + nameLen);
    central += extra;
    central.append(reinterpret_cast<const char*>(c + zip::CentralHeaderSize + nameLen + extraLen), commentLen);
    SetLe16(central, 30, std::uint32_t(extra.size()));
    SetLe32(central, 20, entry.compressedSize >= kSaturated ? std::uint32_t(kSaturated) : std::uint32_t(entry.compressedSize));
    SetLe32(central, 24,
            entry.uncompressedSize >= kSaturated ? std::uint32_t(kSaturated) : std::uint32_t(entry.uncompressedSize));
    SetLe16(central, 34, 0);  // disk: split archives are refused
    SetLe32(central, 42, offset >= kSaturated ? std::uint32_t(kSaturated) : std::uint32_t(offset));
    if (!values.empty() && Le16(c + 6) < kNeedZip64)
        SetLe16(central, 6, kNeedZip64);
    if (ShapeOf(archive, index).dropDescriptor)
        SetLe16(central, 8, entry.flags & ~zip::FlagDataDescriptor);
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
    if (shape.headerAsIs) {
        header.assign(reinterpret_cast<const char*>(local), span.localHeaderSize);
    } else {
        // Rewritten from the central directory so that it can be read on
        // its own. Sizes of 4 GiB or more go into a Zip64 field (both, as a
        // local header holds them); a kept descriptor keeps the form its
        // header announced.
        std::size_t nameLen = Le16(local + zip::LocalNameLengthAt), extraLen = Le16(local + zip::LocalExtraLengthAt);
        const bool zip64 = entry.compressedSize >= kSaturated || entry.uncompressedSize >= kSaturated ||
                           (shape.keepDescriptor && shape.localZip64);
        std::string extra = WithoutZip64(local + zip::LocalHeaderSize + nameLen, extraLen);
        if (zip64)
            extra = Zip64Extra({entry.uncompressedSize, entry.compressedSize}) + extra;
        header.assign(reinterpret_cast<const char*>(local), zip::LocalHeaderSize + nameLen);
        header += extra;
        SetLe16(header, zip::LocalExtraLengthAt, std::uint32_t(extra.size()));
        if (shape.dropDescriptor)
            SetLe16(header, 6, Le16(local + 6) & ~zip::FlagDataDescriptor);
        if (zip64 && Le16(local + 4) < kNeedZip64)
            SetLe16(header, 4, kNeedZip64);
        SetLe32(header, 14, entry.crc);
        SetLe32(header, 18, zip64 ? std::uint32_t(kSaturated) : std::uint32_t(entry.compressedSize));
        SetLe32(header, 22, zip64 ? std::uint32_t(kSaturated) : std::uint32_t(entry.uncompressedSize));
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
