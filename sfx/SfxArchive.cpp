#include "SfxArchive.h"

#include <algorithm>
#include <cstring>

#include "libs/zipcore/ZipFormat.h"

namespace sfx {

namespace {

// The local header signature, put together at run time: the stub must not
// hold its four bytes anywhere, or whatever scans a self-extracting program
// for its first member would take the stub's own code for it.
std::uint32_t LocalHeaderSignature()
{
    static volatile std::uint32_t high = 0x0403;
    return (std::uint32_t(high) << 16) | 0x4b50u;
}

// The end record of an archive without members: the last one whose comment
// reaches exactly to the end of the file.
std::int64_t EmptyArchiveEndRecord(const std::uint8_t* bytes, std::size_t size)
{
    if (size < zipcore::kEndRecordSize)
        return -1;
    std::size_t lowest = size > zipcore::kEndRecordSize + zipcore::kMaxCommentSize
                             ? size - zipcore::kEndRecordSize - zipcore::kMaxCommentSize
                             : 0;
    for (std::size_t pos = size - zipcore::kEndRecordSize + 1; pos-- > lowest;) {
        if (zipcore::Le32(bytes + pos) == zipcore::kEndRecordSig &&
            pos + zipcore::kEndRecordSize + zipcore::Le16(bytes + pos + 20) == size)
            return std::int64_t(pos);
    }
    return -1;
}

}  // namespace

bool ParseSettingsHeader(const std::uint8_t* bytes, SfxSettings* s, std::string* error)
{
    SfxHeader h;
    std::memcpy(&h, bytes, sizeof h);
    if (std::memcmp(h.Signature, SFXH_SIGNATURE, SFXH_SIGNATURE_LENGTH) != 0) {
        *error = "the settings header in front of the archive is missing";
        return false;
    }
    const std::size_t l1 = h.CaptionLength, l2 = h.DefaultDirLength, l3 = h.CommandLineLength;
    if (l1 + l2 + l3 > sizeof h.Texts) {
        *error = "the settings header is damaged (its texts run past its end)";
        return false;
    }
    s->caption.assign(h.Texts, l1);
    s->defaultDir.assign(h.Texts + l1, l2);
    s->commandLine.assign(h.Texts + l1 + l2, l3);
    s->askCommandLine = h.Options & SFXH_ASK_COMMAND_LINE;
    s->askFiles = h.Options & SFXH_ASK_FILES;
    s->hideOverwrite = h.Options & SFXH_HIDE_OVERWRITE;
    // Both mode bits together cannot come from a conversion; the mode that
    // cannot destroy a file wins.
    s->overwrite = (h.Options & SFXH_OVERWRITE_NEVER)    ? OverwriteMode::Never
                   : (h.Options & SFXH_OVERWRITE_ALWAYS) ? OverwriteMode::Always
                                                         : OverwriteMode::Ask;
    return true;
}

bool SfxArchive::Open(const std::string& path, std::string* error)
{
    std::string reason;
    if (!file_.Open(path, &reason)) {
        *error = "cannot read the program file " + path + ": " + reason;
        return false;
    }
    if (!reader_.Open(file_.Data(), file_.Size(), &reason)) {
        *error = "no archive can be read behind this program: " + reason;
        return false;
    }
    return FindHeader(error);
}

bool SfxArchive::FindHeader(std::string* error)
{
    const std::uint8_t* bytes = file_.Data();
    std::vector<std::uint64_t> candidates;
    if (reader_.Entries().empty()) {
        std::int64_t end = EmptyArchiveEndRecord(bytes, file_.Size());
        if (end >= 0)
            candidates.push_back(std::uint64_t(end));
    } else {
        candidates.push_back(reader_.ArchiveStart());
        std::uint64_t first = UINT64_MAX;
        for (const zipcore::ZipEntry& entry : reader_.Entries())
            first = std::min(first, entry.localOffset);
        if (first <= file_.Size() - reader_.ArchiveStart())
            candidates.push_back(reader_.ArchiveStart() + first);
    }
    std::string reason = "the archive stands too close to the start of the file for a settings header";
    for (std::uint64_t start : candidates) {
        if (start < SFXH_SIZE)
            continue;
        if (ParseSettingsHeader(bytes + start - SFXH_SIZE, &settings_, &reason))
            return true;
    }
    *error = "this program is damaged: " + reason;
    return false;
}

bool SfxArchive::LocateData(const zipcore::ZipEntry& entry, zipcore::EntryData* out, std::string* error) const
{
    // Nothing is written under a name the archive's listing never showed,
    // nor data that other members share (a probable zip bomb).
    if (entry.overlapsAnother) {
        *error = "its data overlaps another member's (a probable zip bomb)";
        return false;
    }
    if (!reader_.CheckLocalName(entry, error))
        return false;
    if (entry.zip64Damaged) {
        *error = zipcore::kZip64DamagedText;
        return false;
    }
    const std::uint8_t* bytes = file_.Data();
    const std::uint64_t size = file_.Size();
    const std::uint64_t start = reader_.ArchiveStart();
    if (entry.localOffset > size || start > size - entry.localOffset ||
        size - start - entry.localOffset < zipcore::kLocalHeaderSize ||
        zipcore::Le32(bytes + start + entry.localOffset) != LocalHeaderSignature()) {
        *error = "local header missing or damaged";
        return false;
    }
    const std::uint8_t* header = bytes + start + entry.localOffset;
    std::uint64_t data = start + entry.localOffset + zipcore::kLocalHeaderSize + zipcore::Le16(header + 26) +
                         zipcore::Le16(header + 28);
    if (data > size || size - data < entry.compressedSize) {
        *error = "data cut short (the program is truncated?)";
        return false;
    }
    out->data = bytes + data;
    out->size = entry.compressedSize;
    out->fileMapped = true;
    return true;
}

}  // namespace sfx
