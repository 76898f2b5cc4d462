#include "engine/SfxHeader.h"

#include <algorithm>
#include <cstring>

namespace engine {

std::uint8_t SfxOptionBits(SFXOpts options, OvrOpts overwrite)
{
    std::uint8_t bits = 0;
    if (options.Contains(SFXOptsEnum::SFXAskCmdLine))
        bits |= SFXH_ASK_COMMAND_LINE;
    if (options.Contains(SFXOptsEnum::SFXAskFiles))
        bits |= SFXH_ASK_FILES;
    if (options.Contains(SFXOptsEnum::SFXHideOverWriteBox))
        bits |= SFXH_HIDE_OVERWRITE;
    if (overwrite == OvrOpts::OvrAlways)
        bits |= SFXH_OVERWRITE_ALWAYS;
    if (overwrite == OvrOpts::OvrNever)
        bits |= SFXH_OVERWRITE_NEVER;
    return bits;
}

std::array<std::uint8_t, SFXH_SIZE> BuildSfxHeader(SFXOpts options, OvrOpts overwrite, const std::string& caption,
                                                   const std::string& defaultDir, const std::string& commandLine)
{
    SfxHeader h{};
    std::memcpy(h.Signature, SFXH_SIGNATURE, SFXH_SIGNATURE_LENGTH);
    h.Options = SfxOptionBits(options, overwrite);
    h.CaptionLength = static_cast<std::uint8_t>(caption.size());
    h.DefaultDirLength = static_cast<std::uint8_t>(defaultDir.size());
    h.CommandLineLength = static_cast<std::uint8_t>(commandLine.size());
    std::size_t at = 0;
    for (const std::string* text : {&caption, &defaultDir, &commandLine}) {
        const std::size_t n = std::min(text->size(), sizeof h.Texts - at);
        std::memcpy(h.Texts + at, text->data(), n);
        at += n;
    }
    std::array<std::uint8_t, SFXH_SIZE> bytes;
    std::memcpy(bytes.data(), &h, sizeof h);
    return bytes;
}

std::array<std::uint8_t, fernpack::zip::EndRecordSize> EmptyEndRecord()
{
    std::array<std::uint8_t, fernpack::zip::EndRecordSize> r{};
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<std::uint8_t>(fernpack::zip::EndRecordSignature >> (8 * i));
    return r;
}

}  // namespace engine
