// Test harness for UNZDLL.DLL: loads the built library, builds the test
// archives once, calls UnzDllExec with a filled UnzCommandRecord and records
// every callback; runs the dlopen driver; compares folder trees.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "abi/UNZDLL.h"

namespace unztest {

struct Callback {
    int action = 0;
    int error = 0;
    int size = 0;
    std::string text;
};

struct Options {
    bool test = false, dirNames = true, overwrite = false, freshen = false, update = false;
    bool verbose = false, trace = false;
    std::string password;
    std::vector<std::string> specs;
    long cancelAt = -1;  // answer -1 to this callback (1-based)
    std::function<void(UnzCommandRecord&)> tweak;
};

struct Result {
    std::int32_t count = 0;
    std::vector<Callback> callbacks;
    bool callerOk = true;
    std::vector<Callback> Messages(bool errorsOnly = false) const;
    int Count(int action) const;
    std::string Dump() const;
};

// Folder with the generated archives (made once per process).
const std::string& ArchiveDir();
std::string Archive(const std::string& name);
const std::string& Password();

// Calls UnzDllExec with the current directory set to `target` (restored).
Result Exec(const std::string& archive, const std::string& target, const Options& options);

// A fresh empty folder for one test.
std::string FreshDir(const std::string& name);
// Every regular file below `root` (relative path -> contents).
std::vector<std::pair<std::string, std::string>> ReadTree(const std::string& root);
std::vector<std::string> ListAll(const std::string& root);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);
// Runs a shell command, returns its standard output.
std::string Shell(const std::string& command);

}  // namespace unztest
