// The process-wide state of the two compression libraries: one module handle
// and two entry points each, shared by every archive component in the
// process. A handle of nullptr means the library is not loaded. Releasing a
// library clears the handle only; the entry points are looked up again at
// the next load. A library that faulted inside a call is unusable for the
// rest of the process: its state is unknown (a lock it held stays held, its
// worker threads may still run), so it is never called again and never
// unloaded.
#pragma once

#include "platform/DynamicLibrary.h"

namespace engine {

struct LibraryState {
    platform::LibraryHandle Handle = nullptr;
    void* ExecEntry = nullptr;
    void* VersionEntry = nullptr;
    bool Unusable = false;
};

extern LibraryState ZipDllState;  // ZIPDLL.DLL: ZipDllExec, GetZipDllVersion
extern LibraryState UnzDllState;  // UNZDLL.DLL: UnzDllExec, GetUnzDllVersion

}  // namespace engine
