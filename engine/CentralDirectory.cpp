#include "engine/CentralDirectory.h"

#include <algorithm>

#include "engine/BufferedReader.h"
#include "engine/ZipDirEntry.h"
#include "zipformat/LittleEndian.h"
#include "zipformat/Zip64Field.h"
#include "zipformat/ZipRecords.h"

namespace engine {

namespace {

using fernpack::Le16;
using fernpack::Le32;
using fernpack::Le64;

}  // namespace

void CentralDirectory::Read(const platform::FileStream& file, const zip::EndOfArchive& end)
{
    records_.clear();
    const std::int64_t size = file.Size();
    const auto recordEnd = static_cast<std::int64_t>(end.DirectoryEnd);
    // Where offset 0 of the archive lies in the file: behind a stub, unless
    // the offsets were rewritten to count from the file's start.
    const auto start = static_cast<std::int64_t>(end.ArchiveStart);

    BufferedReader in(file);
    in.SeekBy(static_cast<std::int64_t>(end.DirectoryAt));
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
        if (nameLength > ZipDirEntry::NameKept) {
            r.LongName.resize(nameLength);
            if (in.Read(r.LongName.data(), nameLength) != nameLength)
                break;
        } else {
            in.SeekBy(nameLength);
        }
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
        // A member's packed data lies between its local header and the end
        // of the file: a record that claims more is damaged, and its sizes
        // must not size anything (a step count, a total).
        if (r.HeaderOffset > size || r.CompressedSize > static_cast<std::uint64_t>(size - r.HeaderOffset))
            continue;
        records_.push_back(r);
    }
    // Writers emit the directory in file order; sorting only costs when
    // they did not. The first of several records for one header counts.
    std::stable_sort(records_.begin(), records_.end(),
                     [](const CentralRecord& a, const CentralRecord& b) { return a.HeaderOffset < b.HeaderOffset; });
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
