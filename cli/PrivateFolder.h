// A folder only this user can enter, made under $TMPDIR (or /tmp) for data
// on its way in or out (standard input for an add, members on their way to
// stdout), and removed with everything in it when the object goes.
#pragma once

#include <string>

namespace cli {

class PrivateFolder {
public:
    PrivateFolder();
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool Made() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace cli
