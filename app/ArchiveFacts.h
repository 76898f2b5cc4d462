// What the Archive Properties box tells about the open archive: where it is
// and how large, how many members with how many bytes packed and unpacked,
// which of them are encrypted and how, the self-extractor stub in front of
// it, and its comment. Taken from the component's last listing and, for the
// size and the comment, from the file itself; nothing is written.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/ZipMstr.h"

namespace app {

struct TArchiveFacts {
    std::string Path;
    std::int64_t SizeOnDisk = -1;  // -1: the file cannot be found
    std::int32_t Members = 0;
    std::uint64_t Packed = 0, Unpacked = 0;
    std::int32_t Encrypted = 0;          // members with the encryption flag
    std::vector<std::string> Methods;    // "ZipCrypto", "AES", in that order
    std::int32_t StubSize = 0;           // 0: a plain archive
    std::string Comment;                 // as stored
};

TArchiveFacts ArchiveFactsOf(const engine::TRezEdidiv& component);

// The box's lines, label and value, in order (the comment is shown apart).
std::vector<std::pair<std::string, std::string>> FactLines(const TArchiveFacts& facts);

}  // namespace app
