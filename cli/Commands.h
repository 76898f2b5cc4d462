// The fernpack-cli commands and the options each takes, as the command line
// fills them. Each returns the process exit status (ExitOk, ExitFailed).
#pragma once

#include <string>
#include <vector>

namespace cli {

struct ListOptions {
    std::string Archive;
    std::vector<std::string> Patterns;
    bool Tsv = false;
};

struct AddOptions {
    std::string Archive;
    std::vector<std::string> Paths;  // "-" is standard input
    bool NoRecurse = false, JunkPaths = false, Hidden = false;
    bool Encrypt = false, Move = false, Update = false, Freshen = false;
    int Level = 9;
    std::string PasswordFile;
    std::string StdinName = "-";  // the name standard input is stored under
};

struct ExtractOptions {
    std::string Archive;
    std::vector<std::string> Names;
    std::string Dir;
    bool JunkPaths = false, Overwrite = false, NeverOverwrite = false;
    bool Update = false, Freshen = false, ToStdout = false;
    bool Here = false;  // into the archive's folder (cli/ExtractHere.h)
    std::string PasswordFile;
};

struct DeleteOptions {
    std::string Archive;
    std::vector<std::string> Names;
};

struct TestOptions {
    std::string Archive;
    std::string PasswordFile;
};

struct SfxOptions {
    std::string Archive;
    std::string Caption = "Self-extracting Archive";
    std::string Dir, Command, Stub;
    std::string Existing = "ask";  // what the program does with existing files
    bool AskCommand = false, AskFiles = false, HideOverwrite = false;
    bool Force = false;
};

struct UnsfxOptions {
    std::string Program;
    bool Force = false;
};

int RunList(const ListOptions& options);
int RunAdd(const AddOptions& options);
int RunExtract(const ExtractOptions& options);
int RunDelete(const DeleteOptions& options);
int RunTest(const TestOptions& options);
int RunSfx(const SfxOptions& options);
int RunUnsfx(const UnsfxOptions& options);

// The whole command line: parses, prints help, version or a usage error,
// or runs the command. Returns the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace cli
