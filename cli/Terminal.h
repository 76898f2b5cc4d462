// What fernpack-cli needs from the terminal: whether stderr is one (for
// progress bars), reading a password without echo, and Ctrl-C as a request
// to stop instead of an immediate end.
#pragma once

#include <optional>
#include <string>

namespace cli {

bool StderrIsTerminal();

// Prints `prompt` on the terminal and reads one line with echo off.
// nullopt when standard input is no terminal (nobody to ask).
std::optional<std::string> ReadSecret(const std::string& prompt);

// After this, the first Ctrl-C only sets the flag that Interrupted()
// reports; a second one ends the program as usual.
void CatchInterrupt();
bool Interrupted();

}  // namespace cli
