// Byte-level facts of the ZIP container under the core's names: record
// signatures and fixed sizes (from abi/ZipRecords.h, shared with the
// engine's listing), flag bits, method numbers, and the little-endian field
// readers of abi/LittleEndian.h.
// Reading only; callers check bounds before they read a field.
#pragma once

#include <cstddef>
#include <cstdint>

#include "abi/LittleEndian.h"
#include "abi/ZipRecords.h"

namespace zipcore {

constexpr std::uint32_t kLocalHeaderSig = fernpack::zip::LocalHeaderSignature;
constexpr std::uint32_t kCentralHeaderSig = fernpack::zip::CentralHeaderSignature;
constexpr std::uint32_t kEndRecordSig = fernpack::zip::EndRecordSignature;
constexpr std::uint32_t kZip64EndRecordSig = fernpack::zip::Zip64EndRecordSignature;
constexpr std::uint32_t kZip64LocatorSig = fernpack::zip::Zip64LocatorSignature;

constexpr std::size_t kLocalHeaderSize = fernpack::zip::LocalHeaderSize;
constexpr std::size_t kCentralHeaderSize = fernpack::zip::CentralHeaderSize;
constexpr std::size_t kEndRecordSize = fernpack::zip::EndRecordSize;
constexpr std::size_t kZip64EndRecordSize = fernpack::zip::Zip64EndRecordSize;
constexpr std::size_t kZip64LocatorSize = fernpack::zip::Zip64LocatorSize;
constexpr std::size_t kMaxCommentSize = fernpack::zip::MaxCommentSize;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = fernpack::zip::FlagDataDescriptor;
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

constexpr std::uint16_t kExtraZip64 = fernpack::zip::ExtraZip64;
constexpr std::uint16_t kExtraUnixTime = 0x5455;
constexpr std::uint16_t kExtraAes = 0x9901;

constexpr unsigned kHostUnix = 3;

using fernpack::Le16;
using fernpack::Le32;
using fernpack::Le64;

}  // namespace zipcore
