// Loading shared libraries at run time: load by path or bare name (a bare
// name is found in the program's folders first, as ProgramFileFolders in
// FileSystem.h lists them, then through the platform's search), look up
// entry points, release.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// nullptr when the library cannot be loaded.
LibraryHandle LoadLibrary(const std::string& nameOrPath);
// nullptr when the library has no such entry point.
void* GetProcAddress(LibraryHandle library, const std::string& name);
void FreeLibrary(LibraryHandle library);
// The last loader error, for diagnostics.
std::string LastLibraryError();

// There is no system dialog to suppress while loading on POSIX; kept so the
// loading sequence reads the same on every platform.
inline void SetErrorMode(unsigned /*mode*/) {}

}  // namespace platform
