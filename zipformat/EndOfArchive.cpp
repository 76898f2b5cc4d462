#include "zipformat/EndOfArchive.h"

#include <cstring>
#include <vector>

#include "zipformat/LittleEndian.h"
#include "zipformat/ZipRecords.h"

namespace fernpack::zip {

namespace {

bool ReadMemory(const void* context, std::uint64_t offset, void* out, std::size_t count)
{
    std::memcpy(out, static_cast<const std::uint8_t*>(context) + offset, count);
    return true;
}

// Position in `tail` of the end record that closes it, or -1 (the rule in
// the header).
std::int64_t ChooseEndRecord(const std::uint8_t* tail, std::size_t size)
{
    std::int64_t loose = -1;
    for (std::size_t pos = size - EndRecordSize + 1; pos-- > 0;) {
        if (tail[pos] != 'P' || Le32(tail + pos) != EndRecordSignature)
            continue;
        const std::size_t end = pos + EndRecordSize + Le16(tail + pos + 20);
        if (end == size)
            return static_cast<std::int64_t>(pos);
        if (loose < 0 && end <= size)
            loose = static_cast<std::int64_t>(pos);
    }
    return loose;
}

// Whether a local header signature stands anywhere in the first `length`
// bytes of `file`, read in pieces through `buffer` (at least 4 bytes), so
// any length costs bounded memory.
bool HoldsLocalHeader(const ByteSource& file, std::uint64_t length, std::vector<std::uint8_t>& buffer, bool* found)
{
    const std::size_t piece = buffer.size() - 3;
    const std::uint32_t signature = LocalHeaderSignatureAtRunTime();
    std::size_t carried = 0;  // the last 3 bytes of the piece before
    *found = false;
    for (std::uint64_t at = 0; at < length;) {
        const std::size_t count = static_cast<std::size_t>(length - at < piece ? length - at : piece);
        if (!file.Read(at, buffer.data() + carried, count))
            return false;
        const std::size_t have = carried + count;
        for (std::size_t i = 0; i + 4 <= have; ++i)
            if (buffer[i] == 'P' && Le32(&buffer[i]) == signature)
                return *found = true;
        carried = have < 3 ? have : 3;
        std::memmove(buffer.data(), buffer.data() + have - carried, carried);
        at += count;
    }
    return true;
}

}  // namespace

bool ByteSource::Read(std::uint64_t offset, void* out, std::size_t count) const
{
    return offset <= Size && count <= Size - offset && ReadAt(Context, offset, out, count);
}

ByteSource MemorySource(const std::uint8_t* bytes, std::size_t size)
{
    ByteSource source;
    source.Size = size;
    source.ReadAt = ReadMemory;
    source.Context = bytes;
    return source;
}

EndProblem FindEndOfArchive(const ByteSource& file, EndOfArchive* out)
{
    *out = EndOfArchive{};
    if (file.Size < EndRecordSize)
        return EndProblem::NoEndRecord;
    const std::uint64_t longest = EndRecordSize + MaxCommentSize;
    const std::size_t tailSize = static_cast<std::size_t>(file.Size < longest ? file.Size : longest);
    const std::uint64_t tailAt = file.Size - tailSize;
    std::vector<std::uint8_t> tail(tailSize);
    if (!file.Read(tailAt, tail.data(), tailSize))
        return EndProblem::Unreadable;
    const std::int64_t found = ChooseEndRecord(tail.data(), tailSize);
    if (found < 0)
        return EndProblem::NoEndRecord;

    const std::uint8_t* e = tail.data() + found;
    out->EndRecord = tailAt + static_cast<std::uint64_t>(found);
    out->CommentSize = Le16(e + 20);
    std::uint32_t disk = Le16(e + 4);
    std::uint32_t directoryDisk = Le16(e + 6);
    std::uint64_t onDisk = Le16(e + 8);
    std::uint64_t entries = Le16(e + 10);
    std::uint64_t directorySize = Le32(e + 12);
    std::uint64_t directoryOffset = Le32(e + 16);
    std::uint64_t recordEnd = out->EndRecord;

    if (out->EndRecord >= Zip64LocatorSize + Zip64EndRecordSize) {
        const std::uint64_t locatorAt = out->EndRecord - Zip64LocatorSize;
        std::uint8_t locator[Zip64LocatorSize];
        if (!file.Read(locatorAt, locator, sizeof locator))
            return EndProblem::Unreadable;
        if (Le32(locator) == Zip64LocatorSignature) {
            std::uint8_t z[Zip64EndRecordSize];
            std::uint64_t at = locatorAt - Zip64EndRecordSize;
            if (!file.Read(at, z, sizeof z) || Le32(z) != Zip64EndRecordSignature) {
                at = Le64(locator + 8);
                if (at > locatorAt - Zip64EndRecordSize || !file.Read(at, z, sizeof z) ||
                    Le32(z) != Zip64EndRecordSignature)
                    return EndProblem::DamagedZip64;
            }
            out->Zip64 = true;
            disk = Le32(z + 16);
            directoryDisk = Le32(z + 20);
            onDisk = Le64(z + 24);
            entries = Le64(z + 32);
            directorySize = Le64(z + 40);
            directoryOffset = Le64(z + 48);
            recordEnd = at;
        }
    }
    if (disk != 0 || directoryDisk != 0 || onDisk != entries)
        return EndProblem::Split;
    out->Entries = entries;
    out->DirectoryOffset = directoryOffset;
    out->DirectoryEnd = recordEnd;

    std::uint8_t signature[4];
    const bool headersBehind = directorySize >= CentralHeaderSize && directorySize <= recordEnd &&
                               directoryOffset <= recordEnd - directorySize &&
                               file.Read(recordEnd - directorySize, signature, sizeof signature) &&
                               Le32(signature) == CentralHeaderSignature;
    if (entries == 0 && !headersBehind) {
        out->Empty = true;
        out->DirectoryAt = out->ArchiveStart = recordEnd;
        bool memberData = false;
        if (!HoldsLocalHeader(file, recordEnd, tail, &memberData))
            return EndProblem::Unreadable;
        return memberData ? EndProblem::MemberDataBeforeEmptyEnd : EndProblem::None;
    }
    if (directorySize > recordEnd)
        return EndProblem::DirectoryTooLarge;
    out->DirectoryAt = recordEnd - directorySize;
    if (directoryOffset > out->DirectoryAt)
        return EndProblem::DirectoryOffsetBeyond;
    out->ArchiveStart = out->DirectoryAt - directoryOffset;
    return EndProblem::None;
}

const char* EndProblemText(EndProblem problem)
{
    switch (problem) {
    case EndProblem::None: return "";
    case EndProblem::NoEndRecord: return "not a zip archive (no end of central directory record)";
    case EndProblem::Unreadable: return "read error";
    case EndProblem::DamagedZip64: return "damaged Zip64 end of central directory record";
    case EndProblem::Split: return "split (multi-volume) archives are not supported";
    case EndProblem::DirectoryTooLarge: return "damaged archive: central directory larger than the file";
    case EndProblem::DirectoryOffsetBeyond: return "damaged archive: central directory offset beyond its position";
    case EndProblem::MemberDataBeforeEmptyEnd: return "damaged archive: member data before an empty directory";
    }
    return "";
}

}  // namespace fernpack::zip
