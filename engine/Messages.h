// Codes and texts of every message the archive component reports itself.
// The texts are what users see; keep them exactly as they stand.
#pragma once

#include <cstdint>

namespace engine {

namespace msg {

inline constexpr std::int32_t Info = 0;

inline constexpr const char* ZipDllLoaded = "ZIP DLL Loaded";
inline constexpr const char* UnzDllLoaded = "UNZ DLL Loaded";

inline constexpr std::int32_t FatalDll = 101;
inline constexpr const char* FatalZipDll = "Fatal ZIPDLL Error: abort exception";
inline constexpr const char* FatalUnzDll = "Fatal UNZDLL Error: abort exception";

inline constexpr std::int32_t NoZipFile = 102;
inline constexpr const char* NoZipFilenameSpecified = "Error - no zip filename specified";
inline constexpr const char* NoZipFileSpecified = "Error - no zip file specified";

// Our own refusal of input the library records cannot carry.
inline constexpr std::int32_t TooLongForLibrary = 103;
inline constexpr const char* TooManySpecsText = "Error - more than 4097 file patterns";
inline constexpr const char* TextTooLongText = "Error - file name or pattern too long: ";
inline constexpr const char* PasswordTooLongText = "Error - password longer than 80 characters";

// Our own refusal to call a library again after it faulted inside a call.
inline constexpr std::int32_t LibraryUnusable = 104;
inline constexpr const char* ZipDllUnusableText =
    "ZIPDLL.DLL failed earlier and cannot be used again until the program is restarted";
inline constexpr const char* UnzDllUnusableText =
    "UNZDLL.DLL failed earlier and cannot be used again until the program is restarted";

// Our own refusal to convert a file the user may not write (the conversion
// deletes it once the new file is made).
inline constexpr std::int32_t ReadOnlyFile = 105;
inline constexpr const char* ReadOnlyFileText = "Error - the file is read-only, so it was left as it is: ";

inline constexpr std::int32_t NoFilesToZip = 301;
inline constexpr const char* NoFilesToZipText = "Error - no files to zip";

inline constexpr std::int32_t NoFilesToDelete = 401;
inline constexpr const char* NoFilesToDeleteText = "Error - no files selected for deletion";

inline constexpr std::int32_t ZipExecMissing = 602;
inline constexpr const char* ZipExecMissingText = "ZipDllExec function not found in ZIPDLL.DLL";
inline constexpr std::int32_t ZipVersionMissing = 603;
inline constexpr const char* ZipVersionMissingText = "GetZipDllVersion function not found in ZIPDLL.DLL";
inline constexpr std::int32_t ZipDllNotFound = 604;
inline constexpr const char* ZipDllNotFoundText = "ZIPDLL.DLL not found";

inline constexpr std::int32_t UnzExecMissing = 702;
inline constexpr const char* UnzExecMissingText = "UnzDllExec function not found in UNZDLL.DLL";
inline constexpr std::int32_t UnzVersionMissing = 703;
inline constexpr const char* UnzVersionMissingText = "GetUnzDllVersion function not found in UNZDLL.DLL";
inline constexpr std::int32_t UnzDllNotFound = 704;
inline constexpr const char* UnzDllNotFoundText = "UNZDLL.DLL not found";

inline constexpr std::int32_t SfxTextsTooLong = 801;
inline constexpr const char* SfxTextsTooLongText = "Error - The total size of the 3 text properties exceeds 249!";
inline constexpr const char* SfxTextsTotalText = "SFXCaption + SFXDefaultDir + SFXCommandLine = ";
inline constexpr std::int32_t SfxStubNotFound = 802;
inline constexpr const char* SfxStubNotFoundText = "Error - ZIPSFX.BIN not found";
inline constexpr std::int32_t NotAZipFile = 803;
inline constexpr const char* NotAZipFileText = "Error: input file is not a zip file";
// Our own refusal of a stub the program's listing would not find past.
inline constexpr std::int32_t UnusableStub = 808;
inline constexpr const char* UnusableStubText = "Error - cannot use this file as ZIPSFX.BIN: ";  // path, ": ", why
inline constexpr std::int32_t ConvertZipFailed = 805;
inline constexpr const char* ConvertZipFailedText = "Error in ConvertZip";
inline constexpr std::int32_t ConvertSfxFailed = 806;
inline constexpr const char* ConvertSfxFailedText = "Error in ConvertSFX";
inline constexpr std::int32_t NoExeFile = 807;
inline constexpr const char* NoExeFileText = "Error - no .EXE filename specified";
inline constexpr std::int32_t NotAnExeFile = 902;
inline constexpr const char* NotAnExeFileText = "Error: input file is not an .EXE file";
inline constexpr std::int32_t SfxTypeUnknown = 903;
inline constexpr const char* SfxTypeUnknownText = "Error determining the type of SFX archive";

inline constexpr std::int32_t NoValidEntries = 1036;
inline constexpr const char* NoValidEntriesText = "No valid zip entries found ";  // followed by 1 .. 5

// Listing errors, carried by EFileStreamError.
inline constexpr const char* CannotOpenFile = "Cannot open file ";  // followed by the path
inline constexpr const char* ErrorReadingZip = "Error reading Zip File";
inline constexpr const char* Error2ReadingZip = "Error 2 reading Zip file";
inline constexpr const char* Error3ReadingZip = "Error 3 reading Zip file";
inline constexpr const char* Error4ReadingZip = "Error 4 reading Zip file";
inline constexpr const char* Error5ReadingZip = "Error 5 reading Zip file";

}  // namespace msg

}  // namespace engine
