// The utility library's components go through the platform's module loading, the
// same search as the runtime's image plug-ins.
#include "sysutil/component_loader.h"
#include "platform/win/winbase.h"

void* component_load(const char* file)
{
    return LoadLibraryA(file);
}

void component_free(void* module)
{
    FreeLibrary(module);
}

void* component_symbol(void* module, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}
