// The windows' own words: captions, titles, filters and messages, in
// English, each with the context (the window) it is translated in. With no
// translation loaded users see them exactly as written here; %1, %2 stand
// for names filled in, %n for a count (app/Translate.h).
#pragma once

#include <fernpack/Version.h>

#include "app/Translate.h"

namespace app::text {

inline constexpr const char* ApplicationTitle = "Fernpack";
inline constexpr TText ConfirmCaption{"TMessageBox", QT_TRANSLATE_NOOP("TMessageBox", "Confirm")};
inline constexpr TText Yes{"TMessageBox", QT_TRANSLATE_NOOP("TMessageBox", "&Yes")};
inline constexpr TText No{"TMessageBox", QT_TRANSLATE_NOOP("TMessageBox", "&No")};
inline constexpr TText Ok{"TMessageBox", QT_TRANSLATE_NOOP("TMessageBox", "OK")};

// Main window
inline constexpr TText NoArchive{"TMainform", QT_TRANSLATE_NOOP("TMainform", "<none>")};
inline constexpr TText OpenTitle{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Open Existing ZIP File")};
inline constexpr TText OpenFilter{"TMainform", QT_TRANSLATE_NOOP("TMainform", "ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe")};
inline constexpr TText NewTitle{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Create New ZIP File")};
inline constexpr TText NewFilter{"TMainform", QT_TRANSLATE_NOOP("TMainform", "ZIP Files (*.ZIP)|*.zip")};
inline constexpr TText NewIsExe{
    "TMainform", QT_TRANSLATE_NOOP("TMainform", "Error: you must create a .ZIP file, then convert to .EXE")};
inline constexpr TText NewNotZip{"TMainform",
                                 QT_TRANSLATE_NOOP("TMainform", "Error: your new archive must end in .ZIP")};
inline constexpr TText OverwriteQuestion{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Overwrite Existing File: %1?")};
inline constexpr TText ZipNotFound{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Zip file not found: %1")};
inline constexpr TText DestroyQuestion{"TMainform",
                                       QT_TRANSLATE_NOOP("TMainform", "Are you sure you want to delete: %1?")};
// Ours: a file that would not go away is said so, and nothing else happens.
inline constexpr TText CannotDelete{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - could not delete: %1")};
inline constexpr TText ConvertToZip{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Convert to ZIP")};
inline constexpr TText ConvertToExe{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Convert to EXE")};

// Messages window
inline constexpr TText MemoFull{
    "TMsgform", QT_TRANSLATE_NOOP("TMsgform", "Memo Full - Updating Stopped, but your operation is continuing...")};
inline constexpr TText DllError{"TMsgform", QT_TRANSLATE_NOOP("TMsgform", "Error Msg from DLL: %1")};

// The commands' preconditions, opening lines, guards and results
inline constexpr TText OpenZipFirst{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - open a zip file first")};
inline constexpr TText NoFilesSelected{"TMainform", QT_TRANSLATE_NOOP("TMainform", "No files selected")};
// Ours: the list selects no file on disk, so there is nothing to add.
inline constexpr TText NoFilesToAdd{"TMainform", QT_TRANSLATE_NOOP("TMainform", "No files to add")};
inline constexpr TText BeginAdd{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Beginning Add to %1")};
inline constexpr TText AddFatal{"TMainform",
                                QT_TRANSLATE_NOOP("TMainform", "Error in Add; Fatal DLL Exception in mainunit")};
inline constexpr TText FileNotFound{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error: file not found: %1")};
inline constexpr TText NoFilesToExtract{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - no files to extract")};
inline constexpr TText NoRowsSelected{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - no files selected")};
inline constexpr TText BeginExtract{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Beginning Extract from %1")};
inline constexpr TText ExtractFatal{
    "TMainform", QT_TRANSLATE_NOOP("TMainform", "Error in Extract; Fatal DLL Exception in mainunit")};
inline constexpr TText NoFilesToDelete{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - no files to delete")};
inline constexpr TText DeleteQuestion{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Delete selected files from: %1?")};
inline constexpr TText BeginDelete{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Beginning delete from %1")};
inline constexpr TText DeleteFatal{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Fatal error trying to delete")};
inline constexpr TText NothingToTest{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - nothing to Test")};
inline constexpr TText BeginTest{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Beginning test of %1")};
inline constexpr TText NoFilesInArchive{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error: no files in archive")};
inline constexpr TText FilenameIsNow{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Filename is now: %1")};
inline constexpr TText MakeZipFailed{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error occured in making .ZIP file")};
inline constexpr TText MakeExeFailed{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error occured in making .EXE file")};
inline constexpr TPluralText Added{"TMainform", QT_TRANSLATE_N_NOOP("TMainform", "%n files were added"),
                                   "%n file was added"};
inline constexpr TPluralText Extracted{"TMainform", QT_TRANSLATE_N_NOOP("TMainform", "%n files were extracted"),
                                       "%n file was extracted"};
inline constexpr TPluralText Deleted{"TMainform", QT_TRANSLATE_N_NOOP("TMainform", "%n files were deleted"),
                                     "%n file was deleted"};
inline constexpr TPluralText AllTestedOk{"TMainform", QT_TRANSLATE_N_NOOP("TMainform", "All %n files tested OK"),
                                         "All %n files tested OK"};
inline constexpr TPluralText TestedBad{"TMainform",
                                       QT_TRANSLATE_N_NOOP("TMainform", "ERROR: %n files tested BAD, or skipped!"),
                                       "ERROR: %n files tested BAD, or skipped!"};

// What the result box adds (ours): members that landed on one file, members
// left alone because they exist, and an operation the user stopped.
inline constexpr TPluralText Replaced{"TMainform",
                                      QT_TRANSLATE_N_NOOP("TMainform", "%n of them replaced a member of the same name"),
                                      "%n of them replaced a member of the same name"};
inline constexpr TPluralText ReplacedAdvice{
    "TMainform",
    QT_TRANSLATE_N_NOOP("TMainform",
                        "%n of them replaced a member of the same name: choose Expand ZIP Dirs to keep folders"),
    "%n of them replaced a member of the same name: choose Expand ZIP Dirs to keep folders"};
inline constexpr TPluralText Skipped{
    "TMainform",
    QT_TRANSLATE_N_NOOP("TMainform",
                        "%n files were skipped: they already exist (choose OverWrite Existing to replace them)"),
    "%n file was skipped: it already exists (choose OverWrite Existing to replace it)"};
inline constexpr TPluralText CancelledExtract{
    "TMainform", QT_TRANSLATE_N_NOOP("TMainform", "Cancelled: %n files were extracted before the stop"),
    "Cancelled: %n file was extracted before the stop"};
inline constexpr TPluralText CancelledTest{
    "TMainform", QT_TRANSLATE_N_NOOP("TMainform", "Cancelled: %n files were tested before the stop"),
    "Cancelled: %n file was tested before the stop"};
inline constexpr TText CancelledAdd{
    "TMainform", QT_TRANSLATE_NOOP("TMainform", "Cancelled: nothing was added; the archive was left as it was")};
inline constexpr TText CancelledDelete{
    "TMainform", QT_TRANSLATE_NOOP("TMainform", "Cancelled: nothing was deleted; the archive was left as it was")};

// Passwords (ours): asked twice for an encrypted add, once for extracting
// or testing encrypted members.
inline constexpr TText PasswordTitle{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Password")};
inline constexpr TText NewPasswordPrompt{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Password for the files to add:")};
inline constexpr TText RepeatPasswordPrompt{"TMainform", QT_TRANSLATE_NOOP("TMainform", "The same password again:")};
inline constexpr TText ArchivePasswordPrompt{"TMainform",
                                             QT_TRANSLATE_NOOP("TMainform", "Password for the encrypted files in %1:")};
// After a password that did not open a member: the member, then the archive.
inline constexpr TText WrongPasswordPrompt{
    "TMainform",
    QT_TRANSLATE_NOOP("TMainform", "The password did not open %1. Another password for the encrypted files in %2:")};
inline constexpr TText PasswordEmpty{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - the password is empty")};
inline constexpr TText PasswordsDiffer{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - the two passwords differ")};
inline constexpr TText PasswordTooLong{"TMainform",
                                       QT_TRANSLATE_NOOP("TMainform", "Error - the password is longer than 80 bytes")};

// Ours: the desktop's ways in. Find above the grid, the menu on the rows,
// dropped files and archives, members opened with the desktop's program,
// the properties of the archive, the archives opened last.
inline constexpr TText FindCaption{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Find:")};
inline constexpr TText CountOf{"TMainform", QT_TRANSLATE_NOOP("TMainform", "%1 of %2")};
inline constexpr TText MenuOpen{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Open")};
inline constexpr TText MenuExtract{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Extract\u2026")};
inline constexpr TText MenuDelete{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Delete\u2026")};
inline constexpr TText MenuTest{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Test")};
inline constexpr TText MenuCopyName{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Copy Name")};
inline constexpr TText MenuCopyNames{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Copy Names")};
inline constexpr TText MenuProperties{"TMainform", QT_TRANSLATE_NOOP("TMainform", "P&roperties")};
inline constexpr TText OpenOrAdd{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Open %1, or add it to %2?")};
inline constexpr TText ChoiceOpen{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Open")};
inline constexpr TText ChoiceAdd{"TMainform", QT_TRANSLATE_NOOP("TMainform", "&Add")};
inline constexpr TText ChoiceCancel{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Cancel")};
inline constexpr TText CannotOpen{"TMainform", QT_TRANSLATE_NOOP("TMainform", "Error - could not open: %1")};
inline constexpr TText ChangedUpdate{"TMainform", QT_TRANSLATE_NOOP("TMainform", "%1 was changed. Update it in %2?")};
inline constexpr TText PropertiesTitle{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Archive Properties")};
inline constexpr TText PropArchive{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Archive:")};
inline constexpr TText PropSize{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Size on disk:")};
inline constexpr TText PropMembers{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Members:")};
inline constexpr TText PropPacked{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Packed:")};
inline constexpr TText PropUnpacked{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Unpacked:")};
inline constexpr TText PropRatio{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Ratio:")};
inline constexpr TText PropPercent{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "%1%")};
inline constexpr TText PropEncrypted{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Encrypted:")};
inline constexpr TText PropStub{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Self-extractor stub:")};
inline constexpr TText PropComment{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Comment:")};
inline constexpr TText PropBytes{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "%1 bytes")};
inline constexpr TText PropNotOnDisk{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "not on disk")};
inline constexpr TText PropNone{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "None")};
inline constexpr TText PropOf{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "%1 of %2")};
inline constexpr TText PropWith{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", ", with %1")};
inline constexpr TText PropAnd{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", " and %1")};
inline constexpr const char* PropZipCrypto = "ZipCrypto";
inline constexpr const char* PropAes = "AES";
inline constexpr TText Close{"TPropertiesBox", QT_TRANSLATE_NOOP("TPropertiesBox", "Close")};
inline constexpr TText RecentCaption{"TOpenDialog", QT_TRANSLATE_NOOP("TOpenDialog", "Recent:")};

// About box
inline constexpr const char* ProductName = "Fernpack\u2122";
// The project's one version, in the four-part form the box shows.
inline constexpr const char* Version = FERNPACK_VERSION_FOUR_PART;

}  // namespace app::text
