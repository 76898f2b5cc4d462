// One fernpack-cli run around the archive component: the component set up
// for unattended use, its messages printed to stderr as "CODE: text", and
// the exit status worked out from what was reported.
#pragma once

#include <string>

#include "engine/ZipMstr.h"

namespace cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

extern const char* const ProgramName;  // "fernpack-cli"

class Session {
public:
    Session();

    TRezEdidiv Archive;
    // True once a message of positive code has arrived.
    bool ErrorReported() const { return errorReported_; }

    // "fernpack-cli: <text>" on stderr.
    static void Complain(const std::string& text);

private:
    bool errorReported_ = false;
};

}  // namespace cli
