// Turning a stored entry name into path components that cannot leave the
// target folder. Absolute names, drive prefixes, ".." components, backslashes
// and NUL bytes are refused with a reason; "." and empty components are
// dropped. Says nothing about symbolic links on disk (TargetTree.h keeps
// those from being followed).
#pragma once

#include <string>
#include <vector>

namespace zipcore {

// Splits `name` into its safe components. False with a reason when the name
// could reach outside the target folder.
bool SplitSafePath(const std::string& name, std::vector<std::string>* parts, std::string* reason);

// Where the file of a stored name lands below the target folder: its safe
// components joined by '/', or with `dirNames` off its last one alone.
// Empty for a name SplitSafePath refuses or that has no component.
inline std::string TargetPath(const std::string& name, bool dirNames)
{
    std::vector<std::string> parts;
    std::string reason;
    if (!SplitSafePath(name, &parts, &reason) || parts.empty())
        return {};
    if (!dirNames)
        return parts.back();
    std::string path;
    for (const std::string& part : parts)
        path += (path.empty() ? "" : "/") + part;
    return path;
}

}  // namespace zipcore
