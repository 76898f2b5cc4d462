// What an archive's central directory says about each member, for the
// listing's members whose local header does not tell it all: the CRC and
// sizes of a member whose local header leaves them to a data descriptor
// after the data (general flag bit 3: archives written to a pipe or another
// stream that cannot seek back), and the whole name of a member whose name
// is longer than the listing keeps. The directory stands where the
// end of the archive says (zipformat/EndOfArchive.h); each record is keyed
// by the file position of its member's local header, so archives behind a
// self-extractor's stub are read the same way.
//
// Reads only; never throws. A file without a readable directory gives an
// empty one, and the listing then walks such members as it always has; so
// does a record that claims more packed data than the file holds from its
// member's local header on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileStream.h"
#include "zipformat/EndOfArchive.h"

namespace engine {

namespace zip = fernpack::zip;

struct CentralRecord {
    std::int64_t HeaderOffset = 0;  // file position of the member's local header
    std::uint32_t Crc32 = 0;
    // The record's 32-bit fields as they stand (saturated for Zip64).
    std::uint32_t CompressedSize32 = 0;
    std::uint32_t UncompressedSize32 = 0;
    // The true sizes: the Zip64 extra field's where the 32-bit ones are saturated.
    std::uint64_t CompressedSize = 0;
    std::uint64_t UncompressedSize = 0;
    // The member's name, kept only when it is longer than the listing keeps
    // of a local header's (ZipDirEntry::NameKept); empty otherwise.
    std::string LongName;
};

class CentralDirectory {
public:
    // Reads the directory of `file`, whose end is `end`; what cannot be read
    // is left out.
    void Read(const platform::FileStream& file, const zip::EndOfArchive& end);
    // The record of the member whose local header starts at `headerOffset`.
    const CentralRecord* Find(std::int64_t headerOffset) const;

private:
    std::vector<CentralRecord> records_;  // sorted by HeaderOffset
};

// Length of the data descriptor at `bytes` (`available` of them) that
// matches `record`: 12 or 16 bytes (with the optional signature) with 32-bit
// sizes, 20 or 24 with Zip64's 64-bit sizes; the Zip64 form is tried first
// when the local header carries a Zip64 extra field. 0 when none matches.
std::size_t DescriptorLength(const std::uint8_t* bytes, std::size_t available, const CentralRecord& record,
                             bool zip64First);

// True when a local header's extra field holds a Zip64 field.
bool HasZip64Field(const std::uint8_t* extra, std::size_t length);

}  // namespace engine
