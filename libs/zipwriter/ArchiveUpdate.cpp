#include "ArchiveUpdate.h"

#include <algorithm>
#include <ctime>
#include <cerrno>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AesEncryptor.h"
#include "ArchiveLock.h"
#include "ExistingArchive.h"
#include "InputStream.h"
#include "MemberCopy.h"
#include "Pipeline.h"
#include "SourceWalk.h"
#include "ZipRecords.h"
#include "libs/zipcore/Crc32.h"
#include "libs/zipcore/OpensslCrypto.h"
#include "libs/zipcore/SteppedSink.h"
#include "libs/zipcore/TempFile.h"
#include "zipformat/DosDateTime.h"
#include "zipformat/Flags.h"
#include "zipformat/MemberSelector.h"
#include "zipformat/StoredName.h"

namespace zipwriter {

using zipcore::CallbackReporter;

int EffectiveLevel(int requested)
{
    if (requested < 0)
        return 6;
    if (requested > 9)
        return 12;
    return requested;
}

namespace {

// Takes a file's progress steps as its bytes pass.
class StepCounter {
public:
    StepCounter(CallbackReporter& reporter, std::uint64_t size)
        : reporter_(reporter), size_(size), steps_(zipcore::ProgressSteps(size))
    {
    }
    // Steps due once `done` of the file's bytes have passed; the last one is
    // kept for Finish. False when the caller asked to stop.
    bool Advance(std::uint64_t done)
    {
        while (taken_ + 1 < steps_ && Boundary(taken_ + 1) <= done) {
            ++taken_;
            if (!reporter_.FileStep())
                return false;
        }
        return true;
    }
    bool Finish()
    {
        while (taken_ < steps_) {
            ++taken_;
            if (!reporter_.FileStep())
                return false;
        }
        return true;
    }

private:
    std::uint64_t Boundary(std::uint64_t k) const
    {
        return (size_ / steps_) * k + (size_ % steps_) * k / steps_;
    }
    CallbackReporter& reporter_;
    std::uint64_t size_, steps_, taken_ = 0;
};

// A new member's stored name as people see it (zipcore::MemberText), with
// the UTF-8 flag it is given.
std::string Shown(const std::string& storedName)
{
    return zipcore::MemberText(storedName, zip::NeedsUtf8Flag(storedName) ? zip::FlagUtf8Name : 0);
}

struct NewMember {
    SourceFile source;
    std::string name;
    std::size_t replaces = SIZE_MAX;  // index of the member it replaces
};

// A source file as it was when the add opened it.
struct ReadState {
    bool known = false;
    std::uint64_t size = 0;
    struct timespec modified {};
    dev_t device = 0;
    ino_t inode = 0;
};

// True when the file at `path` is still the one read, as it was read: a
// source that changed since (grown, rewritten, replaced) holds bytes the
// archive does not, so a move must not delete it.
bool Unchanged(const std::string& path, const ReadState& read)
{
    struct stat st;
    return read.known && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           std::uint64_t(st.st_size) == read.size && st.st_mtim.tv_sec == read.modified.tv_sec &&
           st.st_mtim.tv_nsec == read.modified.tv_nsec && st.st_dev == read.device && st.st_ino == read.inode;
}


// One new member on its way into the archive: its local header, written
// first and patched once the data is known, its data (through AES when the
// add encrypts) and, at the end, its central header.
struct MemberWrite {
    MemberHeader header;
    std::time_t mtime = 0;
    std::uint16_t vendorVersion = 1;  // AES: AE-1, or AE-2 for tiny files
    std::uint16_t method = 0;         // of the data, before any encryption
    std::uint64_t memberStart = 0, dataStart = 0;
    AesEncryptor aesState;
    AesEncryptor* aes = nullptr;  // set while encrypted data is written
};

struct PlanItem {
    bool copy;
    std::size_t index;  // into the old entries, or into the new members
};

enum class Outcome { Written, Skipped, Stopped, Failed };

class Session {
public:
    Session(const UpdateOptions& options, CallbackReporter& reporter) : options_(options), reporter_(reporter) {}

