#include "DynamicLibrary.h"

#include <dlfcn.h>

#include "FileSystem.h"

namespace platform {

LibraryHandle LoadLibrary(const std::string& nameOrPath)
{
    // A bare name is looked for in the program's own folder first, as the
    // program's $ORIGIN run path says. The loader would do that itself only
    // when the program calls dlopen directly; an interposed dlopen (a
    // sanitizer's, say) is judged by its own run path instead.
    if (nameOrPath.find('/') == std::string::npos) {
        const std::string program = ProgramPath();
        const std::string beside = program.substr(0, program.rfind('/') + 1) + nameOrPath;
        if (!program.empty() && FileExists(beside))
            return ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    return ::dlopen(nameOrPath.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddress(LibraryHandle library, const std::string& name)
{
    if (library == nullptr)
        return nullptr;
    return ::dlsym(library, name.c_str());
}

void FreeLibrary(LibraryHandle library)
{
    if (library != nullptr)
        ::dlclose(library);
}

std::string LastLibraryError()
{
    const char* e = ::dlerror();
    return e ? std::string(e) : std::string();
}

}  // namespace platform
