// Everything fernpack-cli asks of the terminal, in one place: whether a
// stream is one, its width (read again after each SIGWINCH), reading a
// password with echo off, asking a question, and Ctrl-C as a request to
// stop instead of an immediate end.
#pragma once

#include <optional>
#include <string>

namespace cli {

bool IsTerminal(int fd);

// Columns of the terminal on `fd`, or 0 when it has none or says none.
int TerminalColumns(int fd);

// After this, SIGWINCH marks the width as changed; WidthChanged() reports
// that once per change.
void WatchWindowSize();
bool WidthChanged();

// Prints `prompt` on the terminal and reads one line with echo off.
// nullopt when standard input is no terminal (nobody to ask).
std::optional<std::string> ReadSecret(const std::string& prompt);

// Prints `prompt` on the terminal and reads one line as typed; nullopt at
// the end of input or when there is no terminal.
std::optional<std::string> AskLine(const std::string& prompt);

// After this, the first Ctrl-C only sets the flag that Interrupted()
// reports; a second one ends the program as usual.
void CatchInterrupt();
bool Interrupted();

}  // namespace cli
