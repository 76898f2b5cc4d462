#include "SfxArchive.h"

#include <algorithm>
#include <cstring>

namespace sfx {

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
    // The archive's start (for an empty archive, its end record), and for
    // offsets that count from the file's start, its first member.
    std::uint64_t candidates[2] = {reader_.ArchiveStart(), 0};
    std::size_t count = 1;
    if (!reader_.Entries().empty()) {
        std::uint64_t first = UINT64_MAX;
        for (const zipcore::ZipEntry& entry : reader_.Entries())
            first = std::min(first, entry.localOffset);
        if (first <= file_.Size() - reader_.ArchiveStart())
            candidates[count++] = reader_.ArchiveStart() + first;
    }
    std::string reason = "the archive stands too close to the start of the file for a settings header";
    for (std::size_t i = 0; i < count; ++i) {
        if (candidates[i] < SFXH_SIZE)
            continue;
        if (ParseSettingsHeader(bytes + candidates[i] - SFXH_SIZE, &settings_, &reason))
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
    if (!reader_.CheckLocalName(entry, error) || !reader_.LocateData(entry, out, error))
        return false;
    out->fileMapped = true;
    return true;
}

}  // namespace sfx
