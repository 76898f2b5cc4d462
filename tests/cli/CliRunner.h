// Runs the built fernpack-cli as a user would and captures what it printed.
#pragma once

#include <string>

#include "TempDir.h"

struct CliResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

inline std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

// `arguments` is pasted into a shell command line as it is (quote paths with
// ShellQuote); `workDir`, when given, is the current folder of the run.
inline CliResult RunCli(const std::string& arguments, const std::string& workDir = "")
{
    fixture::TempDir scratch;
    const std::string errFile = scratch / "stderr";
    std::string command;
    if (!workDir.empty())
        command = "cd " + ShellQuote(workDir) + " && ";
    command += ShellQuote(FERNPACK_CLI) + " " + arguments + " 2>" + ShellQuote(errFile);
    CliResult r;
    r.Status = fixture::RunCommand(command, &r.Out);
    r.Err = fixture::ReadFile(errFile);
    return r;
}
