// The windows' own words: captions, titles, filters and messages. Users see
// these exactly as written here.
#pragma once

#include <fernpack/Version.h>

namespace app::text {

inline constexpr const char* ApplicationTitle = "Fernpack";
inline constexpr const char* ConfirmCaption = "Confirm";
inline constexpr const char* Yes = "&Yes";
inline constexpr const char* No = "&No";
inline constexpr const char* Ok = "OK";

// Main window
inline constexpr const char* NoArchive = "<none>";
inline constexpr const char* OpenTitle = "Open Existing ZIP File";
inline constexpr const char* OpenFilter = "ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe";
inline constexpr const char* NewTitle = "Create New ZIP File";
inline constexpr const char* NewFilter = "ZIP Files (*.ZIP)|*.zip";
inline constexpr const char* NewIsExe = "Error: you must create a .ZIP file, then convert to .EXE";
inline constexpr const char* NewNotZip = "Error: your new archive must end in .ZIP";
inline constexpr const char* OverwriteQuestion = "Overwrite Existing File: ";  // name, then "?"
inline constexpr const char* ZipNotFound = "Zip file not found: ";            // followed by the name
inline constexpr const char* DestroyQuestion = "Are you sure you want to delete: ";  // name, then "?"
// Ours: a file that would not go away is said so, and nothing else happens.
inline constexpr const char* CannotDelete = "Error - could not delete: ";  // followed by the name
inline constexpr const char* ConvertToZip = "Convert to ZIP";
inline constexpr const char* ConvertToExe = "Convert to EXE";

// Messages window
inline constexpr const char* MemoFull = "Memo Full - Updating Stopped, but your operation is continuing...";
inline constexpr const char* DllError = "Error Msg from DLL: ";  // followed by the message

// About box
inline constexpr const char* ProductName = "Fernpack\u2122";
// The project's one version, in the four-part form the box shows.
inline constexpr const char* Version = FERNPACK_VERSION_FOUR_PART;

}  // namespace app::text
