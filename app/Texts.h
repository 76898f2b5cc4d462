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

// The commands' preconditions, opening lines, guards and results
inline constexpr const char* OpenZipFirst = "Error - open a zip file first";
inline constexpr const char* NoFilesSelected = "No files selected";
// Ours: the list selects no file on disk, so there is nothing to add.
inline constexpr const char* NoFilesToAdd = "No files to add";
inline constexpr const char* BeginAdd = "Beginning Add to ";  // followed by the archive
inline constexpr const char* AddFatal = "Error in Add; Fatal DLL Exception in mainunit";
inline constexpr const char* FileNotFound = "Error: file not found: ";  // followed by the name shown
inline constexpr const char* NoFilesToExtract = "Error - no files to extract";
inline constexpr const char* NoRowsSelected = "Error - no files selected";
inline constexpr const char* BeginExtract = "Beginning Extract from ";
inline constexpr const char* ExtractFatal = "Error in Extract; Fatal DLL Exception in mainunit";
inline constexpr const char* NoFilesToDelete = "Error - no files to delete";
inline constexpr const char* DeleteQuestion = "Delete selected files from: ";  // archive, then "?"
inline constexpr const char* BeginDelete = "Beginning delete from ";
inline constexpr const char* DeleteFatal = "Fatal error trying to delete";
inline constexpr const char* NothingToTest = "Error - nothing to Test";
inline constexpr const char* BeginTest = "Beginning test of ";
inline constexpr const char* AllTestedOk = "All ";                   // count, then TestedOkEnd
inline constexpr const char* TestedOkEnd = " files tested OK";
inline constexpr const char* TestedBad = "ERROR: ";                  // count, then TestedBadEnd
inline constexpr const char* TestedBadEnd = " files tested BAD, or skipped!";
inline constexpr const char* NoFilesInArchive = "Error: no files in archive";
inline constexpr const char* FilenameIsNow = "Filename is now: ";
inline constexpr const char* MakeZipFailed = "Error occured in making .ZIP file";
inline constexpr const char* MakeExeFailed = "Error occured in making .EXE file";
inline constexpr const char* Added = " added";
inline constexpr const char* Extracted = " extracted";
inline constexpr const char* Deleted = " deleted";

// What the result box adds (ours): members that landed on one file, members
// left alone because they exist, and an operation the user stopped.
inline constexpr const char* Replaced = " of them replaced a member of the same name";  // after a count
inline constexpr const char* ReplacedAdvice = ": choose Expand ZIP Dirs to keep folders";
inline constexpr const char* SkippedOne = " file was skipped: it already exists (choose OverWrite Existing to replace it)";
inline constexpr const char* SkippedMany =
    " files were skipped: they already exist (choose OverWrite Existing to replace them)";
inline constexpr const char* Tested = " tested";
inline constexpr const char* Cancelled = "Cancelled: ";  // then what was done, then CancelledBeforeStop
inline constexpr const char* CancelledBeforeStop = " before the stop";
inline constexpr const char* CancelledAdd = "Cancelled: nothing was added; the archive was left as it was";
inline constexpr const char* CancelledDelete = "Cancelled: nothing was deleted; the archive was left as it was";

// Passwords (ours): asked twice for an encrypted add, once for extracting
// or testing encrypted members.
inline constexpr const char* PasswordTitle = "Password";
inline constexpr const char* NewPasswordPrompt = "Password for the files to add:";
inline constexpr const char* RepeatPasswordPrompt = "The same password again:";
inline constexpr const char* ArchivePasswordPrompt = "Password for the encrypted files in ";  // archive, then ":"
// After a password that did not open a member: the member, then the archive.
inline constexpr const char* WrongPasswordPrompt = "The password did not open ";  // member, then WrongPasswordAsk
inline constexpr const char* WrongPasswordAsk = ". Another password for the encrypted files in ";  // archive, ":"
inline constexpr const char* PasswordEmpty = "Error - the password is empty";
inline constexpr const char* PasswordsDiffer = "Error - the two passwords differ";
inline constexpr const char* PasswordTooLong = "Error - the password is longer than 80 bytes";

// Ours: the desktop's ways in. Find above the grid, the menu on the rows,
// dropped files and archives, members opened with the desktop's program,
// the properties of the archive, the archives opened last.
inline constexpr const char* FindCaption = "&Find:";
inline constexpr const char* CountOf = " of ";  // "12 of 100000"
inline constexpr const char* MenuOpen = "&Open";
inline constexpr const char* MenuExtract = "&Extract\u2026";
inline constexpr const char* MenuDelete = "&Delete\u2026";
inline constexpr const char* MenuTest = "&Test";
inline constexpr const char* MenuCopyName = "&Copy Name";
inline constexpr const char* MenuCopyNames = "&Copy Names";
inline constexpr const char* MenuProperties = "P&roperties";
inline constexpr const char* OpenOrAddStart = "Open ";               // dropped archive, then OpenOrAddMiddle
inline constexpr const char* OpenOrAddMiddle = ", or add it to ";   // open archive, then "?"
inline constexpr const char* ChoiceOpen = "&Open";
inline constexpr const char* ChoiceAdd = "&Add";
inline constexpr const char* ChoiceCancel = "Cancel";
inline constexpr const char* CannotOpen = "Error - could not open: ";  // followed by the member's name
inline constexpr const char* ChangedUpdate = " was changed. Update it in ";  // name before, archive and "?" after
inline constexpr const char* PropertiesTitle = "Archive Properties";
inline constexpr const char* PropArchive = "Archive:";
inline constexpr const char* PropSize = "Size on disk:";
inline constexpr const char* PropMembers = "Members:";
inline constexpr const char* PropPacked = "Packed:";
inline constexpr const char* PropUnpacked = "Unpacked:";
inline constexpr const char* PropRatio = "Ratio:";
inline constexpr const char* PropEncrypted = "Encrypted:";
inline constexpr const char* PropStub = "Self-extractor stub:";
inline constexpr const char* PropComment = "Comment:";
inline constexpr const char* PropBytes = " bytes";
inline constexpr const char* PropNotOnDisk = "not on disk";
inline constexpr const char* PropNone = "None";
inline constexpr const char* PropOf = " of ";      // "3 of 10"
inline constexpr const char* PropWith = ", with ";  // then the first method
inline constexpr const char* PropAnd = " and ";     // then the next
inline constexpr const char* PropZipCrypto = "ZipCrypto";
inline constexpr const char* PropAes = "AES";
inline constexpr const char* Close = "Close";
inline constexpr const char* RecentCaption = "Recent:";

// About box
inline constexpr const char* ProductName = "Fernpack\u2122";
// The project's one version, in the four-part form the box shows.
inline constexpr const char* Version = FERNPACK_VERSION_FOUR_PART;

}  // namespace app::text
