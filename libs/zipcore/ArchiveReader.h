// Reads a ZIP archive's directory from bytes in memory: finds the end of the
// archive (zipformat/EndOfArchive.h: the end record, Zip64 or not, and where
// the archive starts inside the file, so archives behind a self-extractor
// stub, whose offsets count from the archive's own start, read the same as
// plain ones), and lists the central directory. Locates each entry's data on demand.
// Never reads outside the given bytes; damaged input is an error text, never
// a crash. Does not decompress or decrypt (see EntryDecoder.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zipformat/EndOfArchive.h"
#include "zipformat/Flags.h"
#include "zipformat/LittleEndian.h"
#include "zipformat/ZipRecords.h"

namespace zipcore {

namespace zip = fernpack::zip;
using fernpack::Le16;
using fernpack::Le32;
using fernpack::Le64;

struct AesInfo {
    bool present = false;
    std::uint16_t vendorVersion = 0;  // 1 (AE-1, CRC kept) or 2 (AE-2, CRC 0)
    std::uint8_t strength = 0;        // 1, 2, 3 for 128, 192, 256 bits
    std::uint16_t actualMethod = 0;
};

struct ZipEntry {
    std::string name;  // stored bytes, as they are
    std::uint16_t versionMadeBy = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t localOffset = 0;  // relative to the archive's start
    std::uint32_t diskStart = 0;
    std::uint32_t externalAttributes = 0;
    bool hasUnixTime = false;
    std::int64_t unixTime = 0;  // from the extended timestamp, UTC
    AesInfo aes;
    // Its local header or data shares bytes with another entry's: many
    // directory entries over one member's data is how a small archive
    // extracts to an enormous one. Set by ArchiveReader::Open.
    bool overlapsAnother = false;
    // Its Zip64 extra field lacks a value whose 32-bit field is saturated:
    // its size or place is unknown, and it is refused.
    bool zip64Damaged = false;

    bool IsDirectory() const { return !name.empty() && name.back() == '/'; }
    bool IsEncrypted() const { return zip::IsEncrypted(flags); }
    bool NeedsPassword() const { return zip::NeedsPassword(flags, method); }
    bool HasUnixMode() const { return (versionMadeBy >> 8) == zip::HostUnix && (externalAttributes >> 16) != 0; }
    std::uint32_t UnixMode() const { return externalAttributes >> 16; }
    bool IsSymlink() const { return HasUnixMode() && (UnixMode() & 0170000) == 0120000; }
    // The method that produced the data once decrypted.
    std::uint16_t DataMethod() const { return aes.present ? aes.actualMethod : method; }
};

// Why an entry marked zip64Damaged is refused.
inline constexpr const char* kZip64DamagedText = "its Zip64 extra field is too short for the values it must hold";
// Why an entry marked overlapsAnother is refused, whatever is done with it.
inline constexpr const char* kOverlapText = "its data overlaps another member's (a probable zip bomb)";

// Where an entry's (possibly encrypted) data lies in the file.
struct EntryData {
    const std::uint8_t* data = nullptr;
    std::uint64_t size = 0;
    // The bytes are a read-only file mapping (MappedFile): the decoder may
    // drop the pages it has passed, so reading a large entry never holds
    // more than a window of it in memory. Never set for other memory.
    bool fileMapped = false;
};

class ArchiveReader {
public:
    // Reads the directory of the archive in `bytes`. False with a reason in
    // `error` when no archive can be read there.
    bool Open(const std::uint8_t* bytes, std::size_t size, std::string* error);
    // Called with each local header as Open's walk reaches it: a file
    // mapping may drop the pages the walk has passed, so the walk over a
    // large archive does not hold all of it.
    using PassedBytes = void (*)(void* context, const std::uint8_t* at);
    void OnPassedBytes(PassedBytes handler, void* context)
    {
        passed_ = handler;
        passedContext_ = context;
    }

    const std::vector<ZipEntry>& Entries() const { return entries_; }
    // File position of the archive's start: 0 for a plain archive, the
    // length of whatever stands in front of it otherwise (for an archive
    // without members, the position of its end record).
    std::uint64_t ArchiveStart() const { return end_.ArchiveStart; }
    bool IsZip64() const { return end_.Zip64; }
    // The end of the archive as Open found it.
    const zip::EndOfArchive& End() const { return end_; }

    // Locates the entry's data behind its local header. False with a reason
    // when the header is missing, the data reaches past the file's end, or
    // the entry's Zip64 field leaves its size or place unknown.
    bool LocateData(const ZipEntry& entry, EntryData* out, std::string* error) const;

    // False with a reason when the entry's local header names another file
    // than its directory entry: what was listed from one must never be
    // written under the other. A header that cannot be read passes here;
    // locating the data reports it.
    bool CheckLocalName(const ZipEntry& entry, std::string* error) const;

private:
    void MarkOverlaps();
    PassedBytes passed_ = nullptr;
    void* passedContext_ = nullptr;
    bool ReadCentralDirectory(std::uint64_t cdPos, std::uint64_t cdSize, std::uint64_t count,
                              std::string* error);
    bool ParseExtra(ZipEntry& entry, const std::uint8_t* extra, std::size_t len, std::string* error);

    const std::uint8_t* bytes_ = nullptr;
    std::size_t size_ = 0;
    zip::EndOfArchive end_;
    std::vector<ZipEntry> entries_;
};

}  // namespace zipcore
