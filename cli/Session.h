// One fernpack-cli run around the archive component: the component set up
// for unattended use, its messages sent to the console in the user's terms,
// its progress drawn on a terminal, Ctrl-C turned into a cancel request, and
// a tally of what the library reported, from which each command works out
// its summary line and exit status.
//
// Messages are judged by when they come: while the archive is first listed
// they decide whether it can be used; while the library works, an error is
// the operation's (and the member's in hand, if any); once the library has
// ended its batch, what the component's own re-listing reports is only a
// warning, for the operation's outcome is what the library returned. A
// valid archive without members is recognised wherever a listing meets it.
#pragma once

#include <cstdint>
#include <string>

#include "cli/Progress.h"
#include "engine/ZipMstr.h"

namespace cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// What the library reported during the operations of one command.
struct Tally {
    std::uint64_t Begun = 0;          // files the library started on
    std::uint64_t FailedMembers = 0;  // of those, files with an error
    std::uint64_t Skipped = 0;        // of those, files left alone by choice (exist, not newer)
    std::uint64_t Finished = 0;       // of those, files that ended with neither
    std::uint64_t Replaced = 0;       // files extracted over one an earlier file of the call wrote
    std::uint64_t Errors = 0;         // every error message
    // The library's counts, summed; for an extraction that a fault inside
    // the library cut short (whose count is lost), the files finished.
    std::uint64_t Processed = 0;
};

class Session {
public:
    explicit Session(std::string given);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    engine::TRezEdidiv Archive;
    ProgressDisplay Progress;
    Tally Done;

    const std::string& Given() const { return given_; }  // as typed
    const std::string& Path() const { return path_; }    // absolute

    // Names the archive and lists it. `mustExist` refuses a missing file.
    // False, with the user told why, when the name is a folder, the file is
    // missing or the component could not open it; a listing that fails part
    // way is told and kept.
    bool Open(bool mustExist);
    // The first listing reported an error (a valid empty archive is none).
    bool ListingFailed() const { return listingFailed_; }
    // The last listing met a valid archive without members.
    bool EmptyArchive() const { return emptyArchive_; }
    // A listing after the library's work reported an error.
    bool RelistingFailed() const { return relistingFailed_; }

    // Runs one of the component's operations and adds its count to Done.
    void Run(void (engine::TRezEdidiv::*operation)());

    void Error(const std::string& text);
    void Warning(const std::string& text);

private:
    enum class Phase { Listing, Working, Relisting };
    void OnMessage(std::int32_t code, const std::string& text);
    // The file in hand has ended (the next began, or the batch ended).
    void EndMember();

    std::string given_, path_;
    Phase phase_ = Phase::Listing;
    bool listingFailed_ = false;
    bool emptyArchive_ = false;
    bool relistingFailed_ = false;
    bool listed_ = false;  // the component's last listing opened the file
    bool inMember_ = false, memberFailed_ = false, memberSkipped_ = false;
    bool faulted_ = false;  // the library call in progress ended in a fault
};

}  // namespace cli
