// The archive being changed, held for the whole change: opened, locked with
// an exclusive flock (so a second writer, or a reader that takes a shared
// lock, waits until the new archive is in place) and mapped read-only. A
// lock that another process holds is waited for, within bounds (any
// process that can read the archive can hold one, for as long as it
// likes): after `waitMs` the open fails and says why. After
// the lock is granted the path is checked to still name the locked file: a
// writer that waited while another one replaced the archive locks the new
// file instead of working on the one that was replaced. Also opens the
// archive's folder, where the temporary file goes. A symbolic link to the
// archive is resolved first, so the link stays a link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <sys/stat.h>

namespace zipwriter {

class LockedArchive {
public:
    LockedArchive() = default;
    ~LockedArchive();
    LockedArchive(const LockedArchive&) = delete;
    LockedArchive& operator=(const LockedArchive&) = delete;

    // False with a reason when the folder cannot be opened or an existing
    // archive cannot be opened, locked or mapped. A missing archive is no
    // failure: Exists() is then false. While it waits for another process's
    // lock it asks `stillWanted` now and then; false from it ends the wait
    // and the open fails with an empty reason.
    bool Open(const std::string& path, int waitMs, const std::function<bool()>& stillWanted, std::string* error);

    bool Exists() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    const struct stat& Status() const { return status_; }
    int DirFd() const { return dirFd_; }
    // The archive's name inside its folder.
    const std::string& BaseName() const { return baseName_; }

private:
    void Close();
    int fd_ = -1;
    int dirFd_ = -1;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    struct stat status_ {};
    std::string baseName_;
};

}  // namespace zipwriter
