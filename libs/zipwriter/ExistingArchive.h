// The members of the archive being changed, as spans of its bytes that can
// be copied into the new archive unchanged: what stands in front of the
// archive (a self-extractor's stub and settings header), each member's local
// header, data and data descriptor, its central directory header, and the
// archive comment. Offsets in the archive count from the archive's own start
// (for a self-extractor, the byte after its header), and the new archive
// keeps them that way. The empty end record of a freshly made
// self-extractor, whose directory offset is a fixed value, is read as an
// empty archive at the record's real position. Refuses split archives and
// archives whose members share their bytes (what a test calls a probable
// zip bomb); sizes and offsets are 64 bits wide (Zip64).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "libs/zipcore/ArchiveReader.h"
#include "libs/zipcore/MappedFile.h"

namespace zipwriter {

struct MemberSpan {
    std::uint64_t localHeader = 0;  // file positions
    std::size_t localHeaderSize = 0;
    std::uint64_t data = 0;
    std::uint64_t dataSize = 0;
    std::size_t descriptorSize = 0;  // 0 when there is none
    const std::uint8_t* central = nullptr;
    std::size_t centralSize = 0;
};

class ExistingArchive {
public:
    // `bytes` may be empty (a new or empty file): an empty archive. With
    // `fileMapped` (the bytes are a read-only mapping of the file, never
    // other memory) the pages read to list the members are dropped as the
    // walk passes them, and all of them at the end.
    bool Open(const std::uint8_t* bytes, std::size_t size, std::string* error, bool fileMapped = false);
    // The members before `index` are done with (copied in archive order):
    // with a mapped file, their pages go every few megabytes.
    void Passed(std::size_t index) const;

    const std::vector<zipcore::ZipEntry>& Entries() const { return reader_.Entries(); }
    const MemberSpan& Span(std::size_t i) const { return spans_[i]; }
    const std::uint8_t* Bytes() const { return bytes_; }
    // Bytes in front of the first member (or of the end record when empty),
    // copied unchanged.
    std::uint64_t PrefixSize() const { return prefix_; }
    // Where offsets count from.
    std::uint64_t ArchiveStart() const { return start_; }
    const std::string& Comment() const { return comment_; }

private:
    bool MapMembers(std::string* error);

    const std::uint8_t* bytes_ = nullptr;
    bool fileMapped_ = false;
    mutable zipcore::PassedPages passed_;  // the copy's walk
    std::size_t size_ = 0;
    zipcore::ArchiveReader reader_;
    std::vector<MemberSpan> spans_;
    std::uint64_t prefix_ = 0;
    std::uint64_t start_ = 0;
    std::string comment_;
};

}  // namespace zipwriter
