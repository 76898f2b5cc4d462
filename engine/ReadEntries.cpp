// The listing: walks the local file headers from the front of the file,
// after scanning past whatever stands before the first one (a
// self-extractor's stub), and stops at the first central directory header or
// end record. Only the local headers are read; member data is seeked over.
//
// A member written to a stream that could not seek back (general flag bit 3)
// has no sizes in its local header; they follow its data in a descriptor.
// For such a member alone the central directory is consulted: it gives the
// CRC and sizes that are listed, and the walk steps over the data and the
// descriptor. Without a readable central directory the walk goes on as it
// always has, from the local header's own values.
//
// A name longer than the 256 bytes the listing keeps is listed with those
// 256 bytes (the text to show), and the central directory gives the whole
// name by which the member is named to the libraries.
//
// Sizes are unsigned 32-bit values. One that is all ones (a member of 4 GiB
// or more, or one a writer chose to describe with Zip64) is taken from the
// local header's Zip64 extra field, or from the central directory when the
// local header lacks it; the walk steps over the data by that real size and
// the entry carries it beside the fields as read.
//
// While it has the file open, the listing also reads the end of the archive
// (zipformat/EndOfArchive.h): the comment, and, when it finds no member,
// whether the file is a valid archive without members, so that nobody needs
// to open the file again to ask.
#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>
#include <vector>

#include "engine/BufferedReader.h"
#include "engine/CentralDirectory.h"
#include "engine/EngineErrors.h"
#include "engine/Messages.h"
#include "engine/ZipMstr.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/LockWait.h"
#include "zipformat/EndOfArchive.h"
#include "zipformat/Flags.h"
#include "zipformat/LittleEndian.h"
#include "zipformat/Zip64Field.h"
#include "zipformat/ZipRecords.h"

namespace engine {

namespace {

using fernpack::zip::CentralHeaderSignature;
using fernpack::zip::EndRecordSignature;
using fernpack::zip::LocalHeaderSignature;
constexpr std::int64_t EndRecordSize = fernpack::zip::EndRecordSize;
// The longest data descriptor: signature, CRC and two 64-bit sizes.
constexpr std::int64_t MaxDescriptorSize = 24;

using fernpack::Le32;

bool ReadFile(const void* context, std::uint64_t offset, void* out, std::size_t count)
{
    const auto length = static_cast<std::int64_t>(count);
    return static_cast<const platform::FileStream*>(context)->ReadAt(static_cast<std::int64_t>(offset), out, length) ==
           length;
}

// The end of the archive and its central directory, each read the first
// time the listing needs it.
class ArchiveEnd {
public:
    explicit ArchiveEnd(const platform::FileStream& file) : file_(file) {}

    // The end of the archive, or null when it has none that can be read.
    const zip::EndOfArchive* End()
    {
        if (!endRead_) {
            endRead_ = true;
            zip::ByteSource source;
            source.Size = static_cast<std::uint64_t>(std::max<std::int64_t>(file_.Size(), 0));
            source.ReadAt = ReadFile;
            source.Context = &file_;
            problem_ = zip::FindEndOfArchive(source, &end_);
        }
        return problem_ == zip::EndProblem::None ? &end_ : nullptr;
    }

    // A valid archive without members.
    bool Empty() { return End() != nullptr && end_.Empty; }

    std::string Comment()
    {
        std::string comment;
        if (End() != nullptr) {
            comment.resize(end_.CommentSize);
            if (file_.ReadAt(static_cast<std::int64_t>(end_.CommentAt()), comment.data(), end_.CommentSize) !=
                end_.CommentSize)
                comment.clear();
        }
        return comment;
    }

