// Byte-level facts of the ZIP container: record signatures, fixed record
// sizes, flag bits, method numbers, and the little-endian field readers of
// abi/LittleEndian.h under the core's name.
// Reading only; callers check bounds before they read a field.
#pragma once

#include <cstddef>
#include <cstdint>

#include "abi/LittleEndian.h"

namespace zipcore {

constexpr std::uint32_t kLocalHeaderSig = 0x04034b50;
constexpr std::uint32_t kCentralHeaderSig = 0x02014b50;
constexpr std::uint32_t kEndRecordSig = 0x06054b50;
constexpr std::uint32_t kZip64EndRecordSig = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSig = 0x07064b50;

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kZip64EndRecordSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kMaxCommentSize = 0xFFFF;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kFlagUtf8Names = 0x0800;

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kMethodDeflate64 = 9;
constexpr std::uint16_t kMethodBzip2 = 12;
constexpr std::uint16_t kMethodLzma = 14;
constexpr std::uint16_t kMethodZstandard = 93;
constexpr std::uint16_t kMethodXz = 95;
constexpr std::uint16_t kMethodAes = 99;

constexpr std::uint16_t kExtraZip64 = 0x0001;
constexpr std::uint16_t kExtraUnixTime = 0x5455;
constexpr std::uint16_t kExtraAes = 0x9901;

constexpr unsigned kHostUnix = 3;

using fernpack::Le16;
using fernpack::Le32;
using fernpack::Le64;

}  // namespace zipcore
