#include "ExistingArchive.h"

#include <algorithm>

#include "libs/zipcore/ZipFormat.h"

namespace zipwriter {

using namespace zipcore;

namespace {

constexpr std::uint32_t kDescriptorSig = 0x08074b50;

}  // namespace

bool ExistingArchive::FindEnd(std::string* error)
{
    // The same choice as the reader: the record nearest the end whose comment
    // ends exactly at the file's end, else the nearest whose comment fits.
    std::size_t lowest = size_ > kEndRecordSize + kMaxCommentSize ? size_ - kEndRecordSize - kMaxCommentSize : 0;
    std::int64_t exact = -1, loose = -1;
    for (std::size_t pos = size_ - kEndRecordSize + 1; pos-- > lowest;) {
        if (Le32(bytes_ + pos) != kEndRecordSig)
            continue;
        std::size_t comment = Le16(bytes_ + pos + 20);
        if (pos + kEndRecordSize + comment == size_) {
            exact = std::int64_t(pos);
            break;
        }
        if (loose < 0 && pos + kEndRecordSize + comment <= size_)
            loose = std::int64_t(pos);
    }
    std::int64_t found = exact >= 0 ? exact : loose;
    if (found < 0) {
        *error = "not a zip archive";
        return false;
    }
    endRecord_ = std::uint64_t(found);
    const std::uint8_t* e = bytes_ + endRecord_;
    comment_.assign(reinterpret_cast<const char*>(e + kEndRecordSize), Le16(e + 20));
    directorySize_ = Le32(e + 12);
    std::uint64_t recordEnd = endRecord_;
    if (endRecord_ >= kZip64LocatorSize + kZip64EndRecordSize &&
        Le32(bytes_ + endRecord_ - kZip64LocatorSize) == kZip64LocatorSig) {
        std::uint64_t z = endRecord_ - kZip64LocatorSize - kZip64EndRecordSize;
        if (Le32(bytes_ + z) != kZip64EndRecordSig) {
            std::uint64_t stated = Le64(bytes_ + endRecord_ - kZip64LocatorSize + 8);
            if (stated > endRecord_ - kZip64EndRecordSize || Le32(bytes_ + stated) != kZip64EndRecordSig) {
                *error = "damaged Zip64 end record";
                return false;
            }
            z = stated;
        }
        directorySize_ = Le64(bytes_ + z + 40);
        recordEnd = z;
    }
    if (directorySize_ > recordEnd) {
        *error = "damaged archive: central directory larger than the file";
        return false;
    }
    directoryPos_ = recordEnd - directorySize_;
    return true;
}

bool ExistingArchive::Open(const std::uint8_t* bytes, std::size_t size, std::string* error)
{
    bytes_ = bytes;
    size_ = size;
    spans_.clear();
    comment_.clear();
    prefix_ = start_ = 0;
    if (size == 0) {
        static const std::uint8_t kEmpty[kEndRecordSize] = {0x50, 0x4b, 0x05, 0x06};
        bytes_ = kEmpty;
        size_ = kEndRecordSize;
        bool ok = reader_.Open(bytes_, size_, error);
        bytes_ = bytes;
        size_ = 0;
        return ok;
    }
    if (size < kEndRecordSize || !FindEnd(error))
        return size >= kEndRecordSize ? false : (*error = "not a zip archive", false);
    if (!reader_.Open(bytes, size, error))
        return false;
    if (reader_.Entries().empty()) {
        // What stands in front of the end record is kept; the empty
        // archive starts at the record (a self-extractor's fixed directory
        // offset says nothing about where that is).
        prefix_ = start_ = endRecord_;
        return true;
    }
    start_ = reader_.ArchiveStart();
    return MapMembers(error);
}

bool ExistingArchive::MapMembers(std::string* error)
{
    const auto& entries = reader_.Entries();
    spans_.resize(entries.size());
    std::uint64_t first = UINT64_MAX;
    // The raw central headers, in the order the reader listed them.
    std::uint64_t pos = directoryPos_;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipEntry& entry = entries[i];
        const std::uint8_t* h = bytes_ + pos;
        std::size_t total = kCentralHeaderSize + Le16(h + 28) + Le16(h + 30) + Le16(h + 32);
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
        span.data = std::uint64_t(data.data - bytes_);
        span.localHeaderSize = std::size_t(span.data - span.localHeader);
        span.dataSize = data.size;
        first = std::min(first, span.localHeader);
        std::uint16_t localFlags = Le16(bytes_ + span.localHeader + 6);
        if ((localFlags | entry.flags) & kFlagDataDescriptor) {
            std::uint64_t after = span.data + span.dataSize;
            bool signature = size_ - after >= 4 && Le32(bytes_ + after) == kDescriptorSig;
            // A Zip64 descriptor has 8-byte sizes; tell it by where the
            // next record starts.
            std::size_t plain = signature ? 16 : 12;
            std::size_t wide = signature ? 24 : 20;
            auto recordAt = [&](std::uint64_t p) {
                if (p + 4 > size_)
                    return false;
                std::uint32_t sig = Le32(bytes_ + p);
                return sig == kLocalHeaderSig || sig == kCentralHeaderSig || sig == kEndRecordSig ||
                       sig == kZip64EndRecordSig;
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
