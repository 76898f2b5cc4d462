// The bytes of the records this writer produces: local and central headers
// of new members, the end record, and the Zip64 records where a value does
// not fit its field. Every local header carries the member's CRC-32 and
// sizes (no data descriptors).
//
// Zip64 is used exactly where it is needed, so that readers without it
// still read every archive that does not need it: a local header carries a
// Zip64 extra field (with both sizes) when the member was declared large
// before its data was written; a central header carries one with just the
// values of 4 GiB or more (sizes, offset); the Zip64 end record and its
// locator come when the member count passes 65,535 or the directory's
// size or offset reaches 4 GiB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zipformat/ZipRecords.h"

namespace zipwriter {

namespace zip = fernpack::zip;

void PutLe16(std::string& out, std::uint32_t value);
void PutLe32(std::string& out, std::uint32_t value);
void PutLe64(std::string& out, std::uint64_t value);

constexpr std::uint16_t kMadeByUnix = (zip::HostUnix << 8) | 63u;  // Unix, APPNOTE 6.3
constexpr std::uint16_t kNeedDefault = 20;
constexpr std::uint16_t kNeedAes = 51;
constexpr std::uint16_t kNeedZip64 = 45;

struct MemberHeader {
    std::string name;
    std::uint16_t versionNeeded = kNeedDefault;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t dosDateTime = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t externalAttributes = 0;
    std::string extra;  // the same in the local and the central header
    // The local header holds its sizes in a Zip64 field. Decided before the
    // data is written (the header's length cannot change afterwards): set
    // when the sizes may reach 4 GiB (see MayNeedZip64).
    bool zip64Local = false;
};

// True when a member of `size` bytes, whose data may grow by `overhead`
// bytes (encryption) before the writer falls back to storing it, may need
// 64-bit sizes.
bool MayNeedZip64(std::uint64_t size, std::uint64_t overhead);

// The Zip64 extra field holding `values` in order.
std::string Zip64Extra(const std::vector<std::uint64_t>& values);

std::string LocalHeaderBytes(const MemberHeader& header);
std::string CentralHeaderBytes(const MemberHeader& header, std::uint64_t localOffset);

// The extended timestamp field (modification time only).
std::string UnixTimeExtra(std::int64_t mtime);
// The WinZip AES field: AE-1 or AE-2, AES-256, the real method.
std::string AesExtra(std::uint16_t vendorVersion, std::uint16_t actualMethod);

// The records after the central directory: Zip64 end record and locator
// when a value needs them, then the end record with `comment`. Positions
// count from the archive's start.
std::string EndRecords(std::uint64_t count, std::uint64_t directoryOffset, std::uint64_t directorySize,
                       const std::string& comment);

}  // namespace zipwriter
