#include "ExistingArchive.h"

#include <algorithm>

#include "libs/zipcore/MappedFile.h"

namespace zipwriter {

using namespace zipcore;

void ExistingArchive::Passed(std::size_t index) const
{
    if (fileMapped_ && index < spans_.size())
        passed_.At(bytes_ + spans_[index].localHeader);
}

bool ExistingArchive::Open(const std::uint8_t* bytes, std::size_t size, std::string* error, bool fileMapped)
{
    bytes_ = bytes;
    fileMapped_ = fileMapped;
    size_ = size;
    spans_.clear();
    comment_.clear();
    prefix_ = start_ = 0;
    if (size == 0) {
        // A new or emptied file: read as the end record of an empty archive.
        static const std::uint8_t kEmpty[zip::EndRecordSize] = {0x50, 0x4b, 0x05, 0x06};
        return reader_.Open(kEmpty, sizeof kEmpty, error);
    }
    PassedPages walk;
    if (fileMapped)
        reader_.OnPassedBytes([](void* pages, const std::uint8_t* at) { static_cast<PassedPages*>(pages)->At(at); },
                              &walk);
    const bool opened = reader_.Open(bytes, size, error);
    reader_.OnPassedBytes(nullptr, nullptr);
    if (!opened)
        return false;
    const zip::EndOfArchive& end = reader_.End();
    comment_.assign(reinterpret_cast<const char*>(bytes_ + end.CommentAt()), end.CommentSize);
    // What stands in front of an empty archive is kept; it starts at its
    // end record (a self-extractor's fixed directory offset says nothing
    // about where that is).
    start_ = end.ArchiveStart;
    if (reader_.Entries().empty()) {
        prefix_ = start_;
        return true;
    }
    const bool mapped = MapMembers(error);
    if (fileMapped_)
        ReleaseMappedPages(bytes_, bytes_ + size_);
    passed_ = PassedPages();
    return mapped;
}

bool ExistingArchive::MapMembers(std::string* error)
{
    const auto& entries = reader_.Entries();
    spans_.resize(entries.size());
    std::uint64_t first = UINT64_MAX;
    // The raw central headers, in the order the reader listed them.
    std::uint64_t pos = reader_.End().DirectoryAt;
    PassedPages passed;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipEntry& entry = entries[i];
        // Copied as they are, members that share their data would each
        // carry it again: a small bomb would become a big archive that
        // tests good. Refused as a test refuses them.
        if (entry.overlapsAnother) {
            *error = entry.name + ": " + kOverlapText;
            return false;
        }
        const std::uint8_t* h = bytes_ + pos;
        std::size_t total = zip::CentralHeaderSize + Le16(h + 28) + Le16(h + 30) + Le16(h + 32);
        spans_[i].central = h;
        spans_[i].centralSize = total;
        pos += total;

        EntryData data;
        if (!reader_.LocateData(entry, &data, error)) {
            *error = entry.name + ": " + *error;
            return false;
        }
        MemberSpan& span = spans_[i];
        span.localHeader = start_ + entry.localOffset;
        if (fileMapped_)
            passed.At(bytes_ + span.localHeader);
        span.data = std::uint64_t(data.data - bytes_);
        span.localHeaderSize = std::size_t(span.data - span.localHeader);
        span.dataSize = data.size;
        first = std::min(first, span.localHeader);
        std::uint16_t localFlags = Le16(bytes_ + span.localHeader + 6);
        if ((localFlags | entry.flags) & zip::FlagDataDescriptor) {
            std::uint64_t after = span.data + span.dataSize;
            bool signature = size_ - after >= 4 && Le32(bytes_ + after) == zip::DescriptorSignature;
            // A Zip64 descriptor has 8-byte sizes; tell it by where the
            // next record starts.
            std::size_t plain = signature ? 16 : 12;
            std::size_t wide = signature ? 24 : 20;
            auto recordAt = [&](std::uint64_t p) {
                if (p + 4 > size_)
                    return false;
                std::uint32_t sig = Le32(bytes_ + p);
                return sig == zip::LocalHeaderSignature || sig == zip::CentralHeaderSignature || sig == zip::EndRecordSignature ||
                       sig == zip::Zip64EndRecordSignature;
            };
            span.descriptorSize = !recordAt(after + plain) && recordAt(after + wide) ? wide : plain;
            if (after + span.descriptorSize > size_) {
                *error = entry.name + ": data descriptor cut short";
                return false;
            }
        }
    }
    prefix_ = first;
    return true;
}

}  // namespace zipwriter
