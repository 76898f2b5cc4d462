// Extracting one entry below a target folder, safely: the name is checked
// (SafePath.h), folders are walked without following links (TargetTree.h),
// the data goes to a temporary file (TempFile.h) that becomes the target
// only when complete and its CRC is right, and the overwrite, freshen and
// update rules decide whether an existing file is replaced. Modification
// times come from the entry; Unix permission bits are kept when the archive
// has them (never set-uid, set-gid or sticky). Symbolic links are never
// created. Reports outcomes; composing messages is the caller's business.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ArchiveReader.h"
#include "EntryDecoder.h"
#include "TargetTree.h"

namespace zipcore {

struct ExtractOptions {
    bool dirNames = true;   // recreate stored folders; else the file name only
    bool overwrite = false; // replace existing files
    bool freshen = false;   // only replace existing files that are older
    bool update = false;    // extract new files and replace older ones
};

enum class ExtractOutcome {
    Extracted,        // file written or folder present
    SkippedExisting,  // exists and overwriting is off
    SkippedNotNewer,  // freshen/update: the existing file is not older
    SkippedMissing,   // freshen: no existing file to refresh
    UnsafeName,
    Symlink,
    Unsupported,
    NeedPassword,
    WrongPassword,
    BadData,
    BadCrc,
    WriteError,
    Stopped,          // the progress step asked to stop
};

// The entry's modification time as a Unix time: the extended timestamp when
// present, else the MS-DOS date and time read as local time (a day or
// month of 0 as the first; 0 when the platform cannot represent it).
std::int64_t EntryModificationTime(const ZipEntry& entry);

class Extractor {
public:
    Extractor(TargetTree& tree, ExtractOptions options, EntryDecoder& decoder);
    const ExtractOptions& Options() const { return options_; }

    // Extracts `entry`, whose data `data` holds. `step` is called
    // ProgressSteps(size) times while the data is written, unless it asks to
    // stop; `detail` receives the reason for any outcome but Extracted.
    ExtractOutcome Extract(const ZipEntry& entry, const EntryData& data, std::string_view password,
                           const std::function<bool()>& step, std::string* detail);
    // The same for an entry whose data was decoded and checked already
    // (`size` bytes at `decoded`, as Decode gave them with status Ok), such
    // as by a thread working ahead of the caller: the same checks, steps,
    // file and outcomes, without decoding again.
    ExtractOutcome ExtractDecoded(const ZipEntry& entry, const std::uint8_t* decoded, std::size_t size,
                                  const std::function<bool()>& step, std::string* detail);

private:
    // Extract's work, with `produce(sink, detail)` handing the entry's data
    // to the sink and saying how that went.
    template <class Produce>
    ExtractOutcome ExtractWith(const ZipEntry& entry, const std::function<bool()>& step, std::string* detail,
                               Produce produce);

    TargetTree& tree_;
    ExtractOptions options_;
    EntryDecoder& decoder_;
};

}  // namespace zipcore
