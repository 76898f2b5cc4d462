#include "Extractor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "SafePath.h"
#include "SteppedSink.h"
#include "TempFile.h"
#include "zipformat/DosDateTime.h"

namespace zipcore {

namespace {

// Writes the data into the temporary file; runs of zeros become holes
// (the file system reads them back as zeros), so a disk image or any file
// that is mostly empty takes no more room extracted than it must.
class FileSink final : public OutputSink {
public:
    explicit FileSink(int fd) : fd_(fd) {}
    bool Write(const std::uint8_t* data, std::size_t len) override
    {
        if (len >= kHoleMinimum && data[0] == 0 && std::memcmp(data, data + 1, len - 1) == 0) {
            hole_ += len;
            return true;
        }
        if (hole_ > 0 && !SkipHole())
            return false;
        while (len > 0) {
            ssize_t n = ::write(fd_, data, len);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error_ = errno;
                return false;
            }
            data += n;
            len -= std::size_t(n);
        }
        return true;
    }
    // A hole at the end still counts for the file's size.
    bool Finish()
    {
        if (hole_ == 0)
            return true;
        if (!SkipHole())
            return false;
        const off_t end = lseek(fd_, 0, SEEK_CUR);
        if (end < 0 || ftruncate(fd_, end) != 0) {
            error_ = errno;
            return false;
        }
        return true;
    }
    int Error() const { return error_; }

private:
    bool SkipHole()
    {
        if (lseek(fd_, off_t(hole_), SEEK_CUR) < 0) {
            error_ = errno;
            return false;
        }
        hole_ = 0;
        return true;
    }
    static constexpr std::size_t kHoleMinimum = 4096;
    int fd_;
    int error_ = 0;
    std::uint64_t hole_ = 0;
};

ExtractOutcome FromDecode(DecodeStatus status)
{
    switch (status) {
    case DecodeStatus::Ok: return ExtractOutcome::Extracted;
    case DecodeStatus::Unsupported: return ExtractOutcome::Unsupported;
    case DecodeStatus::NeedPassword: return ExtractOutcome::NeedPassword;
    case DecodeStatus::WrongPassword: return ExtractOutcome::WrongPassword;
    case DecodeStatus::BadData: return ExtractOutcome::BadData;
    case DecodeStatus::BadCrc: return ExtractOutcome::BadCrc;
    case DecodeStatus::SinkStopped: return ExtractOutcome::WriteError;
    case DecodeStatus::Failed: return ExtractOutcome::BadData;
    }
    return ExtractOutcome::BadData;
}

mode_t ProcessUmask()
{
    // Read once: asking for the umask means setting it, so do it only here.
    static const mode_t mask = [] {
        mode_t m = umask(022);
        umask(m);
        return m;
    }();
    return mask;
}

}  // namespace

std::int64_t EntryModificationTime(const ZipEntry& entry)
{
    if (entry.hasUnixTime)
        return entry.unixTime;
    const std::time_t t = zip::UnixFromDos(zip::PackDosDateTime(entry.dosDate, entry.dosTime));
    return t == std::time_t(-1) ? 0 : std::int64_t(t);
}

Extractor::Extractor(TargetTree& tree, ExtractOptions options, EntryDecoder& decoder)
    : tree_(tree), options_(options), decoder_(decoder)
{
}

ExtractOutcome Extractor::Extract(const ZipEntry& entry, const EntryData& data, std::string_view password,
                                  const std::function<bool()>& step, std::string* detail)
{
    return ExtractWith(entry, step, detail, [&](OutputSink& sink, std::string* why) {
        return decoder_.Decode(entry, data, password, sink, why);
    });
}

ExtractOutcome Extractor::ExtractDecoded(const ZipEntry& entry, const std::uint8_t* decoded, std::size_t size,
                                         const std::function<bool()>& step, std::string* detail)
{
    return ExtractWith(entry, step, detail, [&](OutputSink& sink, std::string*) {
        // In pieces, as a decoder hands them over.
        constexpr std::size_t kPiece = std::size_t(1) << 20;
        for (std::size_t at = 0; at < size; at += kPiece)
            if (!sink.Write(decoded + at, std::min(kPiece, size - at)))
                return DecodeStatus::SinkStopped;
        return DecodeStatus::Ok;
    });
}

