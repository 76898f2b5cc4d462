#include "app/ArchiveFacts.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "abi/LittleEndian.h"
#include "abi/ZipRecords.h"
#include "app/EncryptedMembers.h"
#include "app/Texts.h"
#include "platform/FileSystem.h"

namespace app {

namespace {

// WinZip AES: the method field says 99, the real method stands in the AES
// extra field.
constexpr std::uint16_t AesMethod = 99;

std::string Bytes(std::uint64_t n) { return std::to_string(n) + text::PropBytes; }

// `part` as a whole percentage of `whole`, rounded; 0 when `whole` is 0.
std::uint64_t Percent(std::uint64_t part, std::uint64_t whole)
{
    return whole == 0 ? 0 : (part * 100 + whole / 2) / whole;
}

}  // namespace

std::string ReadArchiveComment(const std::string& path)
{
    using namespace fernpack::zip;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return {};
    const long size = std::ftell(file.get());
    if (size < static_cast<long>(EndRecordSize))
        return {};
    const long span = std::min<long>(size, static_cast<long>(EndRecordSize + MaxCommentSize));
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(span));
    if (std::fseek(file.get(), size - span, SEEK_SET) != 0 ||
        std::fread(tail.data(), 1, tail.size(), file.get()) != tail.size())
        return {};
    // The last end record whose comment reaches the file's last byte.
    for (std::size_t at = tail.size() - EndRecordSize + 1; at-- > 0;) {
        const std::uint8_t* p = tail.data() + at;
        if (fernpack::Le32(p) != EndRecordSignature)
            continue;
        const std::size_t commentSize = fernpack::Le16(p + 20);
        if (at + EndRecordSize + commentSize == tail.size())
            return std::string(reinterpret_cast<const char*>(p + EndRecordSize), commentSize);
    }
    return {};
}

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
            if (!IsEncrypted(*entry))
                continue;
            ++facts.Encrypted;
            (entry->CompressionMethod == AesMethod ? aes : zipCrypto) = true;
        }
    if (zipCrypto)
        facts.Methods.push_back(text::PropZipCrypto);
    if (aes)
        facts.Methods.push_back(text::PropAes);
    facts.StubSize = component.FirstHeaderOffset;
    if (facts.SizeOnDisk >= 0)
        facts.Comment = ReadArchiveComment(facts.Path);
    return facts;
}

std::vector<std::pair<std::string, std::string>> FactLines(const TArchiveFacts& facts)
{
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back(text::PropArchive, facts.Path);
    lines.emplace_back(text::PropSize, facts.SizeOnDisk < 0 ? std::string(text::PropNotOnDisk)
                                                            : Bytes(static_cast<std::uint64_t>(facts.SizeOnDisk)));
    lines.emplace_back(text::PropMembers, std::to_string(facts.Members));
    lines.emplace_back(text::PropPacked, Bytes(facts.Packed));
    lines.emplace_back(text::PropUnpacked, Bytes(facts.Unpacked));
    lines.emplace_back(text::PropRatio, std::to_string(Percent(facts.Packed, facts.Unpacked)) + "%");
    // "None", or "3 of 10, with AES".
    std::string encrypted = text::PropNone;
    if (facts.Encrypted > 0) {
        encrypted = std::to_string(facts.Encrypted) + text::PropOf + std::to_string(facts.Members);
        for (std::size_t i = 0; i < facts.Methods.size(); ++i)
            encrypted += (i == 0 ? text::PropWith : text::PropAnd) + facts.Methods[i];
    }
    lines.emplace_back(text::PropEncrypted, encrypted);
    lines.emplace_back(text::PropStub, facts.StubSize > 0 ? Bytes(static_cast<std::uint64_t>(facts.StubSize))
                                                         : std::string(text::PropNone));
    return lines;
}

}  // namespace app
