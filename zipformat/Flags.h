// The general purpose flags of a member's headers, and the answers they
// give: whether the member is encrypted, needs a password, or has a UTF-8
// name. The one place that knows which bit says what.
#pragma once

#include <cstdint>

#include "zipformat/Methods.h"

namespace fernpack::zip {

inline constexpr std::uint16_t FlagEncrypted = 0x0001;
// The CRC and sizes follow the data in a descriptor.
inline constexpr std::uint16_t FlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t FlagStrongEncryption = 0x0040;
// The name (and comment) are UTF-8.
inline constexpr std::uint16_t FlagUtf8Name = 0x0800;

constexpr bool IsEncrypted(std::uint16_t flags) { return (flags & FlagEncrypted) != 0; }

constexpr bool HasUtf8Name(std::uint16_t flags) { return (flags & FlagUtf8Name) != 0; }

// A member that cannot be read without a password: encrypted, or marked as
// WinZip AES by its method even where a writer left the flag clear.
constexpr bool NeedsPassword(std::uint16_t flags, std::uint16_t method)
{
    return IsEncrypted(flags) || method == MethodAes;
}

}  // namespace fernpack::zip
