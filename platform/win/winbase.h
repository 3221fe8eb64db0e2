// Kernel module loading, Win32-shaped: outside components (image plug-ins, the
// text converter, later the archivers) are shared objects loaded by their given
// file names. Implemented with dlopen in platform/win/modules.cpp.
#pragma once
#include "platform/win_types.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

using FARPROC = void (*)();

// The environment variable naming the one directory to search instead of the
// usual places (tests point it at the build's plug-in directory or an empty one).
inline constexpr const char OSTREL_COMPONENT_DIR_VARIABLE[] = "OSTREL_COMPONENT_DIR";

// Loads a component by file name: from $OSTREL_COMPONENT_DIR alone when that is
// set, otherwise from the program's directory, the installed plug-in directory,
// then the dynamic loader's own search path. Null when none of them has it.
HMODULE LoadLibraryA(const char* file);
// An entry point of a loaded component, null when it does not offer it.
FARPROC GetProcAddress(HMODULE module, const char* name);
// Frees a loaded component; FALSE for null.
BOOL FreeLibrary(HMODULE module);

OSTREL_INTERNAL_EXPORT_END
