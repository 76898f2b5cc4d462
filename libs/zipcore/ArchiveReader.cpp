#include "ArchiveReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ZipFormat.h"
#include "abi/Zip64Field.h"

namespace zipcore {

namespace {

// The end record nearest the file's end whose comment fits exactly wins;
// failing that, the nearest one whose comment at least fits in the file.
std::int64_t FindEndRecord(const std::uint8_t* bytes, std::size_t size)
{
    if (size < kEndRecordSize)
        return -1;
    std::size_t lowest = size > kEndRecordSize + kMaxCommentSize ? size - kEndRecordSize - kMaxCommentSize : 0;
    std::int64_t loose = -1;
    for (std::size_t pos = size - kEndRecordSize + 1; pos-- > lowest;) {
        if (bytes[pos] != 'P' || Le32(bytes + pos) != kEndRecordSig)
            continue;
        std::size_t comment = Le16(bytes + pos + 20);
        if (pos + kEndRecordSize + comment == size)
            return std::int64_t(pos);
        if (loose < 0 && pos + kEndRecordSize + comment <= size)
            loose = std::int64_t(pos);
    }
    return loose;
}

}  // namespace

bool ArchiveReader::Open(const std::uint8_t* bytes, std::size_t size, std::string* error)
{
    bytes_ = bytes;
    size_ = size;
    entries_.clear();
    start_ = 0;
    zip64_ = false;

    std::int64_t eocd = FindEndRecord(bytes, size);
    if (eocd < 0) {
        *error = "not a zip archive (no end of central directory record)";
        return false;
    }
    const std::uint8_t* e = bytes + eocd;
    std::uint32_t disk = Le16(e + 4);
    std::uint32_t cdDisk = Le16(e + 6);
    std::uint64_t onDisk = Le16(e + 8);
    std::uint64_t count = Le16(e + 10);
    std::uint64_t cdSize = Le32(e + 12);
    std::uint64_t cdOffset = Le32(e + 16);
    std::uint64_t recordEnd = std::uint64_t(eocd);  // where the directory ends

    // A Zip64 locator right in front of the end record points at the Zip64
    // end record, which carries the full counts, sizes and offsets.
    if (std::uint64_t(eocd) >= kZip64LocatorSize + kZip64EndRecordSize &&
        Le32(bytes + eocd - kZip64LocatorSize) == kZip64LocatorSig) {
        const std::uint8_t* loc = bytes + eocd - kZip64LocatorSize;
        std::uint64_t statedPos = Le64(loc + 8);
        // The record normally stands just before the locator; its stated
        // position counts from the archive's start, which may be further in.
        std::uint64_t realPos = std::uint64_t(eocd) - kZip64LocatorSize - kZip64EndRecordSize;
        if (Le32(bytes + realPos) != kZip64EndRecordSig) {
            if (statedPos <= std::uint64_t(eocd) - kZip64EndRecordSize &&
                Le32(bytes + statedPos) == kZip64EndRecordSig)
                realPos = statedPos;
            else {
                *error = "damaged Zip64 end of central directory record";
                return false;
            }
        }
        const std::uint8_t* z = bytes + realPos;
        zip64_ = true;
        disk = Le32(z + 16);
        cdDisk = Le32(z + 20);
        onDisk = Le64(z + 24);
        count = Le64(z + 32);
        cdSize = Le64(z + 40);
        cdOffset = Le64(z + 48);
        recordEnd = realPos;
    }

    if (disk != 0 || cdDisk != 0 || onDisk != count) {
        *error = "split (multi-volume) archives are not supported";
        return false;
    }
    // A count of 0 with central headers where the directory should stand
    // is a count that wrapped at 65,536.
    const bool headersBehind = cdSize >= kCentralHeaderSize && cdSize <= recordEnd &&
                               cdOffset <= recordEnd - cdSize &&
                               Le32(bytes + recordEnd - cdSize) == kCentralHeaderSig;
    if (count == 0 && !headersBehind) {
        // An empty archive; the directory's stated offset may be anything
        // (a self-extractor's empty record carries a fixed one).
        start_ = 0;
        return true;
    }
    if (cdSize > recordEnd) {
        *error = "damaged archive: central directory larger than the file";
        return false;
    }
    std::uint64_t cdPos = recordEnd - cdSize;
    if (cdOffset > cdPos) {
        *error = "damaged archive: central directory offset beyond its position";
        return false;
    }
    start_ = cdPos - cdOffset;
    if (!ReadCentralDirectory(cdPos, cdSize, count, error))
        return false;
    MarkOverlaps();
    return true;
}

void ArchiveReader::MarkOverlaps()
{
    // Each entry's span runs from its local header to the end of its data;
    // sorted by start, a span that begins before the furthest end so far
    // overlaps an earlier one. Spans outside the file, and those of
    // entries whose Zip64 field leaves their size unknown, are left to
    // LocateData, which refuses them.
    struct Span {
        std::uint64_t begin, end;
        std::size_t index;
    };
    std::vector<Span> spans;
    spans.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const ZipEntry& entry = entries_[i];
        if (entry.zip64Damaged || entry.localOffset > size_ || start_ > size_ - entry.localOffset ||
            size_ - start_ - entry.localOffset < kLocalHeaderSize)
            continue;
        const std::uint64_t begin = start_ + entry.localOffset;
        const std::uint64_t data = begin + kLocalHeaderSize + Le16(bytes_ + begin + 26) + Le16(bytes_ + begin + 28);
        spans.push_back({begin, data + std::min<std::uint64_t>(entry.compressedSize, size_), i});
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
    if (count > cdSize / kCentralHeaderSize) {
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
        const bool whole = end - pos >= kCentralHeaderSize && Le32(bytes_ + pos) == kCentralHeaderSig &&
                           end - pos - kCentralHeaderSize >=
                               std::uint64_t(Le16(bytes_ + pos + 28)) + Le16(bytes_ + pos + 30) + Le16(bytes_ + pos + 32);
        if (!whole && i >= count)
            break;
        if (end - pos < kCentralHeaderSize || Le32(bytes_ + pos) != kCentralHeaderSig) {
            *error = "damaged archive: bad central directory header for entry " + std::to_string(i + 1);
            return false;
        }
        const std::uint8_t* h = bytes_ + pos;
        std::size_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
        if (end - pos - kCentralHeaderSize < std::uint64_t(nameLen) + extraLen + commentLen) {
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
        entry.name.assign(reinterpret_cast<const char*>(h + kCentralHeaderSize), nameLen);
        if (!ParseExtra(entry, h + kCentralHeaderSize + nameLen, extraLen, error))
            return false;
        entries_.push_back(std::move(entry));
        pos += kCentralHeaderSize + nameLen + extraLen + commentLen;
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
        if (id == kExtraZip64) {
            fernpack::zip::Zip64Values values;
            values.Uncompressed = entry.uncompressedSize;
            values.Compressed = entry.compressedSize;
            values.Offset = entry.localOffset;
            values.Disk = entry.diskStart;
            entry.zip64Damaged = !fernpack::zip::ApplyZip64Field(data, size, values, false);
            entry.uncompressedSize = values.Uncompressed;
            entry.compressedSize = values.Compressed;
            entry.localOffset = values.Offset;
            entry.diskStart = values.Disk;
        } else if (id == kExtraUnixTime && size >= 5 && (data[0] & 1)) {
            entry.hasUnixTime = true;
            entry.unixTime = std::int32_t(Le32(data + 1));
        } else if (id == kExtraAes && size >= 7) {
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
    std::uint64_t header = start_ + entry.localOffset;
    if (entry.localOffset > size_ || header > size_ || size_ - header < kLocalHeaderSize ||
        Le32(bytes_ + header) != kLocalHeaderSig) {
        *error = "local header missing or damaged";
        return false;
    }
    std::uint64_t data = header + kLocalHeaderSize + Le16(bytes_ + header + 26) + Le16(bytes_ + header + 28);
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
    if (entry.localOffset > size_ || start_ > size_ - entry.localOffset ||
        size_ - start_ - entry.localOffset < kLocalHeaderSize)
        return true;
    const std::uint8_t* header = bytes_ + start_ + entry.localOffset;
    const std::size_t length = Le16(header + 26);
    const std::size_t room = size_ - start_ - entry.localOffset - kLocalHeaderSize;
    if (length != entry.name.size() || length > room ||
        std::memcmp(header + kLocalHeaderSize, entry.name.data(), length) != 0) {
        *error = "local and central names differ";
        return false;
    }
    return true;
}

}  // namespace zipcore
