#include "cli/Session.h"

#include <unistd.h>

#include "abi/ZCallBck.h"
#include "cli/Console.h"
#include "cli/Terminal.h"
#include "engine/EngineErrors.h"
#include "engine/Messages.h"
#include "platform/FileSystem.h"

namespace cli {

using engine::ProgressType;
using engine::TObject;

namespace {

// The listing's fixed text, and why, when the component knows.
std::string Described(const engine::EFileStreamError& e)
{
    return e.Reason().empty() ? std::string(e.what()) : std::string(e.what()) + ": " + e.Reason();
}

}  // namespace

Session::Session(std::string given)
    : Progress(IsTerminal(STDERR_FILENO) && !Console::Get().Quiet()),
      given_(std::move(given)),
      path_(platform::AbsolutePath(given_))
{
    Console::Get().BeforeStderr = [this] { Progress.Clear(); };
    Archive.Unattended = true;
    Archive.Verbose = Console::Get().Verbose();
    // Ctrl-C, SIGTERM and SIGHUP reach the library at its next callback,
    // also while it only waits (for a lock, for standard input).
    Archive.ExternalCancel = InterruptFlag();
    Archive.OnMessage = [this](TObject*, std::int32_t code, const std::string& text) { OnMessage(code, text); };
    Archive.OnProgress = [this](TObject*, ProgressType type, const std::string& name, std::int32_t size) {
        if (type == ProgressType::FileBegin) {
            EndMember();
            ++Done.Begun;
            inMember_ = true;
        } else if (type == ProgressType::BatchEnd) {
            EndMember();
            phase_ = Phase::Relisting;
        }
        Progress.OnProgress(type, name, size);
    };
    Archive.OnDirUpdate = [this](TObject*) {
        listed_ = true;
        emptyArchive_ = emptyArchive_ && Archive.EntryCount() == 0;
    };
}

Session::~Session()
{
    Progress.Clear();
    Console::Get().BeforeStderr = nullptr;
}

bool Session::Open(bool mustExist)
{
    if (platform::DirectoryExists(path_)) {
        Error("is a folder");
        return false;
    }
    if (mustExist && !platform::FileExists(path_)) {
        Error("no such file");
        return false;
    }
    phase_ = Phase::Listing;
    listingFailed_ = emptyArchive_ = listed_ = false;
    try {
        Archive.SetZipFilename(path_);
    } catch (const engine::EFileStreamError& e) {
        // What was listed before the error stands; the caller decides.
        Error(Described(e));
        listingFailed_ = true;
        // Without the update the component could not open the file (not a
        // regular file, unreadable, held by a writer): nothing else may
        // open it either, and a FIFO would make that wait for ever.
        return listed_;
    }
    return true;
}

void Session::EndMember()
{
    if (inMember_ && !memberFailed_ && !memberSkipped_)
        ++Done.Finished;
    inMember_ = memberFailed_ = memberSkipped_ = false;
}

void Session::Run(void (engine::TRezEdidiv::*operation)())
{
    phase_ = Phase::Working;
    inMember_ = memberFailed_ = memberSkipped_ = faulted_ = false;
    const std::uint64_t finishedBefore = Done.Finished;
    try {
        (Archive.*operation)();
    } catch (const engine::EFileStreamError& e) {
        // Only the component's re-listing after the library's work throws.
        relistingFailed_ = true;
        Warning("listing the archive again: " + Described(e));
    }
    // A file still in hand never ended: stopped, or cut short by a fault.
    inMember_ = false;
    if (faulted_ && operation == &engine::TRezEdidiv::ExtractFiles) {
        // The library's count went with the fault; what it finished before
        // is on disk (or tested good) all the same. (A writer's work is
        // never committed before its count returns.)
        Done.Processed += Done.Finished - finishedBefore;
    } else {
        Done.Processed += static_cast<std::uint32_t>(std::max(Archive.ProcessedCount, 0));
    }
}

void Session::Error(const std::string& text) { Console::Get().Error(given_, text); }

void Session::Warning(const std::string& text) { Console::Get().Warning(given_, text); }

void Session::OnMessage(std::int32_t code, const std::string& text)
{
    Console& console = Console::Get();
    if (phase_ != Phase::Working && code == engine::msg::NoValidEntries && Archive.IsEmptyArchive()) {
        // The component's word for a listing that found no member; for a
        // valid archive without members it is no fault, only information.
        emptyArchive_ = true;
        console.Information(given_, code, text);
        return;
    }
    switch (phase_) {
    case Phase::Listing:
        console.Message(given_, code, text);
        if (code > 0)
            listingFailed_ = true;
        return;
    case Phase::Relisting:
        if (code > 0) {
            relistingFailed_ = true;
            Warning("listing the archive again: " + Printable(text, true));
        }
        else
            console.Message(given_, code, text);
        return;
    case Phase::Working:
        if (code == ZCB_INFO_REPLACED_EARLIER) {
            // Said whatever the verbosity: a count of files extracted must
            // not be taken for that many files on disk.
            ++Done.Replaced;
            console.Note(given_, text);
            return;
        }
        console.Message(given_, code, text);
        if (code == ZCB_INFO_SKIPPED && inMember_) {
            ++Done.Skipped;
            memberSkipped_ = true;
        }
        if (code == engine::msg::FatalDll)
            faulted_ = true;
        if (code > 0) {
            ++Done.Errors;
            if (inMember_ && !memberFailed_) {
                ++Done.FailedMembers;
                memberFailed_ = true;
            }
        }
        return;
    }
}

}  // namespace cli
