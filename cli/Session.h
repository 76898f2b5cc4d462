// One fernpack-cli run around the archive component: the component set up
// for unattended use, its messages printed to stderr as "CODE: text", its
// progress drawn on a terminal, Ctrl-C turned into a cancel request, and
// the exit status worked out from what was reported.
#pragma once

#include <string>

#include "cli/Progress.h"
#include "engine/ZipMstr.h"

namespace cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

extern const char* const ProgramName;  // "fernpack-cli"

class Session {
public:
    Session();

    engine::TRezEdidiv Archive;
    ProgressDisplay Progress;

    // Names the archive and lists it. A listing error is printed and
    // counted as an error; the caller decides whether to go on.
    void Open(const std::string& given, const std::string& absolute);
    // The same for an archive that must exist already: false (with the
    // user told "no such file") when it does not.
    bool OpenExisting(const std::string& given);

    // True once an error or a message of positive code has arrived.
    bool ErrorReported() const { return errorReported_; }
    void NoteError() { errorReported_ = true; }
    // Forgets what was reported so far (the listing's messages before an
    // operation do not decide the operation's outcome).
    void ResetErrors() { errorReported_ = false; }

    // "fernpack-cli: <text>" on stderr.
    static void Complain(const std::string& text);

private:
    bool errorReported_ = false;
};

// "3 files were added", "1 file was deleted".
std::string CountText(std::int32_t n, const std::string& verb);

}  // namespace cli
