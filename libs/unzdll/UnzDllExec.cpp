// UNZDLL.DLL: extracts or tests the selected entries of an archive as the
// caller's UnzCommandRecord asks, reporting through the caller's callback.
// The only exported symbols are UnzDllExec and GetUnzDllVersion.
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <fernpack/Version.h>

#include "abi/UNZDLL.h"
#include "libs/zipcore/ArchiveReader.h"
#include "libs/zipcore/CallbackReporter.h"
#include "libs/zipcore/CommandRecord.h"
#include "libs/zipcore/EntryDecoder.h"
#include "libs/zipcore/Extractor.h"
#include "libs/zipcore/MappedFile.h"
#include "libs/zipcore/OpensslCrypto.h"
#include "libs/zipcore/SafePath.h"
#include "libs/zipcore/SteppedSink.h"
#include "libs/zipcore/TempFile.h"
#include "libs/zipcore/TargetTree.h"
#include "libs/zipcore/decoders/AllMethods.h"
#include "libs/unzdll/Predecoder.h"
#include "zipformat/MemberSelector.h"

namespace {

using namespace zipcore;
using unzdll::Predecoder;

// Every method and encryption the core reads.
DecoderOptions Decoding()
{
    DecoderOptions options;
    options.crypto = &OpensslCrypto();
    options.methods = &AllMethods();
    return options;
}

// The most data an entry's packed bytes can hold: their size, or for
// packed data deflate's greatest expansion. Only for an entry whose packed
// size was found to fit the file.
std::uint64_t PlausibleSize(const ZipEntry& entry)
{
    constexpr std::uint64_t kMaxExpansion = 1032;
    if (entry.DataMethod() == zip::MethodStored)
        return entry.compressedSize;
    return entry.compressedSize > UINT64_MAX / kMaxExpansion ? UINT64_MAX : entry.compressedSize * kMaxExpansion;
}

// The members' data on its way to standard output (ToStdoutOn): written
// whole, piece by piece, as it is decoded.
class DescriptorSink final : public OutputSink {
public:
    explicit DescriptorSink(int fd) : fd_(fd) {}
    bool Write(const std::uint8_t* data, std::size_t len) override
    {
        while (len > 0) {
            const ssize_t n = ::write(fd_, data, len);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : EIO;
                return false;
            }
            data += n;
            len -= std::size_t(n);
        }
        return true;
    }
    int Error() const { return error_; }

private:
    int fd_;
    int error_ = 0;
};

// The message code for data that did not decode.
std::int32_t FailureCode(DecodeStatus status)
{
    switch (status) {
    case DecodeStatus::Unsupported: return kUnsupported;
    case DecodeStatus::NeedPassword:
    case DecodeStatus::WrongPassword: return kPasswordProblem;
    case DecodeStatus::BadCrc: return kBadCrc;
    default: return kBadData;
    }
}

// Threads that test entries at once; the calling thread only reports.
constexpr unsigned kMostTestWorkers = 8;
// Threads that decode ahead of an extract, beside the calling thread.
constexpr unsigned kMostExtractWorkers = 4;

