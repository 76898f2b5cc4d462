#include "DynamicLibrary.h"

#include <dlfcn.h>

#include "FileSystem.h"

namespace platform {

LibraryHandle LoadLibrary(const std::string& nameOrPath)
{
    // A bare name is looked for in the program's folders first (its own,
    // its installation's lib/fernpack, the fixed install folders) by full
    // path, so neither a run path nor an environment variable is needed,
    // and an interposed dlopen (a sanitizer's, say) finds the same file.
    // Only then is the name left to the platform's own search.
    if (nameOrPath.find('/') == std::string::npos) {
        for (const std::string& folder : ProgramFileFolders()) {
            const std::string path = folder + "/" + nameOrPath;
            if (FileExists(path))
                return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        }
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
