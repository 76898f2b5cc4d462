// How ZIPDLL.DLL and UNZDLL.DLL talk back to their caller: one CallbackRecord
// per call, filled for each file start (action 1), progress step (2), batch
// end (3) and message (4), handed to the caller's callback on the calling
// thread, and a poll (action 0) now and then while the library waits. The
// first answer of -1 stops everything: no callback follows it.
// Every text sent is shown by zipformat's one rule (zipformat/NameText.h:
// control and format characters, and bytes that are not UTF-8, as
// escapes), so a message is one line and reads as the window and
// fernpack-cli show the same name; one too long for the record's text
// keeps its own words whole and has its names shortened in the middle.
// Also holds the message codes both libraries use.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "abi/ZCallBck.h"

namespace zipcore {

// Message codes: 0 and below are information, every failure is positive.
// Two kinds of information have codes of their own, so that a caller can
// count them without reading the words.
enum MessageCode : std::int32_t {
    kInfo = 0,
    kSkipped = ZCB_INFO_SKIPPED,    // an entry left alone by choice (exists, not newer, nothing to freshen)
    kReplacedEarlier = ZCB_INFO_REPLACED_EARLIER,  // an entry replaced a file an earlier entry of the call wrote
    kBadRecord = 1,          // the command record was refused
    kArchiveUnreadable = 2,  // cannot open or map the archive
    kArchiveDamaged = 3,     // no readable directory
    kNotInArchive = 4,       // a pattern matched no entry
    kUnsupported = 5,        // method, encryption, split or size we cannot handle
    kUnsafeName = 6,         // a name that would leave the target folder
    kSymlinkRefused = 7,
    kBadData = 8,            // damaged data or headers
    kBadCrc = 9,
    kPasswordProblem = ZCB_ERROR_PASSWORD,  // missing or wrong password
    kWriteError = 11,
    kInternalError = 12,
};

// A member's stored name as people see it everywhere: decoded by its
// UTF-8 flag (or as code page 437), hidden characters escaped.
std::string MemberText(std::string_view stored, std::uint16_t flags);

// A piece of a message: the library's own words, or (made by Named) a file
// or member name, which may be shortened to make the message fit.
struct MessagePart {
    MessagePart(std::string_view words) : text(words) {}
    MessagePart(const std::string& words) : text(words) {}
    MessagePart(const char* words) : text(words) {}
    std::string_view text;
    bool name = false;
};

inline MessagePart Named(std::string_view name)
{
    MessagePart part(name);
    part.name = true;
    return part;
}

// The parts, each shown by the one rule, joined in at most `capacity` bytes. When they do not fit, each
// name keeps its start and end around "..." (the shorter names whole where
// the room allows), so the words, which carry the reason, stay whole. Only
// when the words alone do not fit is the whole text shortened in its
// middle. A UTF-8 character is never split.
std::string FitMessage(std::initializer_list<MessagePart> parts, std::size_t capacity);
std::string FitMessage(const std::vector<MessagePart>& parts, std::size_t capacity);

class CallbackReporter {
public:
    CallbackReporter(ZCallbackFunction callback, void* caller);
    ~CallbackReporter();

    // Each returns false once the caller asked to stop (then or before).
    // `size` goes out as a signed 32-bit number: a larger one as the
    // largest, 2,147,483,647. `name` is a text to show (MemberText of a
    // member's name).
    bool FileBegin(std::string_view name, std::uint64_t size);
    bool FileStep();
    bool BatchEnd();
    // While waiting (for a lock, for input): asks only whether to go on.
    bool StillWanted();
    bool Message(std::int32_t code, std::string_view text);
    bool Message(std::int32_t code, std::initializer_list<MessagePart> parts);
    bool Stopped() const { return stopped_; }

private:
    bool Send(std::int32_t action, std::int32_t error, std::int32_t size, std::string_view text);
    bool SendLine(std::int32_t code, std::string line);
    ZCallbackFunction callback_;
    void* caller_;
    std::unique_ptr<CallbackRecord> record_;
    bool stopped_ = false;
};

}  // namespace zipcore