// Lets any number of entries of small memory decode at once, but an entry
// that may need much memory only alone: a run's peak stays one member's
// need, however many workers there are. One waiting for it holds back new
// small ones, so it is not starved.
class MemoryGate {
public:
    void Enter(bool much)
    {
        std::unique_lock lock(mutex_);
        if (much) {
            ++waiting_;
            changed_.wait(lock, [&] { return !alone_ && small_ == 0; });
            --waiting_;
            alone_ = true;
        } else {
            changed_.wait(lock, [&] { return !alone_ && waiting_ == 0; });
            ++small_;
        }
    }
    void Leave(bool much)
    {
        {
            std::lock_guard lock(mutex_);
            if (much)
                alone_ = false;
            else
                --small_;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int small_ = 0;
    int waiting_ = 0;
    bool alone_ = false;
};
// How far the workers may run ahead of the reports, in entries: their
// results are small, the data they decode is their decoder's own.
constexpr std::size_t kTestWindow = 256;

class UnzipJob {
public:
    explicit UnzipJob(const UnzCommandRecord& record)
        : record_(record), reporter_(record.CallbackAddress, record.Caller)
    {
    }

    std::int32_t Run();

private:
    // What testing one entry on a worker thread found, for the calling
    // thread to report as HandleEntry would have.
    struct TestResult {
        bool done = false;
        bool precheckFailed = false;
        bool directory = false;
        bool exception = false;
        std::int32_t code = 0;
        DecodeStatus status = DecodeStatus::Ok;
        std::string detail;
        std::uint64_t steps = 0;  // steps its data took before it ended
    };
    // Tests the entries on worker threads, in archive order; every callback
    // stays on the calling thread, in the order a one-by-one test makes.
    void TestInParallel(const std::vector<const ZipEntry*>& selected, unsigned workers);
    void TestOne(const ZipEntry& entry, EntryDecoder& decoder, TestResult* result) const;
    void ReportTested(const ZipEntry& entry, const TestResult& result);
    // `decoded`: the entry's data, decoded and checked already, or null.
    void HandleEntry(const ZipEntry& entry, const std::vector<std::uint8_t>* decoded = nullptr);
    // Tests the entry, or writes its data to standard output; false when it
    // failed (reported).
    bool Decode(const ZipEntry& entry, const EntryData& data, const std::function<bool()>& step);
    bool Precheck(const ZipEntry& entry, EntryData* data, std::string* detail, std::int32_t* code) const;
    // False when the outcome is a failure.
    bool Report(const ZipEntry& entry, ExtractOutcome outcome, const std::string& detail);
    void NoteWritten(const ZipEntry& entry, const std::string& name);
    // Every entry before `entry` is done with: the archive's pages before
    // it go, every few megabytes, so a large archive is never held whole.
    void PassedTo(const ZipEntry& entry);
    void Verbose(const std::string& text)
    {
        if (verbose_)
            reporter_.Message(kInfo, text);
    }

    const UnzCommandRecord& record_;
    CallbackReporter reporter_;
    bool test_ = false, verbose_ = false, trace_ = false;
    bool toStdout_ = false;
    bool outputEnded_ = false;  // standard output refused more: the batch ends
    std::string password_;
    MappedFile file_;
    PassedPages passed_;
    ArchiveReader reader_;
    std::unique_ptr<EntryDecoder> decoder_;
    std::unique_ptr<TargetTree> tree_;
    std::unique_ptr<Extractor> extractor_;
    // The files this call wrote, by their path below the target folder,
    // with the entry that wrote each last.
    std::unordered_map<std::string, const ZipEntry*> written_;
    std::int32_t count_ = 0;
};

std::int32_t UnzipJob::Run()
{
    if (!CheckRecord(record_, reporter_))
        return 0;
    test_ = record_.TestOn != 0;
    toStdout_ = !test_ && record_.ToStdoutOn != 0;
    trace_ = record_.TraceOn != 0;
    verbose_ = record_.VerboseOn != 0 || trace_;
    password_ = RecordText(record_.PasswordText, ZREC_PASSWORD_CAPACITY);
    const std::string archive = RecordText(record_.ArchiveName, ZREC_TEXT_CAPACITY);
    // An empty pattern is no "everything" (that is no pattern at all): it
    // names nothing and says so, as in ZIPDLL.DLL.
    std::vector<std::string> specs = RecordPatterns(record_);

    [&] {
        if (archive.empty()) {
            reporter_.Message(kArchiveUnreadable, "No archive name given");
            return;
        }
        std::string error;
        if (!file_.Open(archive, &error)) {
            reporter_.Message(kArchiveUnreadable, {"Cannot open archive ", Named(archive), ": ", error});
            return;
        }
        PassedPages walk;
        reader_.OnPassedBytes([](void* pages, const std::uint8_t* at) { static_cast<PassedPages*>(pages)->At(at); },
                              &walk);
        const bool opened = reader_.Open(file_.Data(), file_.Size(), &error);
        reader_.OnPassedBytes(nullptr, nullptr);
        if (!opened) {
            reporter_.Message(kArchiveDamaged, {"Cannot read archive ", Named(archive), ": ", error});
            return;
        }
        // The pages the directory walk touched go; the members' pages come
        // one by one as they are worked on.
        ReleaseMappedPages(file_.Data(), file_.Data() + file_.Size());
        const auto& entries = reader_.Entries();
        if (trace_)
            reporter_.Message(kInfo, {"Archive ", Named(archive),
                                      ": " + std::to_string(entries.size()) + " entries, starting at offset " +
                                          std::to_string(reader_.ArchiveStart()) + (reader_.IsZip64() ? " (Zip64)" : "")});

        zip::MemberSelector selector(specs);
        for (const auto& entry : entries)
            selector.NoteStoredName(entry.name);
        std::vector<const ZipEntry*> selected;
        for (const auto& entry : entries)
            if (selector.Selects(entry.name))
                selected.push_back(&entry);
        for (const auto& fileSpec : selector.Unmatched())
            if (!reporter_.Message(kNotInArchive, {"No entry matches ", Named(fileSpec)}))
                return;

        decoder_ = std::make_unique<EntryDecoder>(Decoding());
        int baseFd = -1;
        if (!test_ && !toStdout_ && !selected.empty()) {
            baseFd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (baseFd < 0) {
                reporter_.Message(kWriteError, std::string("Cannot open the target folder: ") + std::strerror(errno));
                return;
            }
            RemoveStaleTemporaries(baseFd);
            tree_ = std::make_unique<TargetTree>(baseFd);
            ExtractOptions extract;
            extract.dirNames = record_.DirNamesOn != 0;
            extract.overwrite = record_.OverwriteOn != 0;
            extract.update = record_.UpdateOn != 0;
            extract.freshen = record_.FreshenOn != 0 && !extract.update;
            extractor_ = std::make_unique<Extractor>(*tree_, extract, *decoder_);
        }
        const unsigned cores = std::thread::hardware_concurrency();
        if (test_ && cores > 1 && selected.size() > 1) {
            TestInParallel(selected, std::min(cores, kMostTestWorkers));
        } else {
            // An extract writes files on this thread while the others
            // decode the members ahead of it.
            std::unique_ptr<Predecoder> ahead;
            if (extractor_ && cores > 1 && selected.size() > 1)
                ahead = std::make_unique<Predecoder>(selected, reader_, Decoding(), password_, baseFd,
                                                     extractor_->Options(), std::min(cores - 1, kMostExtractWorkers));
            std::vector<std::uint8_t> decoded;
            for (std::size_t i = 0; i < selected.size(); ++i) {
                const ZipEntry* entry = selected[i];
                if (reporter_.Stopped() || outputEnded_)
                    break;
                PassedTo(*entry);
                const bool ready = ahead && ahead->Take(i, &decoded);
                try {
                    HandleEntry(*entry, ready ? &decoded : nullptr);
                } catch (const std::exception& e) {
                    // One entry's failure (such as running out of memory)
                    // does not end the batch or lose the count so far.
                    reporter_.Message(kInternalError, {"Cannot handle ", Named(MemberText(entry->name, entry->flags)),
                                                       ": ", e.what()});
                }
            }
        }
        extractor_.reset();
        tree_.reset();
        if (baseFd >= 0)
            ::close(baseFd);
        if (!reporter_.Stopped())
            Verbose(std::to_string(count_) + " of " + std::to_string(selected.size()) +
                    (test_ ? " files tested OK" : " files extracted"));
    }();
    // The archive is free for others before the batch is said to end.
    file_.Close();

    if (!reporter_.Stopped())
        reporter_.BatchEnd();
    return count_;
}

bool UnzipJob::Precheck(const ZipEntry& entry, EntryData* data, std::string* detail, std::int32_t* code) const
{
    if (entry.diskStart != 0) {
        *code = kUnsupported;
        *detail = "the entry lies on another part of a split archive";
        return false;
    }
    // Refused before anything is written: nothing may be written under a
    // name the caller's listing of the local headers never showed, and
    // members sharing their data would write it many times over.
    if (entry.overlapsAnother) {
        *code = kBadData;
        *detail = kOverlapText;
        return false;
    }
    if (!reader_.CheckLocalName(entry, detail)) {
        *code = kBadData;
        return false;
    }
    if (entry.IsDirectory())
        return true;
    if (!CanDecode(entry, Decoding(), detail)) {
        *code = kUnsupported;
        return false;
    }
    if (!reader_.LocateData(entry, data, detail)) {
        *code = kBadData;
        return false;
    }
    data->fileMapped = true;  // the reader works on a MappedFile's bytes
    return true;
}

void UnzipJob::TestOne(const ZipEntry& entry, EntryDecoder& decoder, TestResult* result) const
{
    try {
        EntryData data;
        if (!Precheck(entry, &data, &result->detail, &result->code)) {
            result->precheckFailed = true;
            return;
        }
        if (entry.IsDirectory()) {
            result->directory = true;
            return;
        }
        std::uint64_t steps = 0;
        SteppedSink sink(nullptr, entry.uncompressedSize, [&steps] {
            ++steps;
            return true;
        });
        result->status = decoder.Decode(entry, data, password_, sink, &result->detail);
        if (result->status == DecodeStatus::Ok)
            sink.Finish();
        result->steps = steps;
    } catch (const std::exception& e) {
        result->exception = true;
        result->detail = e.what();
    }
}

void UnzipJob::TestInParallel(const std::vector<const ZipEntry*>& selected, unsigned workers)
{
    std::vector<TestResult> results(selected.size());
    std::mutex mutex;
    // Each side is woken only when the other has something for it: a
    // result it waits for, or room in the window. Thousands of small
    // members would otherwise cost a wake-up each, both ways.
    std::condition_variable resultsIn, windowMoved;
    std::size_t next = 0, reported = 0;
    // The calling thread sleeps for the results first..last; `missing` of
    // them are not in yet.
    std::size_t first = 0, last = 0, missing = 0;
    unsigned held = 0;               // workers asleep at the window's edge
    bool quit = false;
    MemoryGate gate;
    auto work = [&] {
        EntryDecoder decoder(Decoding());
        for (;;) {
            std::size_t i;
            {
                std::unique_lock lock(mutex);
                const auto go = [&] { return quit || next >= selected.size() || next < reported + kTestWindow; };
                if (!go()) {
                    ++held;
                    windowMoved.wait(lock, go);
                    --held;
                }
                if (quit || next >= selected.size())
                    return;
                i = next++;
            }
            TestResult result;
            const bool much = MayNeedMuchMemory(*selected[i]);
            gate.Enter(much);
            TestOne(*selected[i], decoder, &result);
            gate.Leave(much);
            result.done = true;
            bool wake;
            {
                std::lock_guard lock(mutex);
                results[i] = std::move(result);
                wake = missing > 0 && i >= first && i <= last && --missing == 0;
            }
            if (wake)
                resultsIn.notify_one();
        }
    };
    // The workers end before the results they write go, however this ends.
    struct Crew {
        std::vector<std::thread> threads;
        std::mutex& mutex;
        std::condition_variable& windowMoved;
        bool& quit;
        ~Crew()
        {
            {
                std::lock_guard lock(mutex);
                quit = true;
            }
            windowMoved.notify_all();
            for (auto& t : threads)
                t.join();
        }
    } crew{{}, mutex, windowMoved, quit};
    for (unsigned w = 0; w < workers; ++w)
        crew.threads.emplace_back(work);

    // Waiting, the calling thread sleeps until a few results are in, not
    // just the next one.
    constexpr std::size_t kWakeAfter = 16;
    static_assert(kWakeAfter < kTestWindow);
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (reporter_.Stopped())
            break;
        const ZipEntry& entry = *selected[i];
        PassedTo(entry);
        TestResult result;
        if (reporter_.FileBegin(MemberText(entry.name, entry.flags), entry.uncompressedSize)) {
            {
                std::unique_lock lock(mutex);
                if (!results[i].done) {
                    first = i;
                    last = std::min(i + kWakeAfter, selected.size()) - 1;
                    for (std::size_t k = first; k <= last; ++k)
                        missing += !results[k].done;
                    resultsIn.wait(lock, [&] { return missing == 0; });
                }
                result = std::move(results[i]);
            }
            try {
                ReportTested(entry, result);
            } catch (const std::exception& e) {
                reporter_.Message(kInternalError,
                                  {"Cannot handle ", Named(MemberText(entry.name, entry.flags)), ": ", e.what()});
            }
        }
        bool wake;
        {
            std::lock_guard lock(mutex);
            reported = i + 1;
            wake = held > 0;
        }
        if (wake)
            windowMoved.notify_all();
    }
}

// The callbacks HandleEntry and Decode make for a tested entry, from what a
// worker found: its steps as its data took them, then its outcome.
void UnzipJob::ReportTested(const ZipEntry& entry, const TestResult& result)
{
    const std::string name = MemberText(entry.name, entry.flags);
    if (result.exception) {
        reporter_.Message(kInternalError, {"Cannot handle ", Named(name), ": ", result.detail});
        return;
    }
    if (result.precheckFailed) {
        reporter_.Message(result.code, {"Test failed for ", Named(name), ": ", result.detail});
        return;
    }
    std::uint64_t taken = 0;
    if (!result.directory) {
        for (; taken < result.steps; ++taken)
            if (!reporter_.FileStep())
                return;
        if (result.status != DecodeStatus::Ok) {
            reporter_.Message(FailureCode(result.status), {"Test failed for ", Named(name), ": ", result.detail});
            return;
        }
    }
    ++count_;
    Verbose("Tested " + name + ": OK");
    const std::uint64_t due = std::min(ProgressSteps(entry.uncompressedSize), ProgressSteps(PlausibleSize(entry)));
    while (taken < due && !reporter_.Stopped()) {
        ++taken;
        reporter_.FileStep();
    }
}

void UnzipJob::HandleEntry(const ZipEntry& entry, const std::vector<std::uint8_t>* decoded)
{
    const std::string name = MemberText(entry.name, entry.flags);
    if (!reporter_.FileBegin(name, entry.uncompressedSize))
        return;
    // Steps follow the real size, also where the size announced in the
    // callback is capped at the interface's largest, and they come as the
    // data does (SteppedSink).
    std::uint64_t taken = 0;
    auto step = [&] {
        ++taken;
        return reporter_.FileStep();
    };
    const char* verb = test_ ? "Test failed for " : "Cannot extract ";

    EntryData data;
    std::string detail;
    std::int32_t code = 0;
    bool failed = false;
    if (!Precheck(entry, &data, &detail, &code)) {
        reporter_.Message(code, {verb, Named(name), ": ", detail});
        failed = true;
    } else if (test_ || toStdout_) {
        failed = !Decode(entry, data, step);
        if (reporter_.Stopped() || outputEnded_)
            return;
    } else {
        const ExtractOutcome outcome =
            decoded != nullptr ? extractor_->ExtractDecoded(entry, decoded->data(), decoded->size(), step, &detail)
                               : extractor_->Extract(entry, data, password_, step, &detail);
        if (outcome == ExtractOutcome::Stopped || reporter_.Stopped())
            return;
        failed = !Report(entry, outcome, detail);
    }
    // A file that failed takes no more steps: its stated size may be a lie
    // of any size, and must not keep the caller's callback busy for days.
    // One that was skipped or is a folder gets its full count, so the
    // caller's bar ends where it expects; its packed size fits the file by
    // now, so no more steps than that data could have grown to.
    if (failed)
        return;
    const std::uint64_t due = std::min(ProgressSteps(entry.uncompressedSize), ProgressSteps(PlausibleSize(entry)));
    while (taken < due && !reporter_.Stopped())
        step();
}

bool UnzipJob::Decode(const ZipEntry& entry, const EntryData& data, const std::function<bool()>& step)
{
    const std::string name = MemberText(entry.name, entry.flags);
    if (entry.IsDirectory()) {  // nothing to test, nothing to print
        ++count_;
        Verbose((test_ ? "Tested " : "Extracted ") + name + (test_ ? ": OK" : ""));
        return true;
    }
    DescriptorSink stdoutSink(STDOUT_FILENO);
    SteppedSink sink(test_ ? nullptr : &stdoutSink, entry.uncompressedSize, step);
    std::string detail;
    const DecodeStatus status = decoder_->Decode(entry, data, password_, sink, &detail);
    if (status == DecodeStatus::SinkStopped && !sink.Stopped()) {
        // Standard output refused the data: whatever follows would not get
        // there either. Its reader having gone (a pipe into head) is no
        // fault of the archive's, nor of the user's.
        outputEnded_ = true;
        if (stdoutSink.Error() == EPIPE) {
            reporter_.Message(kInfo, "Standard output was closed; the rest was not written");
            return true;
        }
        reporter_.Message(kWriteError, {"Cannot write ", Named(name), " to standard output: ",
                                        std::strerror(stdoutSink.Error())});
        return false;
    }
    if (status == DecodeStatus::SinkStopped || reporter_.Stopped())
        return false;
    if (status == DecodeStatus::Ok) {
        if (!sink.Finish())
            return false;
        ++count_;
        Verbose((test_ ? "Tested " : "Extracted ") + name + (test_ ? ": OK" : ""));
        return true;
    }
    reporter_.Message(FailureCode(status), {test_ ? "Test failed for " : "Cannot extract ", Named(name), ": ", detail});
    return false;
}

bool UnzipJob::Report(const ZipEntry& entry, ExtractOutcome outcome, const std::string& detail)
{
    const std::string name = MemberText(entry.name, entry.flags);
    std::int32_t code = kBadData;
    switch (outcome) {
    case ExtractOutcome::Extracted:
        ++count_;
        Verbose("Extracted " + name);
        NoteWritten(entry, name);
        return true;
    case ExtractOutcome::SkippedExisting:
    case ExtractOutcome::SkippedNotNewer:
    case ExtractOutcome::SkippedMissing:
        reporter_.Message(kSkipped, {"Skipped ", Named(name), ": ", detail});
        return true;
    case ExtractOutcome::UnsafeName:
        reporter_.Message(kUnsafeName, {"Refused ", Named(name), ": ", detail});
        return false;
    case ExtractOutcome::Symlink:
        reporter_.Message(kSymlinkRefused, {"Refused ", Named(name), ": ", detail});
        return false;
    case ExtractOutcome::Unsupported: code = kUnsupported; break;
    case ExtractOutcome::NeedPassword:
    case ExtractOutcome::WrongPassword: code = kPasswordProblem; break;
    case ExtractOutcome::BadData: code = kBadData; break;
    case ExtractOutcome::BadCrc: code = kBadCrc; break;
    case ExtractOutcome::WriteError: code = kWriteError; break;
    case ExtractOutcome::Stopped: return true;
    }
    reporter_.Message(code, {"Cannot extract ", Named(name), ": ", detail});
    return false;
}

void UnzipJob::PassedTo(const ZipEntry& entry)
{
    const std::uint64_t start = reader_.ArchiveStart() + entry.localOffset;
    if (start <= file_.Size())
        passed_.At(file_.Data() + start);
}

// Two entries of one call that land on one file (without folder names, one
// name in two folders; or one name stored twice): the later replaces what
// the earlier wrote, which is said, so a count of files extracted is never
// taken for that many files on disk.
void UnzipJob::NoteWritten(const ZipEntry& entry, const std::string& name)
{
    if (entry.IsDirectory())
        return;
    const std::string path = TargetPath(entry.name, record_.DirNamesOn != 0);
    if (path.empty())
        return;
    auto [earlier, first] = written_.try_emplace(path, &entry);
    if (first)
        return;
    const std::string replaced = MemberText(earlier->second->name, earlier->second->flags);
    reporter_.Message(kReplacedEarlier,
                      {Named(name), " replaced ", Named(replaced), ", extracted earlier to the same file"});
    earlier->second = &entry;
}

}  // namespace

LIBRARY_EXPORT std::int32_t ZREC_CALL UnzDllExec(UnzCommandRecord* record)
{
    if (!record)
        return 0;
    try {
        UnzipJob job(*record);
        return job.Run();
    } catch (...) {
        // Nothing may escape into the caller; a failure before any file was
        // handled counts nothing.
        return 0;
    }
}

LIBRARY_EXPORT std::int32_t ZREC_CALL GetUnzDllVersion(void) { return FERNPACK_LIBRARY_VERSION; }
