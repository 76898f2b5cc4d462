// How ZIPDLL.DLL and UNZDLL.DLL talk back to their caller: one CallbackRecord
// per call, filled for each file start (action 1), progress step (2), batch
// end (3) and message (4), handed to the caller's callback on the calling
// thread. The first answer of -1 stops everything: no callback follows it.
// Messages are one line each (control characters in names are shown as
// '?') and cut to the record's text capacity. Also holds the message codes
// both libraries use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "abi/ZCallBck.h"

namespace zipcore {

// Message codes: 0 is information (and entries skipped by choice), every
// failure is positive.
enum MessageCode : std::int32_t {
    kInfo = 0,
    kBadRecord = 1,          // the command record was refused
    kArchiveUnreadable = 2,  // cannot open or map the archive
    kArchiveDamaged = 3,     // no readable directory
    kNotInArchive = 4,       // a pattern matched no entry
    kUnsupported = 5,        // method, encryption, split or size we cannot handle
    kUnsafeName = 6,         // a name that would leave the target folder
    kSymlinkRefused = 7,
    kBadData = 8,            // damaged data or headers
    kBadCrc = 9,
    kPasswordProblem = 10,   // missing or wrong password
    kWriteError = 11,
    kInternalError = 12,
};

// A text fit for one message line: control characters become '?'.
std::string PrintableName(std::string_view name);

class CallbackReporter {
public:
    CallbackReporter(ZCallbackFunction callback, void* caller);
    ~CallbackReporter();

    // Each returns false once the caller asked to stop (then or before).
    bool FileBegin(std::string_view name, std::int64_t size);
    bool FileStep();
    bool BatchEnd();
    bool Message(std::int32_t code, std::string_view text);
    bool Stopped() const { return stopped_; }

private:
    bool Send(std::int32_t action, std::int32_t error, std::int32_t size, std::string_view text);
    ZCallbackFunction callback_;
    void* caller_;
    std::unique_ptr<CallbackRecord> record_;
    bool stopped_ = false;
};

}  // namespace zipcore
