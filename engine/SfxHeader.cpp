#include "engine/SfxHeader.h"

#include <cstring>

std::uint8_t SfxOptionBits(SFXOpts options, OvrOpts overwrite)
{
    std::uint8_t bits = 0;
    if (options.Contains(SFXOptsEnum::SFXAskCmdLine))
        bits |= 1;
    if (options.Contains(SFXOptsEnum::SFXAskFiles))
        bits |= 2;
    if (options.Contains(SFXOptsEnum::SFXHideOverWriteBox))
        bits |= 4;
    if (overwrite == OvrOpts::OvrAlways)
        bits |= 8;
    if (overwrite == OvrOpts::OvrNever)
        bits |= 16;
    return bits;
}

std::array<std::uint8_t, SfxHeaderSize> BuildSfxHeader(SFXOpts options, OvrOpts overwrite, const std::string& caption,
                                                       const std::string& defaultDir, const std::string& commandLine)
{
    std::array<std::uint8_t, SfxHeaderSize> h{};
    h[0] = 'M';
    h[1] = 'P';
    h[2] = 'U';
    h[3] = SfxOptionBits(options, overwrite);
    h[4] = static_cast<std::uint8_t>(caption.size());
    h[5] = static_cast<std::uint8_t>(defaultDir.size());
    h[6] = static_cast<std::uint8_t>(commandLine.size());
    std::size_t at = 7;
    for (const std::string* text : {&caption, &defaultDir, &commandLine}) {
        const std::size_t n = std::min(text->size(), SfxHeaderSize - at);
        std::memcpy(h.data() + at, text->data(), n);
        at += n;
    }
    return h;
}

std::array<std::uint8_t, 22> EmptyEndRecord()
{
    std::array<std::uint8_t, 22> r{};
    r[0] = 0x50;
    r[1] = 0x4B;
    r[2] = 0x05;
    r[3] = 0x06;
    r[16] = EmptySfxCentralOffset & 0xFF;
    r[17] = (EmptySfxCentralOffset >> 8) & 0xFF;
    return r;
}
