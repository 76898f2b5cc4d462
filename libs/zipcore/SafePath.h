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

}  // namespace zipcore
