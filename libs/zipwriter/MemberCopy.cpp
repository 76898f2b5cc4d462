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

bool CopyMember(const ExistingArchive& archive, std::size_t index, OutputFile& out, std::uint64_t archiveStart,
                std::string* central)
{
    const ZipEntry& entry = archive.Entries()[index];
    const MemberSpan& span = archive.Span(index);
    const std::uint8_t* bytes = archive.Bytes();
    const std::uint8_t* local = bytes + span.localHeader;
    std::uint64_t offset = out.Position() - archiveStart;

    std::uint16_t localFlags = Le16(local + 6);
    bool descriptor = ((localFlags | entry.flags) & kFlagDataDescriptor) != 0;
    bool traditional = entry.IsEncrypted() && !entry.aes.present;
    bool keepDescriptor = descriptor && traditional;
    bool dropDescriptor = descriptor && !traditional;

    std::uint32_t crc = entry.crc;
    std::uint32_t csize = std::uint32_t(entry.compressedSize);
    std::uint32_t usize = std::uint32_t(entry.uncompressedSize);
    bool localAgrees = Le32(local + 14) == crc && Le32(local + 18) == csize && Le32(local + 22) == usize;
    bool localZip64 = Le32(local + 18) == 0xFFFFFFFFu && Le32(local + 22) == 0xFFFFFFFFu;

    std::string header;
    if (dropDescriptor) {
        std::size_t nameLen = Le16(local + 26), extraLen = Le16(local + 28);
        header.assign(reinterpret_cast<const char*>(local), kLocalHeaderSize + nameLen);
        header += WithoutZip64(local + kLocalHeaderSize + nameLen, extraLen);
        SetLe16(header, 6, localFlags & ~kFlagDataDescriptor);
        SetLe16(header, 28, std::uint32_t(header.size() - kLocalHeaderSize - nameLen));
        SetLe32(header, 14, crc);
        SetLe32(header, 18, csize);
        SetLe32(header, 22, usize);
    } else if (localAgrees || (localZip64 && !descriptor)) {
        header.assign(reinterpret_cast<const char*>(local), span.localHeaderSize);
    } else {
        header.assign(reinterpret_cast<const char*>(local), span.localHeaderSize);
        SetLe32(header, 14, crc);
        SetLe32(header, 18, csize);
        SetLe32(header, 22, usize);
    }
    if (!out.Write(header.data(), header.size()) || !out.Write(bytes + span.data, std::size_t(span.dataSize)))
        return false;
    if (keepDescriptor && !out.Write(bytes + span.data + span.dataSize, span.descriptorSize))
        return false;

    const std::uint8_t* c = span.central;
    bool wide = Le32(c + 20) == 0xFFFFFFFFu || Le32(c + 24) == 0xFFFFFFFFu || Le32(c + 42) == 0xFFFFFFFFu ||
                Le16(c + 34) == 0xFFFF;
    if (wide) {
        // Real values fit the 32-bit fields now; the Zip64 field goes.
        std::size_t nameLen = Le16(c + 28), extraLen = Le16(c + 30), commentLen = Le16(c + 32);
        std::string extra = WithoutZip64(c + kCentralHeaderSize + nameLen, extraLen);
        central->assign(reinterpret_cast<const char*>(c), kCentralHeaderSize + nameLen);
        *central += extra;
        central->append(reinterpret_cast<const char*>(c + kCentralHeaderSize + nameLen + extraLen), commentLen);
        SetLe16(*central, 30, std::uint32_t(extra.size()));
        SetLe32(*central, 20, csize);
        SetLe32(*central, 24, usize);
        SetLe16(*central, 34, 0);
    } else {
        central->assign(reinterpret_cast<const char*>(c), span.centralSize);
    }
    SetLe32(*central, 42, std::uint32_t(offset));
    if (dropDescriptor)
        SetLe16(*central, 8, entry.flags & ~kFlagDataDescriptor);
    return true;
}

}  // namespace zipwriter
