// What files dropped on the main window (or handed over by a file manager's
// "Compress with Fernpack") ask for: one archive alone is opened (or, with
// another one open, opened or added after a question); anything else is
// added through the Add Files dialog, its list filled with the dropped
// files as they are and the dropped folders as "folder/*.*".
#pragma once

#include <QList>
#include <QUrl>
#include <string>
#include <vector>

namespace app {

// A name Open Zip offers: ".zip", or ".exe" for a self-extracting program
// (any letter case).
bool IsArchiveName(const std::string& path);

// A single existing archive file, to open rather than to add.
bool IsArchiveDrop(const std::vector<std::string>& paths);

// The Add Files list entries for the dropped paths, in their order: a
// file's path, a folder's "folder/*.*"; what no longer exists is left out.
std::vector<std::string> AddListEntries(const std::vector<std::string>& paths);

// The local files among dropped URLs, as the file system's bytes.
std::vector<std::string> LocalPaths(const QList<QUrl>& urls);

// The folder a new archive for `paths` is named in: the first one's.
std::string FolderOf(const std::string& path);

}  // namespace app
