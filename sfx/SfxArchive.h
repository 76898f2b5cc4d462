// The archive a self-extracting program carries behind itself, and the
// 256-byte settings header in front of that archive (abi/SfxHeader.h):
// "MPU", the option bits, the lengths of the caption, the default folder and
// the command line, and the three texts.
//
// The archive's start is found as for every archive (zipformat/EndOfArchive.h:
// where the directory really is, minus where it says it is). The header
// stands in the 256 bytes before that start; for an archive whose offsets
// were rewritten to count from the file's start, in the 256 bytes before its
// first member; for an empty archive (a lone end record, whose directory
// offset is a fixed value), in the 256 bytes before the end record. Anything
// else is reported as a damaged program. Reads only; never writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "abi/SfxHeader.h"
#include "libs/zipcore/ArchiveReader.h"
#include "libs/zipcore/MappedFile.h"

namespace sfx {

enum class OverwriteMode { Ask, Always, Never };

struct SfxSettings {
    std::string caption;
    std::string defaultDir;
    std::string commandLine;
    bool askCommandLine = false;  // the user may skip the command
    bool askFiles = false;        // the user may pick the files
    bool hideOverwrite = false;   // the overwrite mode is not offered
    OverwriteMode overwrite = OverwriteMode::Ask;
};

// Reads the settings from the SFXH_SIZE header bytes at `header`. False with a
// reason when they do not start with "MPU" or their texts run past the end.
bool ParseSettingsHeader(const std::uint8_t* header, SfxSettings* settings, std::string* error);

class SfxArchive {
public:
    // Opens the program file at `path` (normally this program itself). False
    // with a reason when no archive or no settings header can be read there.
    bool Open(const std::string& path, std::string* error);

    const SfxSettings& Settings() const { return settings_; }
    const std::vector<zipcore::ZipEntry>& Entries() const { return reader_.Entries(); }
    // Where the entry's (possibly encrypted) data lies, checked against the
    // file's bounds and the entry's local header, whose name must be the
    // directory's; an entry whose data overlaps another's is refused.
    bool LocateData(const zipcore::ZipEntry& entry, zipcore::EntryData* out, std::string* error) const;

private:
    bool FindHeader(std::string* error);

    zipcore::MappedFile file_;
    zipcore::ArchiveReader reader_;
    SfxSettings settings_;
};

}  // namespace sfx
