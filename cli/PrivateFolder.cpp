#include "cli/PrivateFolder.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace cli {

PrivateFolder::PrivateFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/fernpack-cli.XXXXXX";
    std::vector<char> text(pattern.begin(), pattern.end());
    text.push_back('\0');
    if (::mkdtemp(text.data()))
        path_ = text.data();
}

PrivateFolder::~PrivateFolder()
{
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

}  // namespace cli
