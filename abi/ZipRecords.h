// Signatures, fixed sizes and the few flag and field numbers of the ZIP
// records that both the engine's listing and the libraries' ZIP core read.
// Constants only; the little-endian readers are in LittleEndian.h.
//
// A program that must not carry the local header signature in its own
// bytes (the self-extractor stub) may include this freely: a constant costs
// nothing until code compares with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fernpack::zip {

inline constexpr std::uint32_t LocalHeaderSignature = 0x04034B50;    // "PK\3\4"
inline constexpr std::uint32_t CentralHeaderSignature = 0x02014B50;  // "PK\1\2"
inline constexpr std::uint32_t EndRecordSignature = 0x06054B50;      // "PK\5\6"
inline constexpr std::uint32_t Zip64EndRecordSignature = 0x06064B50; // "PK\6\6"
inline constexpr std::uint32_t Zip64LocatorSignature = 0x07064B50;   // "PK\6\7"
inline constexpr std::uint32_t DescriptorSignature = 0x08074B50;     // "PK\7\8", optional

inline constexpr std::size_t LocalHeaderSize = 30;
inline constexpr std::size_t CentralHeaderSize = 46;
inline constexpr std::size_t EndRecordSize = 22;
inline constexpr std::size_t Zip64EndRecordSize = 56;
inline constexpr std::size_t Zip64LocatorSize = 20;
inline constexpr std::size_t MaxCommentSize = 0xFFFF;

// General flag bit 3: the CRC and sizes follow the data in a descriptor.
inline constexpr std::uint16_t FlagDataDescriptor = 0x0008;

// Extra field holding the 64-bit values whose 32-bit fields are saturated.
inline constexpr std::uint16_t ExtraZip64 = 0x0001;
inline constexpr std::uint32_t Saturated32 = 0xFFFFFFFF;

}  // namespace fernpack::zip
