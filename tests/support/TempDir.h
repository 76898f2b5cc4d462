// A scratch folder for one test, removed with everything in it at the end.
#pragma once

#include <string>

namespace fixture {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes `bytes` to `name` inside the folder and returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);

// Runs a shell command; returns its exit status and fills `output` with
// what it printed on stdout.
int RunCommand(const std::string& command, std::string* output = nullptr);

}  // namespace fixture
