#include "ReplacementFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/TemporaryFiles.h"

namespace platform {

ReplacementFile::ReplacementFile(std::string target) : target_(std::move(target)) {}

ReplacementFile::~ReplacementFile()
{
    Discard();
    if (dirFd_ >= 0)
        ::close(dirFd_);
}

bool ReplacementFile::Open()
{
    Discard();
    const std::size_t slash = target_.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : target_.substr(0, slash);
    baseName_ = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    if (dirFd_ < 0)
        dirFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd_ < 0 || baseName_.empty())
        return false;
    // Ordinary permissions, as a newly created file would get (the kernel
    // applies the umask to both kinds of temporary file).
    int fd = ::openat(dirFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
            return false;
        fd = temporaries::CreateNamed(dirFd_, 0666, &tempName_);
        if (fd < 0)
            return false;
    }
    file_.Adopt(fd);
    return true;
}

bool ReplacementFile::Commit(bool executable)
{
    if (!file_.IsOpen())
        return false;
    const int fd = file_.Descriptor();
    struct stat st;
    if (executable && ::fstat(fd, &st) == 0) {
        mode_t mode = st.st_mode & 07777;
        if (mode & S_IRUSR)
            mode |= S_IXUSR;
        if (mode & S_IRGRP)
            mode |= S_IXGRP;
        if (mode & S_IROTH)
            mode |= S_IXOTH;
        ::fchmod(fd, mode);
    }
    // An unnamed file cannot be linked over an existing name, so it takes a
    // name of ours first and is then renamed over the target in one step.
    if (tempName_.empty() && !temporaries::NameUnnamed(fd, dirFd_, &tempName_)) {
        Discard();
        return false;
    }
    if (::renameat(dirFd_, tempName_.c_str(), dirFd_, baseName_.c_str()) != 0) {
        Discard();
        return false;
    }
    tempName_.clear();
    temporaries::Unmark(fd);  // it is the target now
    file_.Close();
    return true;
}

void ReplacementFile::Discard()
{
    if (!tempName_.empty() && dirFd_ >= 0)
        ::unlinkat(dirFd_, tempName_.c_str(), 0);
    tempName_.clear();
    file_.Close();
}

}  // namespace platform
