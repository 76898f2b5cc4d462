// Tests of what an ordinary user may not do (write a read-only archive) run
// as root here, whom no permission bit stops. This takes the identity of
// an ordinary user, "nobody", for the effective user and group of the
// whole process for as long as it lives, and gives root's back after; run
// as an ordinary user already, it changes nothing. Where the switch is
// impossible, Reason() says why (the test then skips).
#pragma once

#include <string>

#include <sys/types.h>

namespace fixture {

class OtherUser {
public:
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    // Empty when the process now runs as a user that permissions bind.
    const std::string& Reason() const { return reason_; }

    // The user and group an ordinary user's run takes (nobody, nogroup).
    static constexpr uid_t Uid = 65534;
    static constexpr gid_t Gid = 65534;

private:
    bool switched_ = false;
    std::string reason_;
};

// Makes `folder` writable by every user, so that the other user may put
// files there (the scratch folders are root's own, mode 0700).
void OpenToEveryone(const std::string& folder);

}  // namespace fixture
