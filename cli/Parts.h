// The component takes at most ZREC_MAX_SPECS names in one operation; longer
// lists are cut into parts of that size, each one a complete operation.
#pragma once

#include <string>
#include <vector>

#include "abi/ZCallBck.h"

namespace cli {

inline std::vector<std::vector<std::string>> InParts(const std::vector<std::string>& names,
                                                     std::size_t size = ZREC_MAX_SPECS)
{
    std::vector<std::vector<std::string>> parts;
    for (std::size_t i = 0; i < names.size(); i += size)
        parts.emplace_back(names.begin() + static_cast<std::ptrdiff_t>(i),
                           names.begin() + static_cast<std::ptrdiff_t>(std::min(names.size(), i + size)));
    return parts;
}

}  // namespace cli
