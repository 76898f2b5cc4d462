// The folder a self-extracting program extracts to. The default folder of
// its settings may have been written for Windows: a drive prefix ("C:\") is
// dropped, so the rest counts from the current folder, and backslashes
// become slashes. Every '><' stands for a new, private folder under the
// temporary directory ($TMPDIR, else /tmp), made only when the answer is
// used. A leading "~/" is the home folder; an empty answer the current one.
#pragma once

#include <string>

namespace sfx {

// The default folder of the settings as offered to the user on this system.
std::string DefaultFolderAnswer(const std::string& stored);

// The temporary directory that '><' makes its folder in.
std::string TemporaryDirectory();

// Makes the folder named by `answer` (with its parents) and gives its
// absolute path. False with a reason when it cannot be made.
bool PrepareFolder(const std::string& answer, std::string* path, std::string* error);

}  // namespace sfx
