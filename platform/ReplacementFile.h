// Output that replaces a file only once it is complete. The bytes go into a
// temporary file in the target's folder: unnamed where the file system
// allows, so a killed program leaves nothing behind, otherwise a hidden,
// locked file marked as ours (TemporaryFiles.h). Commit moves it over the
// target in one step; until then the target, if there is one, is untouched.
// Discard, or destruction without a Commit, removes the temporary file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/FileStream.h"

namespace platform {

class ReplacementFile {
public:
    explicit ReplacementFile(std::string target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file; false when the folder allows none.
    bool Open();
    // The temporary file, open for reading and writing.
    FileStream& File() { return file_; }
    // Size of what was written so far, or -1 when nothing is open.
    std::int64_t Size() const { return file_.Size(); }
    // Gives the file its target's name, replacing any file of that name,
    // with execute permission for whoever may read it when `executable`.
    // False when that fails; the temporary file is gone either way.
    bool Commit(bool executable);
    void Discard();

private:
    std::string target_;
    std::string baseName_;
    int dirFd_ = -1;
    std::string tempName_;  // empty while the file is unnamed
    FileStream file_;
};

}  // namespace platform
