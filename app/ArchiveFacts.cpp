#include "app/ArchiveFacts.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/Texts.h"
#include "platform/FileSystem.h"
#include "zipformat/Flags.h"
#include "zipformat/Methods.h"

namespace app {

namespace {

std::string Bytes(std::uint64_t n) { return Translate(text::PropBytes, {std::to_string(n)}); }

// `part` as a whole percentage of `whole`, rounded; 0 when `whole` is 0.
std::uint64_t Percent(std::uint64_t part, std::uint64_t whole)
{
    return whole == 0 ? 0 : (part * 100 + whole / 2) / whole;
}

}  // namespace

TArchiveFacts ArchiveFactsOf(const engine::TRezEdidiv& component)
{
    TArchiveFacts facts;
    facts.Path = component.ZipFilename();
    facts.SizeOnDisk = platform::FileSize(facts.Path);
    facts.Members = component.EntryCount();
    bool zipCrypto = false, aes = false;
    if (facts.Members > 0)
        for (const auto& entry : component.Entries) {
            facts.Packed += entry->RealCompressedSize();
            facts.Unpacked += entry->RealUncompressedSize();
            if (!fernpack::zip::IsEncrypted(entry->GeneralFlags))
                continue;
            ++facts.Encrypted;
            (entry->CompressionMethod == fernpack::zip::MethodAes ? aes : zipCrypto) = true;
        }
    if (zipCrypto)
        facts.Methods.push_back(text::PropZipCrypto);
    if (aes)
        facts.Methods.push_back(text::PropAes);
    facts.StubSize = component.FirstHeaderOffset;
    // Read by the listing, from the end record it found.
    facts.Comment = component.ArchiveComment();
    return facts;
}

std::vector<std::pair<std::string, std::string>> FactLines(const TArchiveFacts& facts)
{
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back(Translate(text::PropArchive), facts.Path);
    lines.emplace_back(Translate(text::PropSize),
                       facts.SizeOnDisk < 0 ? Translate(text::PropNotOnDisk)
                                            : Bytes(static_cast<std::uint64_t>(facts.SizeOnDisk)));
    lines.emplace_back(Translate(text::PropMembers), std::to_string(facts.Members));
    lines.emplace_back(Translate(text::PropPacked), Bytes(facts.Packed));
    lines.emplace_back(Translate(text::PropUnpacked), Bytes(facts.Unpacked));
    lines.emplace_back(Translate(text::PropRatio),
                       Translate(text::PropPercent, {std::to_string(Percent(facts.Packed, facts.Unpacked))}));
    // "None", or "3 of 10, with AES".
    std::string encrypted = Translate(text::PropNone);
    if (facts.Encrypted > 0) {
        encrypted = Translate(text::PropOf, {std::to_string(facts.Encrypted), std::to_string(facts.Members)});
        for (std::size_t i = 0; i < facts.Methods.size(); ++i)
            encrypted += Translate(i == 0 ? text::PropWith : text::PropAnd, {facts.Methods[i]});
    }
    lines.emplace_back(Translate(text::PropEncrypted), encrypted);
    lines.emplace_back(Translate(text::PropStub),
                       facts.StubSize > 0 ? Bytes(static_cast<std::uint64_t>(facts.StubSize))
                                          : Translate(text::PropNone));
    return lines;
}

}  // namespace app
