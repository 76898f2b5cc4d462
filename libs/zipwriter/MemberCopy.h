// Copying an unchanged member from the old archive into the new one. Its
// data bytes are copied as they are, never recompressed. The local header is
// copied as it is when it already carries the member's CRC-32 and sizes;
// otherwise (a member written with a data descriptor) it is rewritten from
// the central directory so that every local header of the new archive can
// be read on its own. The descriptor is dropped with bit 3, except for
// traditionally encrypted members, whose password check depends on that
// bit: they keep both. The central header is copied with its new offset;
// its Zip64 field, if any, is rebuilt to hold exactly the values of 4 GiB
// or more (an offset may cross that line when members before it grow).
#pragma once

#include <cstdint>
#include <string>

#include "ExistingArchive.h"
#include "OutputFile.h"

namespace zipwriter {

// Below this many bytes data goes through the output's buffer; above, it is
// copied from the archive's descriptor inside the kernel.
constexpr std::uint64_t kKernelCopyMinimum = 256 * 1024;

// Writes member `index` at the output's current position; returns its new
// central directory header for an archive starting at `archiveStart`.
// `archiveFd` (or -1) is the old archive, for copies inside the kernel.
// False only when the output failed.
bool CopyMember(const ExistingArchive& archive, std::size_t index, OutputFile& out, std::uint64_t archiveStart,
                int archiveFd, std::string* central);

// True when the member's bytes from its local header to the end of its
// data (and kept descriptor) go over unchanged; [begin, end) is that span
// in the old file. Neighbouring such members are copied in one piece.
bool CopiesVerbatim(const ExistingArchive& archive, std::size_t index, std::uint64_t* begin, std::uint64_t* end);

// The member's central directory header for its new offset.
std::string CentralHeaderFor(const ExistingArchive& archive, std::size_t index, std::uint64_t offset);

// `extra` without its Zip64 fields.
std::string WithoutZip64(const std::uint8_t* extra, std::size_t len);

}  // namespace zipwriter
