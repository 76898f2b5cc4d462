// Writing the 256-byte settings header between a self-extractor stub and its
// archive (its layout is abi/SfxHeader.h, which the stub reads with), and the
// 22-byte end record that stands for an empty archive behind a new stub.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "abi/SfxHeader.h"
#include "engine/ZipMstr.h"
#include "zipformat/ZipRecords.h"

namespace engine {

std::uint8_t SfxOptionBits(SFXOpts options, OvrOpts overwrite);

// The texts must total at most SFXH_TEXTS_CAPACITY characters; more are cut.
std::array<std::uint8_t, SFXH_SIZE> BuildSfxHeader(SFXOpts options, OvrOpts overwrite, const std::string& caption,
                                                   const std::string& defaultDir, const std::string& commandLine);

// The end record of an empty archive, which is all a new program carries
// behind its header: a plain empty archive, its offsets counted from its
// own start like those of every archive put behind a stub, so tools reading
// the program find a sound empty archive there. (An offset counted from the
// start of the program, such as the fixed 39,168 older programs carry,
// points past the record; readers of ours take any offset in an empty
// archive.)
std::array<std::uint8_t, fernpack::zip::EndRecordSize> EmptyEndRecord();

}  // namespace engine
