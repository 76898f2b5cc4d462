// Everything fernpack-cli asks of the terminal, in one place: whether a
// stream is one, its width (read again after each SIGWINCH), reading a
// password with echo off, asking a question, and Ctrl-C (and SIGTERM,
// SIGHUP) as a request to stop instead of an immediate end.
#pragma once

#include <csignal>
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

// Opens /dev/null on those of descriptors 0, 1 and 2 that are closed when
// the program starts, so that no file it opens later takes their place
// (an archive read as "standard input", a listing written into a file);
// ClosedAtStart tells which were, so that reading or writing them can
// still fail as it should.
void KeepStandardStreamsOpen();
bool ClosedAtStart(int fd);

// After this, the first Ctrl-C, SIGTERM or SIGHUP only sets the flag that
// Interrupted() reports (the operation then stops and leaves the archive
// as it was); a second one ends the program as usual.
void CatchInterrupt();
bool Interrupted();
// The flag itself, for the archive component to read while a library
// works or waits (TRezEdidiv::ExternalCancel).
const volatile std::sig_atomic_t* InterruptFlag();

}  // namespace cli
