// Writing the 256-byte settings header between a self-extractor stub and its
// archive (its layout is abi/SfxHeader.h, which the stub reads with), and the
// 22-byte end record that stands for an empty archive behind a new stub.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "abi/SfxHeader.h"
#include "engine/ZipMstr.h"

namespace engine {

// Where the central directory would stand behind a stub of 38,912 bytes;
// written as it is, whatever the real stub's length.
inline constexpr std::uint32_t EmptySfxCentralOffset = 39168;

std::uint8_t SfxOptionBits(SFXOpts options, OvrOpts overwrite);

// The texts must total at most SFXH_TEXTS_CAPACITY characters; more are cut.
std::array<std::uint8_t, SFXH_SIZE> BuildSfxHeader(SFXOpts options, OvrOpts overwrite, const std::string& caption,
                                                   const std::string& defaultDir, const std::string& commandLine);

std::array<std::uint8_t, 22> EmptyEndRecord();

}  // namespace engine
