// Runs the built fernpack-cli as a user would and captures what it printed;
// watches a running one until it catches a signal.
#pragma once

#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

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

// True once `pid` has a handler for `signal` (its /proc status lists the
// caught signals as a hexadecimal mask), false after 60 s or if it ended.
inline bool WaitUntilCatching(pid_t pid, int signal)
{
    const std::string status = "/proc/" + std::to_string(pid) + "/status";
    for (int i = 0; i < 6000; ++i) {
        std::ifstream in(status);
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("SigCgt:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0)
                return true;
        int ended = 0;
        if (::waitpid(pid, &ended, WNOHANG) != 0)
            return false;
        ::usleep(10000);
    }
    return false;
}
