// Loading the outside components that the utility library drives by file name
// (the text converter now, the archivers later): where they are looked for, and
// their entry points looked up without trusting that they exist.
#ifndef OSTREL_SYSUTIL_COMPONENT_LOADER_H
#define OSTREL_SYSUTIL_COMPONENT_LOADER_H

#include "platform/win/winbase.h"   // OSTREL_COMPONENT_DIR_VARIABLE

// Loads a component by file name: from $OSTREL_COMPONENT_DIR alone when that is
// set, otherwise from the program's directory, the installed plug-in directory,
// then the dynamic loader's own search path. Null when none of them has it.
void* component_load(const char* file);

// Frees a loaded component (null is allowed).
void component_free(void* module);

// An entry point of a loaded component, null when it does not offer it.
void* component_symbol(void* module, const char* name);

template <class F>
F component_entry(void* module, const char* name)
{
    return reinterpret_cast<F>(component_symbol(module, name));
}

#endif
