// Questions to the user on the terminal. Answers are read a line at a time
// from standard input, so a script can feed them through a pipe; with
// `assumeDefaults` (--yes) every question that has a default is answered
// with it without reading. A password has no default: it is always read,
// without echo when standard input is a terminal. When input ends, the
// question has no answer and the caller cancels.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace sfx {

class Console {
public:
    explicit Console(bool assumeDefaults) : assumeDefaults_(assumeDefaults) {}

    bool AssumesDefaults() const { return assumeDefaults_; }
    // Shows `question` (with `fallback` in brackets when not empty) and
    // reads one line; an empty line gives `fallback`. False when input ended.
    bool Ask(const std::string& question, const std::string& fallback, std::string* answer);
    // Reads a password; false when input ended. An empty answer is allowed.
    bool AskPassword(const std::string& question, std::string* answer);

private:
    bool ReadLine(std::string* line);
    bool assumeDefaults_;
};

// `text` (a member name, the caption, a message) made safe to print by
// zipformat's one rule (zipformat/NameText.h): control and format
// characters, which a hostile archive could use to drive the terminal or to
// reorder and hide a name, and bytes that are not UTF-8, show as escapes
// (\x1b, \u202e), as the window and fernpack-cli show them.
std::string Printable(const std::string& text);

// A member's stored name as text (zipformat/NameText.h: UTF-8, or code page
// 437 for a name that is not UTF-8 and lacks the UTF-8 flag), made safe to
// print.
std::string PrintableName(const std::string& stored, std::uint16_t flags);

// The index of the choice `answer` names (case ignored): the one it equals,
// else the first one it is the beginning of; -1 for none.
int PickChoice(const std::string& answer, std::initializer_list<const char*> choices);

}  // namespace sfx
