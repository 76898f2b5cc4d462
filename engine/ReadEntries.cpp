// The listing: walks the local file headers from the front of the file,
// after scanning past whatever stands before the first one (a
// self-extractor's stub), and stops at the first central directory header or
// end record. Only the local headers are read; member data is seeked over.
#include <cstring>
#include <exception>

#include "abi/LittleEndian.h"
#include "engine/BufferedReader.h"
#include "engine/EngineErrors.h"
#include "engine/Messages.h"
#include "engine/ZipMstr.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace engine {

namespace {

constexpr std::uint32_t LocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t EndRecordSignature = 0x06054B50;
constexpr std::int32_t MaxScannedBytes = 60000;
constexpr std::size_t NameBufferSize = 256;
constexpr std::int64_t EndRecordSize = 22;

using fernpack::Le32;

// Reads a member name of `length` bytes: keeps at most the first 256 (and
// stops at a zero byte), consumes the rest so the walk stays in step.
// False when the file ends first.
bool ReadName(BufferedReader& in, std::uint16_t length, std::string& name)
{
    char buffer[NameBufferSize];
    const std::int64_t kept = std::min<std::int64_t>(length, NameBufferSize);
    if (in.Read(buffer, kept) < kept)
        return false;
    for (std::int64_t rest = length - kept; rest > 0;) {
        char scratch[NameBufferSize];
        const std::int64_t chunk = std::min<std::int64_t>(rest, sizeof scratch);
        if (in.Read(scratch, chunk) < chunk)
            return false;
        rest -= chunk;
    }
    name.assign(buffer, strnlen(buffer, static_cast<std::size_t>(kept)));
    return true;
}

}  // namespace

void TRezEdidiv::ReadEntries()
{
    if (IsDesigning())
        return;
    ClearEntries();
    std::int32_t scanned = 0;
    FirstHeaderOffset = 0;

    if (!platform::FileExists(ZipFilename_)) {
        RaiseDirUpdate();
        return;
    }
    platform::FileStream file;
    if (!file.Open(ZipFilename_, platform::OpenMode::ReadDenyWrite))
        throw EFileStreamError(msg::CannotOpenFile + ZipFilename_);

    std::exception_ptr failure;
    try {
        const std::int64_t roomEnd = file.Size() - EndRecordSize;
        BufferedReader in(file);
        bool located = false;
        std::uint32_t signature = 0;
        auto noEntries = [this](int which) {
            ReportMessage(msg::NoValidEntries, msg::NoValidEntriesText + std::to_string(which));
        };

        for (;;) {
            if (!located) {
                std::uint8_t byte;
                if (!in.ReadByte(byte)) {
                    noEntries(1);
                    break;
                }
                if (++scanned > MaxScannedBytes) {
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

            auto entry = std::make_unique<ZipDirEntry>();
            std::uint8_t header[ZipDirEntry::HeaderSize];
            const bool complete = in.Read(header, sizeof header) == sizeof header &&
                                  (entry->DecodeHeader(header), ReadName(in, entry->FileNameLength, entry->FileName));
            if (!complete) {
                // Cut short: a false signature inside a stub, or a damaged archive.
                if (!Entries.empty())
                    throw EFileStreamError(msg::Error2ReadingZip);
                located = false;
                continue;
            }

            // The sum is taken in 64 bits so it cannot wrap, and a negative
            // size (which would send the walk backwards forever) fails too.
            const std::int64_t afterName = in.Position();
            const std::int64_t dataEnd =
                afterName + static_cast<std::int64_t>(entry->ExtraFieldLength) + entry->CompressedSize;
            if (entry->CompressedSize < 0 || dataEnd > roomEnd) {
                if (!Entries.empty())
                    throw EFileStreamError(msg::Error3ReadingZip);
                located = false;  // scanning resumes just after the name
                continue;
            }
            if (entry->ExtraFieldLength != 0) {
                const std::int64_t from = in.Position();
                if (in.SeekBy(entry->ExtraFieldLength) != from + entry->ExtraFieldLength)
                    throw EFileStreamError(msg::Error4ReadingZip);
            }
            const std::int64_t from = in.Position();
            if (in.SeekBy(entry->CompressedSize) != from + entry->CompressedSize)
                throw EFileStreamError(msg::Error5ReadingZip);
            Entries.push_back(std::move(entry));
        }
    } catch (...) {
        failure = std::current_exception();
    }
    file.Close();
    RaiseDirUpdate();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace engine