    std::int32_t Add();
    std::int32_t Delete();

private:
    bool OpenArchive();
    bool SelectSources();
    bool WriteAndCommit(const std::vector<PlanItem>& plan, bool requireNew);
    Outcome WriteNew(std::size_t memberIndex, std::size_t k, Pipeline& pipeline, OutputFile& out);
    Outcome WriteStream(const NewMember& member, OutputFile& out);
    Outcome WriteFolder(const NewMember& member, OutputFile& out);
    // The parts of writing one new member, in order. `size` is the data's
    // size, or UINT64_MAX while it is not known (standard input).
    void StartHeader(MemberWrite& w, const NewMember& member, std::time_t mtime, mode_t mode, std::uint64_t size);
    void Describe(MemberWrite& w, std::uint16_t method);
    bool WriteLocalHeader(MemberWrite& w, OutputFile& out);
    bool BeginData(MemberWrite& w, OutputFile& out);
    bool EndData(MemberWrite& w, OutputFile& out);
    bool CompleteMember(MemberWrite& w, OutputFile& out, std::uint32_t crc, const NewMember& member);
    bool PutData(OutputFile& out, AesEncryptor* aes, const std::uint8_t* data, std::size_t len,
                 StepCounter* steps, std::uint64_t inputFrom, std::uint64_t inputTo);
    bool CopyStored(OutputFile& out, AesEncryptor* aes, const PreparedMember& member, StepCounter* steps,
                    std::uint32_t* crc, std::string* error);
    void Info(const std::string& text)
    {
        if (options_.verbose || options_.trace)
            reporter_.Message(zipcore::kInfo, text);
    }
    std::int32_t End(std::int32_t count)
    {
        if (reporter_.Stopped())
            return 0;
        reporter_.BatchEnd();
        return count;
    }

