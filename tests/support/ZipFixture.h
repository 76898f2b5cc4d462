// Builds ZIP archives byte by byte for tests, so each field can be set to
// exactly what a case needs: stubs in front, false signatures, damaged
// sizes, data descriptors, truncation. Nothing here compresses; member data
// is stored as given.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fixture {

void PutLe16(std::string& out, std::uint32_t value);
void PutLe32(std::string& out, std::uint32_t value);

std::uint32_t Crc32(const std::string& data);

// MS-DOS date and time packed as a local header carries them.
std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

struct Member {
    std::string Name;
    std::string Data;          // written as the member's stored bytes
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;
    std::uint32_t DateTime = DosDateTime(2024, 5, 17, 13, 45, 30);
    std::string Extra;
    // For data stored in another form than given (packed): the CRC-32 and
    // size of the unpacked data, written in both headers.
    std::optional<std::uint32_t> PlainCrc;
    std::optional<std::int32_t> PlainSize;
    // Overrides for damaged local headers; by default the true values are written.
    std::optional<std::uint32_t> Crc;
    std::optional<std::int32_t> CompressedSize;
    std::optional<std::int32_t> UncompressedSize;
    std::optional<std::uint16_t> NameLength;
    // Appends a data descriptor after the data (with or without its signature).
    bool Descriptor = false;
    bool DescriptorSignature = true;
    // The descriptor's sizes in 64 bits, as Zip64 writers put them.
    bool Descriptor64 = false;
    // The name in the central directory, when it differs from the local one.
    std::optional<std::string> CentralName;
    // The central header's extra field, and its 32-bit sizes and offset
    // where they differ from the true ones (all ones, for Zip64).
    std::string CentralExtra;
    std::optional<std::uint32_t> CentralCompressedSize;
    std::optional<std::uint32_t> CentralUncompressedSize;
    std::optional<std::uint32_t> CentralOffset;
};

// A Zip64 extra field holding `values`, 64 bits each, in order.
std::string Zip64Field(std::initializer_list<std::uint64_t> values);

// Writes at `path` an archive of one stored member named `name` whose 32-bit
// sizes say `size` (no Zip64), followed by an empty end record, as a sparse
// file: only the headers take disk, so 2.6 GB members cost nothing. False
// when the file cannot be written.
bool WriteSparseStoredMember(const std::string& path, const std::string& name, std::uint32_t size);

// A member written as a stream writer leaves it: flag bit 3, CRC and sizes
// zero in the local header, the true values in a descriptor after the data.
inline Member Streamed(const std::string& name, const std::string& data)
{
    Member m;
    m.Name = name;
    m.Data = data;
    m.Flags = 8;
    m.Crc = 0;
    m.CompressedSize = 0;
    m.UncompressedSize = 0;
    m.Descriptor = true;
    return m;
}

// A stored member with the given name and data and every other field at
// its default.
inline Member Stored(const std::string& name, const std::string& data)
{
    Member m;
    m.Name = name;
    m.Data = data;
    return m;
}

class ZipBuilder {
public:
    // Arbitrary bytes (a stub, garbage, a false signature).
    ZipBuilder& Raw(const std::string& bytes);
    // A local header, name, extra field, data and optional descriptor.
    ZipBuilder& Add(const Member& member);
    // One more central directory header for member `index` under `name`,
    // pointing at the same local header and data.
    ZipBuilder& Alias(std::size_t index, const std::string& name);
    // Finish writes a Zip64 end record and its locator before the end record.
    ZipBuilder& Zip64End();
    // Finish writes this member count in the end record instead of the true one.
    ZipBuilder& StatedCount(std::uint16_t count);
    // Central directory headers for every member added, then the end record.
    ZipBuilder& Finish(const std::string& comment = "");

    const std::string& Bytes() const { return bytes_; }
    // File offset at which each member's local header starts.
    const std::vector<std::int64_t>& Offsets() const { return offsets_; }

private:
    std::string bytes_;
    std::vector<Member> members_;
    std::vector<std::int64_t> offsets_;
    std::vector<std::pair<std::size_t, std::string>> aliases_;
    bool zip64End_ = false;
    std::optional<std::uint16_t> statedCount_;
};

// The local header of `member` alone, without the data.
std::string LocalHeader(const Member& member);

// `copies` directory entries over one stored member's `size` bytes
// ("data.bin", then "copy1.bin" and on): what a test calls a probable zip
// bomb.
std::string SharedDataBomb(int copies, std::size_t size);

}  // namespace fixture
