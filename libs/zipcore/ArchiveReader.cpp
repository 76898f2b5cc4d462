#include "ArchiveReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "zipformat/Zip64Field.h"

namespace zipcore {

bool ArchiveReader::Open(const std::uint8_t* bytes, std::size_t size, std::string* error)
{
    bytes_ = bytes;
    size_ = size;
    entries_.clear();
    const zip::EndProblem problem = zip::FindEndOfArchive(zip::MemorySource(bytes, size), &end_);
    if (problem != zip::EndProblem::None) {
        *error = zip::EndProblemText(problem);
        return false;
    }
    if (end_.Empty)
        return true;
    if (!ReadCentralDirectory(end_.DirectoryAt, end_.DirectorySize(), end_.Entries, error))
        return false;
    MarkOverlaps();
    return true;
}

void ArchiveReader::MarkOverlaps()
{
    // Each entry's span runs from its local header to the end of its data;
    // sorted by start, a span that begins before the furthest end so far
    // overlaps an earlier one. Spans that reach outside the file (a
    // packed size more than the file holds), and those of entries whose
    // Zip64 field leaves their size unknown, are left to LocateData, which
    // refuses them: a lying entry must not taint the members it claims.
    struct Span {
        std::uint64_t begin, end;
        std::size_t index;
    };
    std::vector<Span> spans;
    spans.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const ZipEntry& entry = entries_[i];
        if (entry.zip64Damaged || entry.localOffset > size_ || end_.ArchiveStart > size_ - entry.localOffset ||
            size_ - end_.ArchiveStart - entry.localOffset < zip::LocalHeaderSize)
            continue;
        const std::uint64_t begin = end_.ArchiveStart + entry.localOffset;
        if (passed_)
            passed_(passedContext_, bytes_ + begin);
        const std::uint64_t data = begin + zip::LocalHeaderSize + Le16(bytes_ + begin + zip::LocalNameLengthAt) +
                                   Le16(bytes_ + begin + zip::LocalExtraLengthAt);
        if (data > size_ || entry.compressedSize > size_ - data)
            continue;
        spans.push_back({begin, data + entry.compressedSize, i});
    }
    // The C library's sort: the stub carries this code too, and must stay small.
    std::qsort(spans.data(), spans.size(), sizeof(Span), [](const void* a, const void* b) {
        const std::uint64_t x = static_cast<const Span*>(a)->begin, y = static_cast<const Span*>(b)->begin;
        return x < y ? -1 : x > y ? 1 : 0;
    });
    std::uint64_t furthest = 0;
    std::size_t furthestIndex = 0;
    for (std::size_t k = 0; k < spans.size(); ++k) {
        if (k > 0 && spans[k].begin < furthest) {
            entries_[spans[k].index].overlapsAnother = true;
            entries_[furthestIndex].overlapsAnother = true;
        }
        if (k == 0 || spans[k].end > furthest) {
            furthest = spans[k].end;
            furthestIndex = spans[k].index;
        }
    }
}

bool ArchiveReader::ReadCentralDirectory(std::uint64_t cdPos, std::uint64_t cdSize, std::uint64_t count,
                                         std::string* error)
{
    if (count > cdSize / zip::CentralHeaderSize) {
        *error = "damaged archive: more entries than the central directory can hold";
        return false;
    }
    entries_.reserve(std::size_t(count));
    std::uint64_t pos = cdPos;
    const std::uint64_t end = cdPos + cdSize;
    // Headers are read to the directory's end as its offset and size give
    // it, not merely as many as the end record counts: without Zip64
    // records that count wraps at 65,536 while the members go on. Bytes
    // after the counted headers that are no header end the directory, as
    // they always did.
    for (std::uint64_t i = 0; pos < end; ++i) {
        const bool whole = end - pos >= zip::CentralHeaderSize && Le32(bytes_ + pos) == zip::CentralHeaderSignature &&
                           end - pos - zip::CentralHeaderSize >=
                               std::uint64_t(Le16(bytes_ + pos + 28)) + Le16(bytes_ + pos + 30) + Le16(bytes_ + pos + 32);
        if (!whole && i >= count)
            break;
        if (end - pos < zip::CentralHeaderSize || Le32(bytes_ + pos) != zip::CentralHeaderSignature) {
            *error = "damaged archive: bad central directory header for entry " + std::to_string(i + 1);
            return false;
        }
        const std::uint8_t* h = bytes_ + pos;
        std::size_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
        if (end - pos - zip::CentralHeaderSize < std::uint64_t(nameLen) + extraLen + commentLen) {
            *error = "damaged archive: central directory header " + std::to_string(i + 1) + " cut short";
            return false;
        }
        ZipEntry entry;
        entry.versionMadeBy = Le16(h + 4);
        entry.flags = Le16(h + 8);
        entry.method = Le16(h + 10);
        entry.dosTime = Le16(h + 12);
        entry.dosDate = Le16(h + 14);
        entry.crc = Le32(h + 16);
        entry.compressedSize = Le32(h + 20);
        entry.uncompressedSize = Le32(h + 24);
        entry.diskStart = Le16(h + 34);
        entry.externalAttributes = Le32(h + 38);
        entry.localOffset = Le32(h + 42);
        entry.name.assign(reinterpret_cast<const char*>(h + zip::CentralHeaderSize), nameLen);
        if (!ParseExtra(entry, h + zip::CentralHeaderSize + nameLen, extraLen, error))
            return false;
        entries_.push_back(std::move(entry));
        pos += zip::CentralHeaderSize + nameLen + extraLen + commentLen;
    }
    return true;
}