template <class Produce>
ExtractOutcome Extractor::ExtractWith(const ZipEntry& entry, const std::function<bool()>& step, std::string* detail,
                                      Produce produce)
{
    std::vector<std::string> parts;
    if (!SplitSafePath(entry.name, &parts, detail))
        return ExtractOutcome::UnsafeName;
    if (entry.IsSymlink()) {
        *detail = "symbolic links are not extracted";
        return ExtractOutcome::Symlink;
    }
    if (entry.IsDirectory()) {
        // Without folder names every file lands in the target folder itself,
        // which exists; a folder entry has nothing more to create.
        if (options_.dirNames && tree_.OpenFolder(parts, parts.size(), true, detail) < 0)
            return ExtractOutcome::WriteError;
        return ExtractOutcome::Extracted;
    }
    if (parts.empty()) {
        *detail = "empty name";
        return ExtractOutcome::UnsafeName;
    }
    std::string leaf = parts.back();
    if (!options_.dirNames)
        parts.assign(1, leaf);
    int dirFd = tree_.OpenFolder(parts, parts.size() - 1, true, detail);
    if (dirFd < 0)
        return ExtractOutcome::WriteError;

    // The member's time is worked out only where it is used: a DOS time
    // goes through the local time zone, which costs more than a skip.
    bool replace = options_.overwrite;
    if (options_.freshen || options_.update || !options_.overwrite) {
        struct stat st;
        if (fstatat(dirFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISDIR(st.st_mode)) {
                *detail = "a folder of that name exists";
                return ExtractOutcome::WriteError;
            }
            if (options_.freshen || options_.update) {
                if (st.st_mtime >= EntryModificationTime(entry)) {
                    *detail = "the existing file is not older";
                    return ExtractOutcome::SkippedNotNewer;
                }
                replace = true;
            } else {
                *detail = "the file exists";
                return ExtractOutcome::SkippedExisting;
            }
        } else if (options_.freshen && !options_.update) {
            *detail = "no existing file to freshen";
            return ExtractOutcome::SkippedMissing;
        }
    }

    // Permission bits without set-uid, set-gid and sticky; created with them
    // so that only a umask that would change them costs a second call.
    const bool unixMode = entry.HasUnixMode() && (entry.UnixMode() & 0777) != 0;
    const mode_t mode = unixMode ? mode_t(entry.UnixMode() & 0777) : 0666;
    TempFile temp;
    if (!temp.Create(dirFd, mode, detail)) {
        *detail = "cannot create a temporary file: " + *detail;
        return ExtractOutcome::WriteError;
    }
    FileSink file(temp.Descriptor());
    SteppedSink sink(&file, entry.uncompressedSize, step);
    DecodeStatus status = produce(sink, detail);
    if (status == DecodeStatus::SinkStopped) {
        temp.Discard();
        if (sink.Stopped())
            return ExtractOutcome::Stopped;
        *detail = std::string("write error: ") + std::strerror(file.Error());
        return ExtractOutcome::WriteError;
    }
    if (status != DecodeStatus::Ok) {
        temp.Discard();
        return FromDecode(status);
    }
    if (!file.Finish()) {
        temp.Discard();
        *detail = std::string("write error: ") + std::strerror(file.Error());
        return ExtractOutcome::WriteError;
    }
    if (unixMode && (mode & ~ProcessUmask()) != mode)
        fchmod(temp.Descriptor(), mode);
    struct timespec times[2];
    times[0].tv_sec = time_t(EntryModificationTime(entry));
    times[0].tv_nsec = 0;
    times[1] = times[0];
    futimens(temp.Descriptor(), times);
    if (!sink.Finish()) {
        temp.Discard();
        return ExtractOutcome::Stopped;
    }
    bool exists = false;
    if (!temp.Commit(leaf, replace, &exists, detail)) {
        if (exists) {
            *detail = "the file exists";
            return ExtractOutcome::SkippedExisting;
        }
        *detail = "cannot write " + leaf + ": " + *detail;
        return ExtractOutcome::WriteError;
    }
    return ExtractOutcome::Extracted;
}

}  // namespace zipcore
