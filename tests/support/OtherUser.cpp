#include "OtherUser.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace fixture {

OtherUser::OtherUser()
{
    if (geteuid() != 0)
        return;
    if (setegid(Gid) != 0) {
        reason_ = std::string("cannot take group ") + std::to_string(Gid) + ": " + std::strerror(errno);
        return;
    }
    if (seteuid(Uid) != 0) {
        reason_ = std::string("cannot take user ") + std::to_string(Uid) + ": " + std::strerror(errno);
        setegid(0);
        return;
    }
    switched_ = true;
}

OtherUser::~OtherUser()
{
    if (!switched_)
        return;
    // Root's own again; the saved user id allows it.
    if (seteuid(0) != 0 || setegid(0) != 0)
        std::abort();
}

void OpenToEveryone(const std::string& folder) { ::chmod(folder.c_str(), 0777); }

}  // namespace fixture
