// The end of a ZIP archive, the one rule for everything that reads one (the
// engine's listing, UNZDLL.DLL, ZIPDLL.DLL, the stub): which end record
// closes the archive, what the Zip64 end record it points at says, where
// the central directory stands, where the archive starts inside the file
// (behind a self-extractor's stub), and whether it holds members at all.
//
// The end record is the one nearest the file's end whose comment reaches
// exactly to the last byte; failing that, the one nearest the end whose
// comment at least fits in the file (bytes appended after an archive, such
// as padding, leave it readable). A Zip64 locator right in front of the end
// record points at the Zip64 end record, which normally stands right in
// front of the locator; its stated position counts from the archive's
// start, which a stub moves, and is tried only when it is not there.
//
// An archive without members is an end record that counts none with no
// central header where the directory would stand (a count of 0 with
// headers there is a count that wrapped at 65,536). It starts at that end
// record, whatever directory offset it states (a self-extractor's empty
// record states a fixed one). Anything in front of it may be a stub, but
// no member's local header: member data in front of an empty directory is
// a damaged archive, never an empty one.
//
// Bytes are read through a read-at callback, so a file, a mapping and the
// stub read the same way. Errors are values; nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zipformat/ZipRecords.h"

namespace fernpack::zip {

struct ByteSource {
    std::uint64_t Size = 0;
    // Reads exactly `count` bytes at `offset` (within Size); false when it
    // cannot.
    bool (*ReadAt)(const void* context, std::uint64_t offset, void* out, std::size_t count) = nullptr;
    const void* Context = nullptr;

    // False also for a range outside Size.
    bool Read(std::uint64_t offset, void* out, std::size_t count) const;
};

// Bytes in memory (a mapping, a buffer); they must outlive the source.
ByteSource MemorySource(const std::uint8_t* bytes, std::size_t size);

struct EndOfArchive {
    std::uint64_t EndRecord = 0;      // file position of the end record
    std::uint16_t CommentSize = 0;    // the comment follows the record
    bool Zip64 = false;               // the values below come from a Zip64 end record
    std::uint64_t Entries = 0;        // as the record counts them (may have wrapped)
    std::uint64_t DirectoryOffset = 0;  // as stated, from the archive's start
    std::uint64_t DirectoryAt = 0;    // file position of the central directory
    std::uint64_t DirectoryEnd = 0;   // where it ends: the Zip64 end record, else the end record
    std::uint64_t ArchiveStart = 0;   // file position that offset 0 stands for
    bool Empty = false;               // no members (see above)

    std::uint64_t CommentAt() const { return EndRecord + EndRecordSize; }
    std::uint64_t DirectorySize() const { return DirectoryEnd - DirectoryAt; }
};

enum class EndProblem : std::uint8_t {
    None,
    NoEndRecord,
    Unreadable,
    DamagedZip64,
    Split,
    DirectoryTooLarge,
    DirectoryOffsetBeyond,
    MemberDataBeforeEmptyEnd,
};

// Finds the end of the archive in `file`; on None, `*end` describes it.
EndProblem FindEndOfArchive(const ByteSource& file, EndOfArchive* end);

// The problem in words ("not a zip archive (no end of central directory
// record)", ...); empty for None.
const char* EndProblemText(EndProblem problem);

}  // namespace fernpack::zip