    const CentralRecord* Find(std::int64_t headerOffset)
    {
        if (!directoryRead_) {
            directoryRead_ = true;
            if (End() != nullptr)
                directory_.Read(file_, end_);
        }
        return directory_.Find(headerOffset);
    }

private:
    const platform::FileStream& file_;
    zip::EndOfArchive end_;
    zip::EndProblem problem_ = zip::EndProblem::None;
    bool endRead_ = false;
    CentralDirectory directory_;
    bool directoryRead_ = false;
};

// Steps over the data descriptor that follows a streamed member's data,
// when one matching the central record stands there; otherwise leaves the
// position alone, and the walk steps over what it does not recognise.
void SkipDescriptor(BufferedReader& in, const CentralRecord& central, bool zip64First)
{
    std::uint8_t bytes[MaxDescriptorSize];
    const std::int64_t got = in.Read(bytes, sizeof bytes);  // fewer near the end of the file
    const std::size_t length = DescriptorLength(bytes, static_cast<std::size_t>(got), central, zip64First);
    in.SeekBy(static_cast<std::int64_t>(length) - got);
}

// The sizes a local header's Zip64 extra field gives for its saturated
// 32-bit fields; nothing when the field is missing or too short for them.
struct Sizes {
    std::uint64_t Compressed;
    std::uint64_t Uncompressed;
};

std::optional<Sizes> Zip64Sizes(const ZipDirEntry& entry, const std::vector<std::uint8_t>& extra)
{
    zip::Zip64Values values;
    values.Compressed = static_cast<std::uint32_t>(entry.CompressedSize);
    values.Uncompressed = static_cast<std::uint32_t>(entry.UncompressedSize);
    const std::uint8_t* field = nullptr;
    std::size_t size = 0;
    if (!zip::FindExtraField(extra.data(), extra.size(), zip::ExtraZip64, &field, &size) ||
        !zip::ApplyZip64Field(field, size, values, true))
        return std::nullopt;
    return Sizes{values.Compressed, values.Uncompressed};
}

// Reads a member name of `length` bytes: keeps at most the first 256 (and
// stops at a zero byte) in `name`, and a longer name whole in `whole`, so
// the walk stays in step. False when the file ends first.
bool ReadName(BufferedReader& in, std::uint16_t length, std::string& name, std::string& whole)
{
    whole.resize(length);
    if (in.Read(whole.data(), length) < length)
        return false;
    const std::size_t kept = std::min<std::size_t>(length, ZipDirEntry::NameKept);
    name.assign(whole.data(), strnlen(whole.data(), kept));
    if (length <= ZipDirEntry::NameKept)
        whole.clear();
    return true;
}

// Opens the archive for the listing, denying writers. A writer (an add or
// delete, in this program or another) holds the archive while it puts the
// new one in place; the listing waits for it, within bounds, and then reads
// the finished archive instead of failing on work that is being done.
// *lockHeld tells a failure that was the lock's.
bool OpenForListing(platform::FileStream& file, const std::string& path, bool* lockHeld)
{
    return file.OpenWaiting(path, platform::OpenMode::ReadDenyWrite, TRezEdidiv::WriterWaitMs, lockHeld);
}

}  // namespace

void TRezEdidiv::ReadEntries()
{
    if (IsDesigning())
        return;
    ClearEntries();
    std::int32_t scanned = 0;
    FirstHeaderOffset = 0;
    emptyArchive_ = false;
    archiveComment_.clear();

    if (!platform::FileExists(ZipFilename_)) {
        RaiseDirUpdate();
        return;
    }
    platform::FileStream file;
    bool lockHeld = false;
    if (!OpenForListing(file, ZipFilename_, &lockHeld))
        throw EFileStreamError(msg::CannotOpenFile + ZipFilename_, lockHeld ? platform::LockHeldText : "");

    std::exception_ptr failure;
    try {
        const std::int64_t roomEnd = file.Size() - EndRecordSize;
        BufferedReader in(file);
        ArchiveEnd archiveEnd(file);
        std::vector<std::uint8_t> extra;
        std::string wholeName;
        bool located = false;
        std::uint32_t signature = 0;
        auto noEntries = [&](int which) {
            // Said before the message, which its handler may ask about.
            emptyArchive_ = archiveEnd.Empty();
            ReportMessage(msg::NoValidEntries, msg::NoValidEntriesText + std::to_string(which));
        };

        for (;;) {
            if (!located) {
                std::uint8_t byte;
                if (!in.ReadByte(byte)) {
                    noEntries(1);
                    break;
                }
                if (++scanned > TRezEdidiv::MaxScannedBytes) {
                    noEntries(2);
                    break;
                }
                if (byte != 'P')
                    continue;
                // A byte that breaks a partial match is not looked at again.
                if (!in.ReadByte(byte)) {
                    noEntries(3);
                    break;
                }
                if (byte != 'K')
                    continue;
                if (!in.ReadByte(byte)) {
                    noEntries(4);
                    break;
                }
                if (byte != 3)
                    continue;
                if (!in.ReadByte(byte)) {
                    noEntries(5);
                    break;
                }
                if (byte != 4)
                    continue;
                if (in.Position() - 4 > std::numeric_limits<std::int32_t>::max()) {
                    // Only false headers so far, and further in than a
                    // stub's length (FirstHeaderOffset) can say.
                    noEntries(2);
                    break;
                }
                located = true;
                signature = LocalHeaderSignature;
                FirstHeaderOffset = static_cast<std::int32_t>(in.Position() - 4);
            } else {
                std::uint8_t raw[4];
                if (in.Read(raw, 4) < 4)
                    throw EFileStreamError(msg::ErrorReadingZip);
                signature = Le32(raw);
            }

            if (signature == CentralHeaderSignature || signature == EndRecordSignature)
                break;
            if (signature != LocalHeaderSignature)
                continue;  // unknown 4 bytes (a data descriptor, say): step over them
            const std::int64_t headerAt = in.Position() - 4;

            auto entry = std::make_unique<ZipDirEntry>();
            std::uint8_t header[ZipDirEntry::HeaderSize];
            const bool complete =
                in.Read(header, sizeof header) == sizeof header &&
                (entry->DecodeHeader(header), ReadName(in, entry->FileNameLength, entry->FileName, wholeName));
            if (!complete) {
                // Cut short: a false signature inside a stub, or a damaged archive.
                if (!Entries.empty())
                    throw EFileStreamError(msg::Error2ReadingZip);
                located = false;
                continue;
            }

            const std::int64_t afterName = in.Position();
            // Compared by subtraction in 64 bits so nothing can wrap.
            auto fits = [&](std::uint64_t dataSize) {
                const std::int64_t room = roomEnd - afterName - entry->ExtraFieldLength;
                return room >= 0 && dataSize <= static_cast<std::uint64_t>(room);
            };
            auto passOver = [&]() {
                // Scanning resumes just after the name.
                if (!Entries.empty())
                    throw EFileStreamError(msg::Error3ReadingZip);
                in.SeekBy(afterName - in.Position());
                located = false;
            };

            // The extra field is read rather than seeked over when the
            // sizes depend on it: a Zip64 field holds the real ones, and
            // for a streamed member it tells which descriptor form to
            // expect first.
            const bool streamed = (entry->GeneralFlags & zip::FlagDataDescriptor) != 0;
            const bool saturated = static_cast<std::uint32_t>(entry->CompressedSize) == zip::Saturated32 ||
                                   static_cast<std::uint32_t>(entry->UncompressedSize) == zip::Saturated32;
            const bool readExtra = streamed || saturated;
            if (readExtra) {
                if (!fits(0)) {
                    passOver();
                    continue;
                }
                extra.resize(entry->ExtraFieldLength);
                if (in.Read(extra.data(), entry->ExtraFieldLength) != entry->ExtraFieldLength)
                    throw EFileStreamError(msg::Error4ReadingZip);
            }

            // A streamed member is listed with its central record's CRC and
            // sizes, and its data is as long as that record says.
            const CentralRecord* central = streamed ? archiveEnd.Find(headerAt) : nullptr;
            if (central != nullptr) {
                entry->Crc32 = central->Crc32;
                entry->CompressedSize = static_cast<std::int32_t>(central->CompressedSize32);
                entry->UncompressedSize = static_cast<std::int32_t>(central->UncompressedSize32);
                entry->SetRealSizes(central->CompressedSize, central->UncompressedSize);
            } else if (saturated) {
                // Sizes too large for the header: from its Zip64 field, or
                // failing that from the central directory; else the
                // saturated values stand and the room check judges them.
                const std::optional<Sizes> sizes = Zip64Sizes(*entry, extra);
                const CentralRecord* record = sizes ? nullptr : archiveEnd.Find(headerAt);
                if (sizes)
                    entry->SetRealSizes(sizes->Compressed, sizes->Uncompressed);
                else if (record != nullptr)
                    entry->SetRealSizes(record->CompressedSize, record->UncompressedSize);
            }

            const std::uint64_t dataSize = entry->RealCompressedSize();
            if (!fits(dataSize)) {
                passOver();
                continue;
            }
            if (!readExtra && entry->ExtraFieldLength != 0) {
                const std::int64_t from = in.Position();
                if (in.SeekBy(entry->ExtraFieldLength) != from + entry->ExtraFieldLength)
                    throw EFileStreamError(msg::Error4ReadingZip);
            }
            // Fits the file, so it fits a signed 64-bit step too.
            const std::int64_t step = static_cast<std::int64_t>(dataSize);
            const std::int64_t from = in.Position();
            if (in.SeekBy(step) != from + step)
                throw EFileStreamError(msg::Error5ReadingZip);
            if (central != nullptr)
                SkipDescriptor(in, *central, HasZip64Field(extra.data(), extra.size()));
            if (!wholeName.empty() && entry->FileName.size() == ZipDirEntry::NameKept) {
                // A name longer than the listing keeps: the libraries know
                // the member by its central directory's name.
                const CentralRecord* record = archiveEnd.Find(headerAt);
                entry->SetFullName(record != nullptr && !record->LongName.empty() ? record->LongName
                                                                                   : std::move(wholeName));
            }
            Entries.push_back(std::move(entry));
        }
        archiveComment_ = archiveEnd.Comment();
    } catch (...) {
        failure = std::current_exception();
    }
    file.Close();
    RaiseDirUpdate();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace engine
