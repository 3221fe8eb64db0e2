// Module loading over dlopen: the one search order for every outside component
// (the program's directory, the installed plug-in directory, the loader's path),
// with a directory override for tests.
#include "platform/win/winbase.h"

#include <dlfcn.h>
#include <unistd.h>
#include <climits>
#include <cstdlib>
#include <string>

#ifndef OSTREL_PLUGIN_DIR
#define OSTREL_PLUGIN_DIR "/usr/local/lib/ostrel/plugins"
#endif

namespace {

std::string program_dir()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    std::string path(buf, static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void* open_in(const std::string& dir, const char* file)
{
    return dir.empty() ? nullptr : dlopen((dir + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL);
}

} // namespace

HMODULE LoadLibraryA(const char* file)
{
    if (!file || !*file)
        return nullptr;
    if (const char* only = std::getenv(OSTREL_COMPONENT_DIR_VARIABLE); only && *only)
        return open_in(only, file);
    if (void* m = open_in(program_dir(), file))
        return m;
    if (void* m = open_in(OSTREL_PLUGIN_DIR, file))
        return m;
    return dlopen(file, RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    return module && name ? reinterpret_cast<FARPROC>(dlsym(module, name)) : nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    return module && dlclose(module) == 0 ? TRUE : FALSE;
}
