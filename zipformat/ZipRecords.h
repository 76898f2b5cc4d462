// Signatures, fixed sizes and field numbers of the ZIP records, for
// everything that reads or writes archives: the engine's listing, the
// libraries' core and writer, and the stub. Constants only; the
// little-endian readers are in LittleEndian.h, the general purpose flags
// in Flags.h, the method numbers in Methods.h.
//
// A program that must not carry the local header signature in its own
// bytes (the self-extractor stub) may include this freely: a constant costs
// nothing until code compares with it, and code the stub carries compares
// with LocalHeaderSignatureAtRunTime() instead.
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

// Where a local header keeps the lengths of the name and the extra field
// that follow it.
inline constexpr std::size_t LocalNameLengthAt = 26;
inline constexpr std::size_t LocalExtraLengthAt = 28;

// Extra fields: the Zip64 values whose 32-bit fields are saturated, the
// extended timestamp (UTC seconds), WinZip's AES parameters.
inline constexpr std::uint16_t ExtraZip64 = 0x0001;
inline constexpr std::uint16_t ExtraUnixTime = 0x5455;
inline constexpr std::uint16_t ExtraAes = 0x9901;
inline constexpr std::uint32_t Saturated32 = 0xFFFFFFFF;

// "Version made by" high byte of a member written on Unix.
inline constexpr unsigned HostUnix = 3;

// The local header signature, put together when it is asked for: code that
// compares with the constant holds its four bytes, which the stub must not
// (whatever scans a self-extracting program for its first member would
// take the stub's code for it).
inline std::uint32_t LocalHeaderSignatureAtRunTime()
{
    static volatile std::uint32_t high = LocalHeaderSignature >> 16;
    return (static_cast<std::uint32_t>(high) << 16) | (LocalHeaderSignature & 0xFFFF);
}

}  // namespace fernpack::zip
