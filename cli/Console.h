// Where fernpack-cli's words go. Results (a listing, one summary line per
// operation) go to stdout; errors, warnings and information go to stderr as
// "fernpack-cli: ARCHIVE: text", so a script can keep the two apart.
//
// -q leaves only errors on stderr and no summary on stdout; -v adds the
// information lines (code 0) and shows every message's numeric code. Every
// text that may carry a name from an archive or the disk passes through
// Printable first, so no name can drive the user's terminal.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace cli {

enum class Verbosity { Quiet, Normal, Verbose };

class Console {
public:
    static Console& Get();

    Verbosity Level = Verbosity::Normal;
    // Called before anything is written to stderr (the progress line clears
    // itself there).
    std::function<void()> BeforeStderr;

    // `context` is usually the archive as the user typed it; empty for none.
    void Error(const std::string& context, const std::string& text);
    void Warning(const std::string& context, const std::string& text);
    // Something the user should know that is no fault (left out with -q).
    void Note(const std::string& context, const std::string& text);
    void Info(const std::string& context, const std::string& text);
    // A message of the archive component or a library: positive codes are
    // errors, 0 is information. The code is shown with -v.
    void Message(const std::string& context, std::int32_t code, const std::string& text);
    // A message shown as information whatever its code (one that is no
    // fault here), with the code as it was reported.
    void Information(const std::string& context, std::int32_t code, const std::string& text);
    // A summary line on stdout (left out with -q).
    void Summary(const std::string& line);

    bool Verbose() const { return Level == Verbosity::Verbose; }
    bool Quiet() const { return Level == Verbosity::Quiet; }

private:
    // `text` is printable already.
    void Write(const std::string& context, const std::string& text);
};

// `text` as zipformat shows every text (zipformat/NameText.h, VisibleText):
// control and format characters as escapes (\x1b, \u200b) and bytes that
// are not UTF-8 as \xNN, so printing it can neither drive the terminal nor
// hide or reorder a character. With `lineBreaks` a CR LF, LF or CR stays a
// line break (for the component's few two-line messages and archive
// comments).
std::string Printable(std::string_view text, bool lineBreaks = false);

}  // namespace cli
