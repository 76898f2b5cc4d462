#include "DynamicLibrary.h"

#include <dlfcn.h>

namespace platform {

LibraryHandle LoadLibrary(const std::string& nameOrPath)
{
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
