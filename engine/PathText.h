// Path texts as the engine handles them: the extension (from the last '.'
// of the last path component, '.' included), replacing it, and the split
// into folder and name at the last '/'.
#pragma once

#include <string>

namespace engine {

std::string ExtractFileExt(const std::string& path);
std::string ChangeFileExt(const std::string& path, const std::string& extension);
std::string ExtractFileDir(const std::string& path);   // up to the last '/', without it; "" when none
std::string ExtractFileName(const std::string& path);  // after the last '/'
std::string UpperCase(const std::string& text);        // a-z only, byte for byte otherwise

}  // namespace engine
