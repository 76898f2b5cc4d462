// The core's temporary files, used for every file the libraries and the
// self-extractor write: the data goes into a temporary file in the target's
// own folder, which becomes the target (by a link or a rename in that
// folder) only when it is complete and checked.
//
// Where the file system allows, the temporary file is unnamed (O_TMPFILE),
// so nothing is left behind whatever happens; it gets a name only at the
// end. Otherwise it has a hidden name of ours, is locked and marked as ours
// (platform/TemporaryFiles.h), so RemoveStaleTemporaries deletes only
// leftovers of processes that are gone and never a user's file. Every
// failure path removes the temporary file.
#pragma once

#include <string>
#include <string_view>

namespace zipcore {

// True for names this scheme gives its temporary files.
bool IsTemporaryName(std::string_view name);

// Removes our temporary files in the folder `dirFd` that no running process
// holds. Returns the number removed.
int RemoveStaleTemporaries(int dirFd);

class TempFile {
public:
    TempFile() = default;
    ~TempFile() { Discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates the temporary file in the folder `dirFd` with permission bits
    // `mode` (before the umask). False with a reason on failure.
    bool Create(int dirFd, unsigned mode, std::string* error);
    int Descriptor() const { return fd_; }

    // Gives the finished file the name `name` in its folder. Without
    // `replace` an existing `name` is left alone and the commit fails with
    // *exists set; with it an existing file is replaced in one step. The
    // temporary file is gone afterwards, whatever the outcome.
    bool Commit(const std::string& name, bool replace, bool* exists, std::string* error);
    // Removes the temporary file (nothing to do after a Commit).
    void Discard();

private:
    int fd_ = -1;
    int dirFd_ = -1;
    std::string tempName_;  // empty while the file is unnamed
};

}  // namespace zipcore
