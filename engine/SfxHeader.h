// The 256-byte settings header between a self-extractor stub and its
// archive: "MPU", the option bits, the lengths of the caption, the default
// folder and the command line, the three texts, then zeros. And the 22-byte
// end record that stands for an empty archive behind a new stub.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/ZipMstr.h"

inline constexpr std::size_t SfxHeaderSize = 256;
inline constexpr std::size_t SfxTextsLimit = 249;
// Where the central directory would stand behind a stub of 38,912 bytes;
// written as it is, whatever the real stub's length.
inline constexpr std::uint32_t EmptySfxCentralOffset = 39168;

std::uint8_t SfxOptionBits(SFXOpts options, OvrOpts overwrite);

// The texts must total at most SfxTextsLimit characters.
std::array<std::uint8_t, SfxHeaderSize> BuildSfxHeader(SFXOpts options, OvrOpts overwrite, const std::string& caption,
                                                       const std::string& defaultDir, const std::string& commandLine);

std::array<std::uint8_t, 22> EmptyEndRecord();
