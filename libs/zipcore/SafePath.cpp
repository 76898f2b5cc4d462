#include "SafePath.h"

namespace zipcore {

bool SplitSafePath(const std::string& name, std::vector<std::string>* parts, std::string* reason)
{
    parts->clear();
    if (name.empty()) {
        *reason = "empty name";
        return false;
    }
    if (name.find('\0') != std::string::npos) {
        *reason = "name contains a NUL byte";
        return false;
    }
    // Archivers on other systems treat a backslash as a separator; a name
    // that relies on it is refused rather than guessed at.
    if (name.find('\\') != std::string::npos) {
        *reason = "name contains a backslash";
        return false;
    }
    if (name[0] == '/') {
        *reason = "absolute name";
        return false;
    }
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
        *reason = "name has a drive prefix";
        return false;
    }
    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t slash = name.find('/', pos);
        if (slash == std::string::npos)
            slash = name.size();
        std::string part = name.substr(pos, slash - pos);
        if (part == "..") {
            *reason = "name contains a \"..\" component";
            return false;
        }
        if (!part.empty() && part != ".")
            parts->push_back(std::move(part));
        pos = slash + 1;
    }
    return true;
}

}  // namespace zipcore
