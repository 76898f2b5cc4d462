// Cuts the line end from a library message: a last character CR or LF goes,
// and, judged on the text as received, so does a second-to-last CR or LF.
// Texts of 0 or 1 characters come back unchanged.
#pragma once

#include <string>

namespace engine {

std::string TrimLineEnd(const std::string& text);

}  // namespace engine
