// What one operation's library messages told beyond its count of files
// done, and the result box's words built from it.
//
// The tally counts the members skipped because they exist, the members
// that replaced a file an earlier member of the same extraction wrote, and
// names (as the library shows them) the members a password did not open.
// It does not read the messages' words: the libraries give these outcomes
// codes of their own (abi/ZCallBck.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

struct TOperationTally {
    std::int32_t Skipped = 0;
    std::int32_t Replaced = 0;
    std::vector<std::string> PasswordFailed;

    void Clear();
    // A progress event that begins a member (the name as the library shows it).
    void FileBegun(const std::string& shown) { current_ = shown; }
    // A message of the library's, by its code.
    void Message(std::int32_t code);

private:
    std::string current_;
};

// The result of an extract: the count, then a line for the members that
// replaced another of the same name, and one for those skipped because the
// file exists.
std::string ExtractResult(std::int32_t extracted, const TOperationTally& tally, bool withDirs);

// What an operation that the user stopped says in its memo and box: what
// was done, and that the archive is as it was.
enum class TStoppedOperation { Add, Delete, Extract, Test };
std::string CancelledResult(TStoppedOperation operation, std::int32_t done);

}  // namespace app