bool ArchiveReader::ParseExtra(ZipEntry& entry, const std::uint8_t* extra, std::size_t len, std::string*)
{
    std::size_t pos = 0;
    while (len - pos >= 4) {
        std::uint16_t id = Le16(extra + pos);
        std::size_t size = Le16(extra + pos + 2);
        const std::uint8_t* data = extra + pos + 4;
        if (size > len - pos - 4)
            break;  // a cut-short field ends the extra data; ignore the rest
        if (id == zip::ExtraZip64) {
            zip::Zip64Values values;
            values.Uncompressed = entry.uncompressedSize;
            values.Compressed = entry.compressedSize;
            values.Offset = entry.localOffset;
            values.Disk = entry.diskStart;
            entry.zip64Damaged = !zip::ApplyZip64Field(data, size, values, false);
            entry.uncompressedSize = values.Uncompressed;
            entry.compressedSize = values.Compressed;
            entry.localOffset = values.Offset;
            entry.diskStart = values.Disk;
        } else if (id == zip::ExtraUnixTime && size >= 5 && (data[0] & 1)) {
            entry.hasUnixTime = true;
            entry.unixTime = std::int32_t(Le32(data + 1));
        } else if (id == zip::ExtraAes && size >= 7) {
            entry.aes.present = true;
            entry.aes.vendorVersion = Le16(data);
            entry.aes.strength = data[4];
            entry.aes.actualMethod = Le16(data + 5);
        }
        pos += 4 + size;
    }
    return true;
}

bool ArchiveReader::LocateData(const ZipEntry& entry, EntryData* out, std::string* error) const
{
    if (entry.zip64Damaged) {
        *error = kZip64DamagedText;
        return false;
    }
    std::uint64_t header = end_.ArchiveStart + entry.localOffset;
    if (entry.localOffset > size_ || header > size_ || size_ - header < zip::LocalHeaderSize ||
        Le32(bytes_ + header) != zip::LocalHeaderSignatureAtRunTime()) {
        *error = "local header missing or damaged";
        return false;
    }
    std::uint64_t data = header + zip::LocalHeaderSize + Le16(bytes_ + header + zip::LocalNameLengthAt) +
                         Le16(bytes_ + header + zip::LocalExtraLengthAt);
    if (data > size_ || size_ - data < entry.compressedSize) {
        *error = "data cut short (archive truncated?)";
        return false;
    }
    out->data = bytes_ + data;
    out->size = entry.compressedSize;
    return true;
}

}  // namespace zipcore

namespace zipcore {

bool ArchiveReader::CheckLocalName(const ZipEntry& entry, std::string* error) const
{
    if (entry.localOffset > size_ || end_.ArchiveStart > size_ - entry.localOffset ||
        size_ - end_.ArchiveStart - entry.localOffset < zip::LocalHeaderSize)
        return true;
    const std::uint8_t* header = bytes_ + end_.ArchiveStart + entry.localOffset;
    const std::size_t length = Le16(header + zip::LocalNameLengthAt);
    const std::size_t room = size_ - end_.ArchiveStart - entry.localOffset - zip::LocalHeaderSize;
    if (length != entry.name.size() || length > room ||
        std::memcmp(header + zip::LocalHeaderSize, entry.name.data(), length) != 0) {
        *error = "local and central names differ";
        return false;
    }
    return true;
}

}  // namespace zipcore
