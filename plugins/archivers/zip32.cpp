// "zip32.dll": the ZIP engine that programs expect beside "zip32j.dll" and
// test for before they offer to create archives. Here the writer carries its
// engine (libarchive) itself; this module answers the presence test and its
// version.
#include "ostrel/win_types.h"

extern "C" __attribute__((visibility("default"))) DWORD ZipEngineVersion(void)
{
    return 100;
}