    const UpdateOptions& options_;
    CallbackReporter& reporter_;
    LockedArchive lock_;
    ExistingArchive existing_;
    std::vector<NewMember> members_;
    std::vector<std::string> centrals_;
    std::uint64_t archiveStart_ = 0;
    std::uint32_t newestDos_ = 0;
    std::int32_t written_ = 0;
    std::vector<std::size_t> writtenMembers_;
    std::vector<ReadState> readAs_;  // by member, for a move
    bool cancelled_ = false;
    std::vector<std::uint8_t> scratch_;
};

bool Session::OpenArchive()
{
    std::string error;
    if (!lock_.Open(options_.archivePath, options_.lockWaitMs, [this] { return reporter_.StillWanted(); }, &error)) {
        if (!reporter_.Stopped())
            reporter_.Message(zipcore::kArchiveUnreadable,
                              {"Cannot open ", zipcore::Named(options_.archivePath), ": ", error});
        return false;
    }
    // The new archive replaces the old by a rename in its folder, which the
    // archive's own permissions would not stop: they are asked here, as for
    // a file written in place, so a read-only archive stays as it is.
    if (lock_.Exists() && faccessat(lock_.DirFd(), lock_.BaseName().c_str(), W_OK, AT_EACCESS) != 0) {
        const std::string why = std::strerror(errno);
        reporter_.Message(zipcore::kWriteError, {"Cannot change ", zipcore::Named(options_.archivePath),
                                                 ": you may not write to it (", why, "); it was left unchanged"});
        return false;
    }
    zipcore::RemoveStaleTemporaries(lock_.DirFd());
    if (!existing_.Open(lock_.Data(), lock_.Size(), &error, true)) {
        reporter_.Message(zipcore::kArchiveDamaged,
                          {zipcore::Named(options_.archivePath), ": ", error, "; it was left unchanged"});
        return false;
    }
    return true;
}

// Standard input as the one source of an add, to be stored under `name`:
// a regular file of the user's default permissions, modified now; its size
// is learnt as it is read.
WalkResult StandardInput(const std::string& name)
{
    SourceFile file;
    file.path = "standard input";
    file.namePath = name;
    file.mtime = std::time(nullptr);
    const mode_t mask = umask(022);
    umask(mask);
    file.mode = S_IFREG | (0666 & ~mask);
    file.standardInput = true;
    WalkResult result;
    result.files.push_back(std::move(file));
    return result;
}

bool Session::SelectSources()
{
    WalkOptions walk;
    walk.hidden = options_.hidden;
    walk.recurse = options_.recurse;
    walk.emptyFolders = options_.recurse && options_.dirNames;
    walk.archivePath = options_.archivePath;

    std::unordered_map<std::string, std::size_t> stored;
    for (std::size_t i = 0; i < existing_.Entries().size(); ++i)
        stored[existing_.Entries()[i].name] = i;
    std::unordered_set<std::string> taken;

    FolderListings listings;  // each folder read once, however many patterns name it
    for (const auto& fileSpec : options_.specs) {
        WalkResult found = options_.fromStdin ? StandardInput(fileSpec) : SelectFiles(fileSpec, walk, &listings);
        for (const auto& problem : found.problems)
            reporter_.Message(kSourceUnreadable, "Cannot read folder " + problem);
        if (found.files.empty()) {
            reporter_.Message(kSpecMatchedNothing,
                              fileSpec.empty() ? std::string("An empty pattern names no files")
                                               : "No files found for " + fileSpec);
            continue;
        }
        for (auto& file : found.files) {
            std::string name = zip::StoredName(file.namePath, options_.dirNames);
            if (name.empty())
                continue;
            if (options_.forceDos)
                name = zip::ForceDosName(name);
            if (file.isDirectory)
                name += '/';
            // Files passed over still take the progress steps the count
            // before the add gave them, so the caller's bars end full.
            auto passOver = [&]() {
                if (file.isDirectory)
                    return true;
                if (!reporter_.FileBegin(Shown(name), file.size))
                    return false;
                for (std::uint64_t i = zipcore::ProgressSteps(file.size); i > 0; --i)
                    if (!reporter_.FileStep())
                        return false;
                return true;
            };
            if (!taken.insert(name).second) {
                Info("  skipping " + file.path + ": " + Shown(name) + " is added already");
                if (!passOver())
                    return false;
                continue;
            }
            NewMember member;
            auto old = stored.find(name);
            if (old != stored.end()) {
                const zipcore::ZipEntry& entry = existing_.Entries()[old->second];
                if (file.isDirectory)
                    continue;  // the folder is there already
                const std::uint32_t memberTime = zip::PackDosDateTime(entry.dosDate, entry.dosTime);
                if ((options_.update || options_.freshen) && zip::DosFromUnix(file.mtime) <= memberTime) {
                    Info("  " + Shown(name) + " is up to date");
                    if (!passOver())
                        return false;
                    continue;
                }
                member.replaces = old->second;
            } else if (options_.freshen && !options_.update) {
                if (!passOver())
                    return false;
                continue;
            }
            member.source = std::move(file);
            member.name = std::move(name);
            members_.push_back(std::move(member));
        }
    }
    return !members_.empty();
}

bool Session::PutData(OutputFile& out, AesEncryptor* aes, const std::uint8_t* data, std::size_t len,
                      StepCounter* steps, std::uint64_t inputFrom, std::uint64_t inputTo)
{
    constexpr std::size_t kChunk = 64 * 1024;
    std::size_t done = 0;
    while (done < len) {
        std::size_t n = std::min(kChunk, len - done);
        if (aes) {
            scratch_.assign(data + done, data + done + n);
            if (!aes->Encrypt(scratch_.data(), n)) {
                reporter_.Message(zipcore::kInternalError, "Encryption failed; nothing was written");
                return false;
            }
            if (!out.Write(scratch_.data(), n))
                return false;
        } else if (!out.Write(data + done, n)) {
            return false;
        }
        done += n;
        if (steps) {
            std::uint64_t input = inputFrom + (len ? (inputTo - inputFrom) * done / len : 0);
            if (!steps->Advance(input)) {
                cancelled_ = true;
                return false;
            }
        }
    }
    if (steps && len == 0 && !steps->Advance(inputTo)) {
        cancelled_ = true;
        return false;
    }
    return true;
}

bool Session::CopyStored(OutputFile& out, AesEncryptor* aes, const PreparedMember& member, StepCounter* steps,
                         std::uint32_t* crc, std::string* error)
{
    std::vector<std::uint8_t> buffer(std::size_t(1) << 20);
    std::uint64_t at = 0;
    *crc = 0;
    while (at < member.size) {
        std::size_t want = std::size_t(std::min<std::uint64_t>(buffer.size(), member.size - at));
        ssize_t n = pread(member.source->fd, buffer.data(), want, off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? std::strerror(errno) : "the file became shorter while it was read";
            return false;
        }
        *crc = zipcore::Crc32(*crc, buffer.data(), std::size_t(n));
        if (!PutData(out, aes, buffer.data(), std::size_t(n), steps, at, at + std::uint64_t(n)))
            return false;
        at += std::uint64_t(n);
    }
    return true;
}

Outcome Session::WriteFolder(const NewMember& member, OutputFile& out)
{
    MemberHeader header;
    header.name = member.name;
    header.flags = zip::NeedsUtf8Flag(member.name) ? zip::FlagUtf8Name : 0;
    header.dosDateTime = zip::DosFromUnix(member.source.mtime);
    header.externalAttributes = std::uint32_t(member.source.mode & 0xFFFF) << 16 | 0x10;
    header.extra = UnixTimeExtra(member.source.mtime);
    std::uint64_t offset = out.Position() - archiveStart_;
    std::string local = LocalHeaderBytes(header);
    if (!out.Write(local.data(), local.size()))
        return Outcome::Failed;
    centrals_.push_back(CentralHeaderBytes(header, offset));
    newestDos_ = std::max(newestDos_, header.dosDateTime);
    Info("  adding: " + Shown(member.name));
    return Outcome::Written;
}

void Session::StartHeader(MemberWrite& w, const NewMember& member, std::time_t mtime, mode_t mode, std::uint64_t size)
{
    MemberHeader& header = w.header;
    header.name = member.name;
    header.flags = zip::NeedsUtf8Flag(member.name) ? zip::FlagUtf8Name : 0;
    header.dosDateTime = zip::DosFromUnix(mtime);
    header.uncompressedSize = size == UINT64_MAX ? 0 : size;
    header.externalAttributes = std::uint32_t(mode & 0xFFFF) << 16;
    header.zip64Local = MayNeedZip64(size, options_.encrypt ? kAesOverhead : 0);
    w.mtime = mtime;
    w.vendorVersion = size < 20 ? 2 : 1;  // AE-2 hides the CRC of tiny files
}

void Session::Describe(MemberWrite& w, std::uint16_t method)
{
    const bool encrypt = options_.encrypt;
    MemberHeader& header = w.header;
    w.method = method;
    header.method = encrypt ? zip::MethodAes : method;
    header.versionNeeded = encrypt ? kNeedAes : kNeedDefault;
    header.flags = (header.flags & ~zip::FlagEncrypted) | (encrypt ? zip::FlagEncrypted : 0);
    header.extra = UnixTimeExtra(w.mtime) + (encrypt ? AesExtra(w.vendorVersion, method) : std::string());
}

bool Session::WriteLocalHeader(MemberWrite& w, OutputFile& out)
{
    w.memberStart = out.Position();
    const std::string local = LocalHeaderBytes(w.header);
    if (!out.Write(local.data(), local.size()))
        return false;
    w.dataStart = out.Position();
    return true;
}

bool Session::BeginData(MemberWrite& w, OutputFile& out)
{
    w.aes = nullptr;
    if (!options_.encrypt)
        return true;
    std::string error;
    if (!w.aesState.Init(zipcore::OpensslCrypto(), options_.password, &error)) {
        reporter_.Message(zipcore::kInternalError, "Encryption failed (" + error + "); nothing was written");
        return false;
    }
    w.aes = &w.aesState;
    return out.Write(w.aesState.Header(), kAesHeaderSize);
}

bool Session::EndData(MemberWrite& w, OutputFile& out)
{
    if (!w.aes)
        return true;
    std::uint8_t code[kAesCodeSize];
    if (!w.aes->Finish(code)) {
        reporter_.Message(zipcore::kInternalError, "Encryption failed; nothing was written");
        return false;
    }
    return out.Write(code, sizeof(code));
}

bool Session::CompleteMember(MemberWrite& w, OutputFile& out, std::uint32_t crc, const NewMember& member)
{
    MemberHeader& header = w.header;
    const bool encrypt = options_.encrypt;
    header.crc = encrypt && w.vendorVersion == 2 ? 0 : crc;
    header.compressedSize = out.Position() - w.dataStart;
    const std::string final = LocalHeaderBytes(header);
    if (!out.Patch(w.memberStart, final.data(), final.size()))
        return false;
    centrals_.push_back(CentralHeaderBytes(header, w.memberStart - archiveStart_));
    newestDos_ = std::max(newestDos_, header.dosDateTime);
    if (options_.verbose || options_.trace) {
        const std::uint64_t size = header.uncompressedSize;
        const std::uint64_t stored = header.compressedSize - (encrypt ? kAesOverhead : 0);
        const int ratio = size ? int(100 - std::min<std::uint64_t>(100, stored * 100 / size)) : 0;
        Info("  " + std::string(member.replaces != SIZE_MAX ? "updating: " : "adding: ") + Shown(member.name) + " (" +
             (w.method == zip::MethodStored ? "stored " : "deflated ") + std::to_string(ratio) + "%)" + (encrypt ? " encrypted" : ""));
    }
    return true;
}

Outcome Session::WriteNew(std::size_t memberIndex, std::size_t k, Pipeline& pipeline, OutputFile& out)
{
    const NewMember& member = members_[memberIndex];
    PreparedMember& prepared = pipeline.Prepare(k);
    std::uint64_t size = prepared.opened && prepared.openError.empty() ? prepared.size : member.source.size;
    StepCounter steps(reporter_, size);
    if (!reporter_.FileBegin(Shown(member.name), size)) {
        cancelled_ = true;
        return Outcome::Stopped;
    }
    auto skip = [&](const std::string& why) {
        reporter_.Message(kSourceUnreadable, {"Skipped ", zipcore::Named(member.source.path), ": ", why});
        pipeline.Finish(k);
        if (!steps.Finish()) {
            cancelled_ = true;
            return Outcome::Stopped;
        }
        return Outcome::Skipped;
    };
    if (!prepared.openError.empty())
        return skip(prepared.openError);
    if (readAs_.size() < members_.size())
        readAs_.resize(members_.size());
    readAs_[memberIndex] = ReadState{true, prepared.size, prepared.modified, prepared.device, prepared.inode};

    MemberWrite w;
    StartHeader(w, member, prepared.mtime, prepared.mode, size);
    // Whole files are known before anything is written: a file that cannot
    // be read leaves no trace.
    std::uint16_t method = zip::MethodDeflated;
    if (prepared.kind == MemberKind::Streamed) {
        method = zip::MethodStored;
    } else if (prepared.kind == MemberKind::Whole) {
        CompressJob& job = pipeline.Job(k, 0);
        if (!job.ok)
            return skip(job.error);
        method = job.stored ? zip::MethodStored : zip::MethodDeflated;
    }
    Describe(w, method);
    if (!WriteLocalHeader(w, out))
        return Outcome::Failed;

    auto failOrStop = [&]() {
        pipeline.Finish(k);
        return cancelled_ ? Outcome::Stopped : Outcome::Failed;
    };
    if (!BeginData(w, out))
        return failOrStop();

    std::uint32_t crc = 0;
    std::uint64_t deflated = 0;
    if (prepared.kind == MemberKind::Streamed) {
        std::string error;
        if (!CopyStored(out, w.aes, prepared, &steps, &crc, &error)) {
            if (!error.empty() && !out.Failed() && !cancelled_) {
                if (!out.TruncateTo(w.memberStart))
                    return failOrStop();
                return skip(error);
            }
            return failOrStop();
        }
    } else if (prepared.kind == MemberKind::Whole) {
        CompressJob& job = pipeline.Job(k, 0);
        crc = job.crc;
        if (!PutData(out, w.aes, job.output.data(), job.output.size(), &steps, 0, size))
            return failOrStop();
        pipeline.Release(k, 0);
    } else {
        std::uint64_t inputAt = 0;
        for (std::size_t j = 0; j < prepared.jobs.size(); ++j) {
            CompressJob& job = pipeline.Job(k, j);
            if (!job.ok) {
                std::string error = job.error;
                if (!out.TruncateTo(w.memberStart))
                    return failOrStop();
                return skip(error);
            }
            crc = j == 0 ? job.crc : CombineCrc(crc, job.crc, job.length);
            deflated += job.output.size();
            if (!PutData(out, w.aes, job.output.data(), job.output.size(), &steps, inputAt, inputAt + job.length))
                return failOrStop();
            inputAt += job.length;
            pipeline.Release(k, j);
        }
        if (deflated >= size) {
            // It did not shrink: written again as it is, from the file.
            std::uint32_t again = 0;
            std::string error;
            Describe(w, zip::MethodStored);
            if (!out.TruncateTo(w.dataStart) || !BeginData(w, out))
                return failOrStop();
            if (!CopyStored(out, w.aes, prepared, nullptr, &again, &error)) {
                if (!error.empty() && !out.Failed()) {
                    if (!out.TruncateTo(w.memberStart))
                        return failOrStop();
                    return skip(error);
                }
                return failOrStop();
            }
            if (again != crc) {
                if (!out.TruncateTo(w.memberStart))
                    return failOrStop();
                return skip("the file changed while it was read");
            }
        }
    }
    if (!EndData(w, out))
        return failOrStop();
    pipeline.Finish(k);
    if (!CompleteMember(w, out, crc, member))
        return Outcome::Failed;
    if (!steps.Finish()) {
        cancelled_ = true;
        return Outcome::Stopped;
    }
    return Outcome::Written;
}

Outcome Session::WriteStream(const NewMember& member, OutputFile& out)
{
    // Read one piece ahead, so that each piece is known to be the last or
    // not before it is deflated (the pieces join into one stream), and an
    // input that ends within its first piece is written as a whole file of
    // known size, with no Zip64 field and stored if it does not shrink.
    InputStream in(options_.inputFd, [this] { return reporter_.StillWanted(); });
    const std::size_t pieceSize = std::size_t(std::max<std::uint64_t>(options_.pieceSize, 64 * 1024));
    std::vector<std::uint8_t> piece, next;
    InputStream::Result got = in.Fill(piece, pieceSize);
    if (got == InputStream::Result::Data)
        got = in.Fill(next, pieceSize);
    if (got == InputStream::Result::Stopped || reporter_.Stopped()) {
        cancelled_ = true;
        return Outcome::Stopped;
    }
    const bool whole = got == InputStream::Result::End;
    // An input not known to be short is announced as of the largest size,
    // its steps telling how far it has come.
    if (!reporter_.FileBegin(member.name, whole ? piece.size() : UINT64_MAX)) {
        cancelled_ = true;
        return Outcome::Stopped;
    }
    // A read error stores nothing (a member of what came before it would lie
    // about the input) and takes no steps: how much more was to come is
    // unknown.
    auto unreadable = [&]() {
        reporter_.Message(kSourceUnreadable, {"Skipped ", zipcore::Named(member.source.path), ": ", in.Error()});
        return Outcome::Skipped;
    };
    if (got == InputStream::Result::Failed)
        return unreadable();

    MemberWrite w;
    const int level = EffectiveLevel(options_.level);
    if (whole) {
        const std::uint64_t size = piece.size();
        CompressJob job;
        job.level = level;
        RunJobOn(job, std::move(piece));
        StepCounter steps(reporter_, size);
        StartHeader(w, member, member.source.mtime, member.source.mode, size);
        Describe(w, job.stored ? zip::MethodStored : zip::MethodDeflated);
        if (!WriteLocalHeader(w, out) || !BeginData(w, out) ||
            !PutData(out, w.aes, job.output.data(), job.output.size(), &steps, 0, size) || !EndData(w, out) ||
            !CompleteMember(w, out, job.crc, member))
            return cancelled_ ? Outcome::Stopped : Outcome::Failed;
        if (!steps.Finish()) {
            cancelled_ = true;
            return Outcome::Stopped;
        }
        return Outcome::Written;
    }

    StartHeader(w, member, member.source.mtime, member.source.mode, UINT64_MAX);
    Describe(w, level > 0 ? zip::MethodDeflated : zip::MethodStored);
    if (!WriteLocalHeader(w, out) || !BeginData(w, out))
        return Outcome::Failed;
    // One step per 32,768 bytes as they pass, the last kept for the end:
    // max(1, size / 32,768) in all, as for any file of that size.
    std::uint64_t total = 0, taken = 0;
    auto stepTo = [&](std::uint64_t due) {
        for (; taken < due; ++taken)
            if (!reporter_.FileStep()) {
                cancelled_ = true;
                return false;
            }
        return true;
    };
    std::uint32_t crc = 0;
    for (bool last = false; !last;) {
        last = next.empty();
        crc = zipcore::Crc32(crc, piece.data(), piece.size());
        total += piece.size();
        std::vector<std::uint8_t> deflated;
        if (level > 0) {
            CompressJob job;
            job.level = level;
            job.whole = false;
            job.last = last;
            RunJobOn(job, std::move(piece));
            if (!job.ok) {
                reporter_.Message(zipcore::kInternalError, {"Cannot add ", zipcore::Named(member.source.path), ": ",
                                                            job.error});
                return Outcome::Failed;
            }
            deflated = std::move(job.output);
        } else {
            deflated = std::move(piece);
        }
        if (!PutData(out, w.aes, deflated.data(), deflated.size(), nullptr, 0, 0) ||
            !stepTo(zipcore::ProgressSteps(total) - 1))
            return cancelled_ ? Outcome::Stopped : Outcome::Failed;
        if (last)
            break;
        piece.swap(next);
        got = in.Fill(next, pieceSize);
        if (got == InputStream::Result::Stopped) {
            cancelled_ = true;
            return Outcome::Stopped;
        }
        if (got == InputStream::Result::Failed) {
            if (!out.TruncateTo(w.memberStart))
                return Outcome::Failed;
            return unreadable();
        }
    }
    w.header.uncompressedSize = total;
    if (!EndData(w, out) || !CompleteMember(w, out, crc, member))
        return Outcome::Failed;
    return stepTo(zipcore::ProgressSteps(total)) ? Outcome::Written : Outcome::Stopped;
}

bool Session::WriteAndCommit(const std::vector<PlanItem>& plan, bool requireNew)
{
    mode_t mode = lock_.Exists() ? (lock_.Status().st_mode & 07777) : 0666;
    zipcore::TempFile temp;
    std::string error;
    if (!temp.Create(lock_.DirFd(), mode, &error)) {
        reporter_.Message(zipcore::kWriteError, "Cannot create a temporary file beside the archive: " + error);
        return false;
    }
    OutputFile out(temp.Descriptor(), options_.writeFault);
    archiveStart_ = existing_.ArchiveStart();
    const int archiveFd = lock_.Exists() ? lock_.Fd() : -1;

    // Unchanged members that lie next to each other in the old file go over
    // as one piece; the run is written out before anything else is.
    std::uint64_t runBegin = 0, runEnd = 0;
    auto flushRun = [&]() {
        std::uint64_t length = runEnd - runBegin;
        bool ok = length == 0 || (archiveFd >= 0 && length >= kKernelCopyMinimum
                                      ? out.CopyFrom(archiveFd, runBegin, length)
                                      : out.Write(existing_.Bytes() + runBegin, std::size_t(length)));
        runBegin = runEnd = 0;
        return ok;
    };
    auto copyOld = [&](std::size_t i) {
        const auto& entry = existing_.Entries()[i];
        existing_.Passed(i);
        newestDos_ = std::max(newestDos_, zip::PackDosDateTime(entry.dosDate, entry.dosTime));
        std::uint64_t begin = 0, end = 0;
        if (CopiesVerbatim(existing_, i, &begin, &end)) {
            if (runEnd == runBegin || runEnd != begin) {
                if (!flushRun())
                    return false;
                runBegin = runEnd = begin;
            }
            centrals_.push_back(CentralHeaderFor(existing_, i, out.Position() + (begin - runBegin) - archiveStart_));
            runEnd = end;
            return true;
        }
        return flushRun() && CopyMember(existing_, i, out, archiveStart_, archiveFd, &centrals_.emplace_back());
    };
    if (existing_.PrefixSize() > 0) {
        runBegin = 0;
        runEnd = existing_.PrefixSize();
    }

    std::vector<std::string> paths;
    for (const auto& item : plan)
        if (!item.copy && !members_[item.index].source.isDirectory && !members_[item.index].source.standardInput)
            paths.push_back(members_[item.index].source.path);
    PipelineSettings settings;
    settings.level = EffectiveLevel(options_.level);
    settings.workers = options_.workers;
    settings.memoryBudget = options_.memoryBudget;
    settings.wholeFileLimit = options_.wholeFileLimit;
    settings.pieceSize = std::max<std::uint64_t>(options_.pieceSize, 64 * 1024);
    Pipeline pipeline(settings, std::move(paths));

    std::size_t k = 0;
    bool failed = false;
    for (const auto& item : plan) {
        if (out.Failed() || failed)
            break;
        if (item.copy) {
            if (!copyOld(item.index))
                break;
            continue;
        }
        if (!flushRun())
            break;
        const NewMember& member = members_[item.index];
        Outcome outcome = member.source.isDirectory       ? WriteFolder(member, out)
                          : member.source.standardInput ? WriteStream(member, out)
                                                        : WriteNew(item.index, k++, pipeline, out);
        if (outcome == Outcome::Stopped) {
            cancelled_ = true;
            break;
        }
        if (outcome == Outcome::Failed) {
            // Reported already, unless the output failed (reported below).
            failed = true;
            break;
        }
        if (outcome == Outcome::Written) {
            writtenMembers_.push_back(item.index);
            if (!member.source.isDirectory)
                ++written_;
        } else if (member.replaces != SIZE_MAX) {
            // The old member stays when its replacement could not be read.
            if (!copyOld(member.replaces))
                break;
        }
    }
    if (cancelled_ || reporter_.Stopped())
        return false;  // no callback may follow a request to stop
    if (failed && !out.Failed())
        return false;
    flushRun();
    if (!out.Failed() && requireNew && writtenMembers_.empty()) {
        reporter_.Message(zipcore::kInfo, "Nothing was added; the archive was left unchanged");
        return false;
    }
    std::uint64_t directoryOffset = out.Position() - archiveStart_;
    for (const auto& central : centrals_)
        out.Write(central.data(), central.size());
    std::uint64_t directorySize = out.Position() - archiveStart_ - directoryOffset;
    std::string end = EndRecords(centrals_.size(), directoryOffset, directorySize, existing_.Comment());
    out.Write(end.data(), end.size());
    out.Flush();
    if (out.Failed()) {
        reporter_.Message(zipcore::kWriteError,
                          "Cannot write the new archive (" + out.Error() + "); the archive was left unchanged");
        return false;
    }
    int fd = temp.Descriptor();
    if (options_.zipTime && newestDos_ != 0) {
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = zip::UnixFromDos(newestDos_);
        times[1].tv_nsec = 0;
        futimens(fd, times);
    }
    if (lock_.Exists())
        fchmod(fd, mode);
    if (fsync(fd) != 0) {
        reporter_.Message(zipcore::kWriteError, std::string("Cannot flush the new archive to disk (") +
                                                    std::strerror(errno) + "); the archive was left unchanged");
        return false;
    }
    bool exists = false;
    if (!temp.Commit(lock_.BaseName(), lock_.Exists(), &exists, &error)) {
        reporter_.Message(zipcore::kWriteError,
                          exists ? "Another program created " + options_.archivePath +
                                       " meanwhile; it was left as it is"
                                 : "Cannot put the new archive in place (" + error +
                                       "); the archive was left unchanged");
        return false;
    }
    fsync(lock_.DirFd());
    return true;
}

std::int32_t Session::Add()
{
    if (options_.encrypt && options_.password.empty()) {
        reporter_.Message(zipcore::kPasswordProblem, "Encryption needs a password; nothing was added");
        return End(0);
    }
    if (options_.specs.empty()) {
        reporter_.Message(kSpecMatchedNothing, "No files to add");
        return End(0);
    }
    if (options_.trace)
        reporter_.Message(zipcore::kInfo,
                          "Adding to " + options_.archivePath + ": " + std::to_string(options_.specs.size()) +
                              " pattern(s), level " + std::to_string(EffectiveLevel(options_.level)) +
                              (options_.recurse ? ", recursing" : "") + (options_.dirNames ? ", folder names" : "") +
                              (options_.encrypt ? ", AES-256" : ""));
    if (!OpenArchive())
        return End(0);
    if (!SelectSources()) {
        if (!reporter_.Stopped())
            reporter_.Message(zipcore::kInfo, "Nothing to add; the archive was left unchanged");
        return End(0);
    }
    // Old members keep their places, a replacement takes the place of the
    // member it replaces, and new members follow in the order chosen.
    std::vector<std::size_t> replacement(existing_.Entries().size(), SIZE_MAX);
    for (std::size_t i = 0; i < members_.size(); ++i)
        if (members_[i].replaces != SIZE_MAX)
            replacement[members_[i].replaces] = i;
    std::vector<PlanItem> plan;
    for (std::size_t i = 0; i < replacement.size(); ++i)
        plan.push_back(replacement[i] == SIZE_MAX ? PlanItem{true, i} : PlanItem{false, replacement[i]});
    for (std::size_t i = 0; i < members_.size(); ++i)
        if (members_[i].replaces == SIZE_MAX)
            plan.push_back(PlanItem{false, i});
    if (!WriteAndCommit(plan, true)) {
        if (cancelled_ || reporter_.Stopped())
            return 0;
        return End(0);
    }
    if (options_.move) {
        // Only now that the new archive is safely in place.
        for (std::size_t i : writtenMembers_) {
            const SourceFile& source = members_[i].source;
            if (source.standardInput)
                continue;
            if (!source.isDirectory && !Unchanged(source.path, i < readAs_.size() ? readAs_[i] : ReadState{})) {
                reporter_.Message(kSourceChanged, {"Kept ", zipcore::Named(source.path),
                                                   ": it changed while it was added (the archive holds it as "
                                                   "it was read)"});
                continue;
            }
            int rc = source.isDirectory ? rmdir(source.path.c_str()) : unlink(source.path.c_str());
            if (rc != 0 && !source.isDirectory)
                reporter_.Message(kSourceUnreadable,
                                  "Cannot delete " + source.path + " after moving it: " + std::strerror(errno));
        }
    }
    return End(written_);
}

std::int32_t Session::Delete()
{
    if (options_.trace)
        reporter_.Message(zipcore::kInfo, "Deleting from " + options_.archivePath + ": " +
                                              std::to_string(options_.specs.size()) + " pattern(s)");
    if (!OpenArchive())
        return End(0);
    const auto& entries = existing_.Entries();
    zip::MemberSelector selector(options_.specs);
    for (const auto& entry : entries)
        selector.NoteStoredName(entry.name);
    std::vector<PlanItem> plan;
    std::vector<std::size_t> removed;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (selector.Selects(entries[i].name))
            removed.push_back(i);
        else
            plan.push_back(PlanItem{true, i});
    }
    for (const auto& fileSpec : selector.Unmatched())
        reporter_.Message(zipcore::kNotInArchive, fileSpec + " was not found in the archive");
    if (removed.empty()) {
        reporter_.Message(zipcore::kInfo, "Nothing to delete; the archive was left unchanged");
        return End(0);
    }
    for (std::size_t i : removed) {
        const std::string shown = zipcore::MemberText(entries[i].name, entries[i].flags);
        if (!reporter_.FileBegin(shown, entries[i].uncompressedSize) ||
            !reporter_.FileStep())
            return 0;
        Info("  deleting: " + shown);
    }
    if (!WriteAndCommit(plan, false))
        return reporter_.Stopped() ? 0 : End(0);
    return End(std::int32_t(removed.size()));
}

}  // namespace

std::int32_t AddFiles(const UpdateOptions& options, CallbackReporter& reporter)
{
    Session session(options, reporter);
    return session.Add();
}

std::int32_t DeleteMembers(const UpdateOptions& options, CallbackReporter& reporter)
{
    Session session(options, reporter);
    return session.Delete();
}

}  // namespace zipwriter
