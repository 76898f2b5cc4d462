#include "TempFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "platform/TemporaryFiles.h"

namespace zipcore {

namespace temporaries = platform::temporaries;

bool IsTemporaryName(std::string_view name) { return temporaries::IsTemporaryName(name); }

int RemoveStaleTemporaries(int dirFd) { return temporaries::RemoveStale(dirFd); }

bool TempFile::Create(int dirFd, unsigned mode, std::string* error)
{
    Discard();
    dirFd_ = dirFd;
    fd_ = openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ >= 0)
        return true;  // unnamed: nobody can see it, no lock needed yet
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        *error = std::strerror(errno);
        return false;
    }
    // The file system has no unnamed files: a hidden named one, ours.
    fd_ = temporaries::CreateNamed(dirFd, mode, &tempName_);
    if (fd_ >= 0)
        return true;
    *error = std::strerror(errno);
    return false;
}

bool TempFile::Commit(const std::string& name, bool replace, bool* exists, std::string* error)
{
    *exists = false;
    if (fd_ < 0) {
        *error = "no temporary file";
        return false;
    }
    int err = 0;
    bool ok = false;
    bool marked = !tempName_.empty();
    if (tempName_.empty()) {
        ok = temporaries::LinkUnnamed(fd_, dirFd_, name);
        err = errno;
        if (!ok && err == EEXIST && replace) {
            // An unnamed file cannot be linked over a name: it gets a name
            // of ours first, then moves over the existing file in one step.
            std::string temp;
            marked = true;
            if (temporaries::NameUnnamed(fd_, dirFd_, &temp)) {
                ok = renameat(dirFd_, temp.c_str(), dirFd_, name.c_str()) == 0;
                err = errno;
                if (!ok)
                    unlinkat(dirFd_, temp.c_str(), 0);
            } else {
                err = errno;
            }
        }
    } else if (replace) {
        ok = renameat(dirFd_, tempName_.c_str(), dirFd_, name.c_str()) == 0;
        err = errno;
        if (ok)
            tempName_.clear();  // renamed onto the target
    } else {
        ok = renameat2(dirFd_, tempName_.c_str(), dirFd_, name.c_str(), RENAME_NOREPLACE) == 0;
        err = errno;
        if (ok) {
            tempName_.clear();
        } else if (err == EINVAL || err == ENOSYS) {
            // No RENAME_NOREPLACE here: a hard link refuses an existing name;
            // Discard then removes the temporary name.
            ok = linkat(dirFd_, tempName_.c_str(), dirFd_, name.c_str(), 0) == 0;
            err = errno;
        }
    }
    if (ok && marked)
        temporaries::Unmark(fd_);  // it is the target now
    if (!ok) {
        *exists = err == EEXIST;
        *error = std::strerror(err);
    }
    Discard();
    return ok;
}

void TempFile::Discard()
{
    if (fd_ >= 0) {
        if (!tempName_.empty())
            unlinkat(dirFd_, tempName_.c_str(), 0);
        close(fd_);
    }
    fd_ = -1;
    tempName_.clear();
}

}  // namespace zipcore
