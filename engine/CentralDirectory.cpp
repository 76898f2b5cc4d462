#include "engine/CentralDirectory.h"

#include <algorithm>

#include "abi/LittleEndian.h"
#include "abi/Zip64Field.h"
#include "abi/ZipRecords.h"
#include "engine/BufferedReader.h"

namespace engine {

namespace {

using fernpack::Le16;
using fernpack::Le32;
using fernpack::Le64;
namespace zip = fernpack::zip;

// The end record nearest the file's end whose comment reaches exactly to
// the end wins; failing that, the nearest whose comment at least fits (the
// libraries choose the same way). Position within `tail`, or -1.
std::int64_t FindEndRecord(const std::vector<std::uint8_t>& tail)
{
    if (tail.size() < zip::EndRecordSize)
        return -1;
    std::int64_t loose = -1;
    for (std::size_t pos = tail.size() - zip::EndRecordSize + 1; pos-- > 0;) {
        if (tail[pos] != 'P' || Le32(&tail[pos]) != zip::EndRecordSignature)
            continue;
        const std::size_t end = pos + zip::EndRecordSize + Le16(&tail[pos + 20]);
        if (end == tail.size())
            return static_cast<std::int64_t>(pos);
        if (loose < 0 && end <= tail.size())
            loose = static_cast<std::int64_t>(pos);
    }
    return loose;
}

bool ReadExactly(const platform::FileStream& file, std::int64_t at, void* out, std::int64_t count)
{
    return at >= 0 && file.ReadAt(at, out, count) == count;
}

}  // namespace

bool CentralDirectory::Read(const platform::FileStream& file)
{
    records_.clear();
    const std::int64_t size = file.Size();
    if (size < static_cast<std::int64_t>(zip::EndRecordSize))
        return false;
    const std::int64_t tailLength =
        std::min<std::int64_t>(size, static_cast<std::int64_t>(zip::EndRecordSize + zip::MaxCommentSize));
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(tailLength));
    if (!ReadExactly(file, size - tailLength, tail.data(), tailLength))
        return false;
    const std::int64_t found = FindEndRecord(tail);
    if (found < 0)
        return false;
    const std::int64_t endRecord = size - tailLength + found;
    const std::uint8_t* e = &tail[static_cast<std::size_t>(found)];
    std::uint64_t directorySize = Le32(e + 12);
    std::uint64_t directoryOffset = Le32(e + 16);
    std::int64_t recordEnd = endRecord;  // where the directory ends

    const std::int64_t locatorAt = endRecord - static_cast<std::int64_t>(zip::Zip64LocatorSize);
    std::uint8_t locator[zip::Zip64LocatorSize];
    if (locatorAt >= static_cast<std::int64_t>(zip::Zip64EndRecordSize) &&
        ReadExactly(file, locatorAt, locator, sizeof locator) && Le32(locator) == zip::Zip64LocatorSignature) {
        // The Zip64 end record normally stands right before its locator; its
        // stated position counts from the archive's start, which a stub moves.
        std::uint8_t record[zip::Zip64EndRecordSize];
        std::int64_t at = locatorAt - static_cast<std::int64_t>(zip::Zip64EndRecordSize);
        if (!ReadExactly(file, at, record, sizeof record) || Le32(record) != zip::Zip64EndRecordSignature) {
            const std::uint64_t stated = Le64(locator + 8);
            if (stated > static_cast<std::uint64_t>(locatorAt - static_cast<std::int64_t>(zip::Zip64EndRecordSize)))
                return false;
            at = static_cast<std::int64_t>(stated);
            if (!ReadExactly(file, at, record, sizeof record) || Le32(record) != zip::Zip64EndRecordSignature)
                return false;
        }
        directorySize = Le64(record + 40);
        directoryOffset = Le64(record + 48);
        recordEnd = at;
    }
    if (directorySize > static_cast<std::uint64_t>(recordEnd))
        return false;
    const std::int64_t directoryPos = recordEnd - static_cast<std::int64_t>(directorySize);
    if (directoryOffset > static_cast<std::uint64_t>(directoryPos))
        return false;
    // Where offset 0 of the archive lies in the file: behind a stub, unless
    // the offsets were rewritten to count from the file's start.
    const std::int64_t start = directoryPos - static_cast<std::int64_t>(directoryOffset);

    BufferedReader in(file);
    in.SeekBy(directoryPos);
    std::vector<std::uint8_t> extra;
    while (in.Position() <= recordEnd - static_cast<std::int64_t>(zip::CentralHeaderSize)) {
        std::uint8_t h[zip::CentralHeaderSize];
        if (in.Read(h, sizeof h) != static_cast<std::int64_t>(sizeof h) || Le32(h) != zip::CentralHeaderSignature)
            break;
        const std::uint16_t nameLength = Le16(h + 28);
        const std::uint16_t extraLength = Le16(h + 30);
        const std::uint16_t commentLength = Le16(h + 32);
        CentralRecord r;
        r.Crc32 = Le32(h + 16);
        r.CompressedSize32 = Le32(h + 20);
        r.UncompressedSize32 = Le32(h + 24);
        zip::Zip64Values values;
        values.Compressed = r.CompressedSize32;
        values.Uncompressed = r.UncompressedSize32;
        values.Offset = Le32(h + 42);
        in.SeekBy(nameLength);
        extra.resize(extraLength);
        if (in.Read(extra.data(), extraLength) != extraLength)
            break;
        in.SeekBy(commentLength);
        if (in.Position() > recordEnd)
            break;  // cut short by the directory's end
        const std::uint8_t* field = nullptr;
        std::size_t fieldSize = 0;
        if (zip::NeedsZip64Field(values, false) &&
            zip::FindExtraField(extra.data(), extra.size(), zip::ExtraZip64, &field, &fieldSize))
            zip::ApplyZip64Field(field, fieldSize, values, false);
        r.CompressedSize = values.Compressed;
        r.UncompressedSize = values.Uncompressed;
        if (values.Offset > static_cast<std::uint64_t>(size))
            continue;  // no local header can stand there
        r.HeaderOffset = start + static_cast<std::int64_t>(values.Offset);
        records_.push_back(r);
    }
    // Writers emit the directory in file order; sorting only costs when
    // they did not. The first of several records for one header counts.
    std::stable_sort(records_.begin(), records_.end(),
                     [](const CentralRecord& a, const CentralRecord& b) { return a.HeaderOffset < b.HeaderOffset; });
    return true;
}

const CentralRecord* CentralDirectory::Find(std::int64_t headerOffset) const
{
    auto it = std::lower_bound(records_.begin(), records_.end(), headerOffset,
                               [](const CentralRecord& r, std::int64_t offset) { return r.HeaderOffset < offset; });
    return it != records_.end() && it->HeaderOffset == headerOffset ? &*it : nullptr;
}

std::size_t DescriptorLength(const std::uint8_t* bytes, std::size_t available, const CentralRecord& record,
                             bool zip64First)
{
    for (const std::size_t skip : {std::size_t{4}, std::size_t{0}}) {
        // With its signature the CRC follows it; without, the CRC comes first.
        if (skip == 4 && (available < 8 || Le32(bytes) != zip::DescriptorSignature))
            continue;
        const std::uint8_t* d = bytes + skip;
        if (available < skip + 12 || Le32(d) != record.Crc32)
            continue;
        for (const bool wide : {zip64First, !zip64First}) {
            if (wide && available >= skip + 20 && Le64(d + 4) == record.CompressedSize &&
                Le64(d + 12) == record.UncompressedSize)
                return skip + 20;
            if (!wide && Le32(d + 4) == record.CompressedSize && Le32(d + 8) == record.UncompressedSize)
                return skip + 12;
        }
    }
    return 0;
}

bool HasZip64Field(const std::uint8_t* extra, std::size_t length)
{
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    return zip::FindExtraField(extra, length, zip::ExtraZip64, &data, &size);
}

}  // namespace engine
