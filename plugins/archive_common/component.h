// What every archiver component shares: its description, the ten entry points
// exported under its prefix (ARCHIVE_COMPONENT_ENTRIES), and the calls behind
// them. The command entry parses the line, runs the component's command and
// copies the report into the caller's buffer; no exception leaves it. Every
// call runs with UTF-8 as libarchive's character set, whatever the program's
// locale, so names reach the disk and the archive as the same bytes.
#pragma once
#include "ostrel/archive.h"
#include "plugins/archive_common/archive_reader.h"
#include "plugins/archive_common/command_line.h"

namespace component {

struct Component {
    const char* dll_name;
    DWORD version;                      // x 100
    const OptionRule* options;          // ends with a null name
    int (*command)(const CommandLine& line, Report& report);   // an Outcome
    FormatSetup read_formats;           // what its archives are
};

int command_entry(const Component& c, HWND window, const char* line, char* output, DWORD size);
int set_mode(int mode);
int check_archive(const Component& c, const char* file, int mode);
int file_count(const Component& c, const char* archive);
HARC open_archive(const Component& c, const char* file);
int close_archive(HARC handle);
int find_first(HARC handle, const char* wildcard, INDIVIDUALINFO* info);
int find_next(HARC handle, INDIVIDUALINFO* info);

}  // namespace component

#define ARCHIVE_COMPONENT_EXPORT extern "C" __attribute__((visibility("default")))

// Defines the ten entry points of `COMPONENT` (a component::Component) under `PREFIX`.
#define ARCHIVE_COMPONENT_ENTRIES(PREFIX, COMPONENT)                                          \
    ARCHIVE_COMPONENT_EXPORT int PREFIX(HWND w, const char* line, char* out, DWORD size)      \
    {                                                                                         \
        return ::component::command_entry(COMPONENT, w, line, out, size);                     \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT DWORD PREFIX##GetVersion(void) { return (COMPONENT).version; }   \
    ARCHIVE_COMPONENT_EXPORT int PREFIX##SetBackGroundMode(int mode)                          \
    {                                                                                         \
        return ::component::set_mode(mode);                                                   \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT int PREFIX##CheckArchive(const char* file, int mode)             \
    {                                                                                         \
        return ::component::check_archive(COMPONENT, file, mode);                             \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT int PREFIX##GetFileCount(const char* archive)                    \
    {                                                                                         \
        return ::component::file_count(COMPONENT, archive);                                   \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT int PREFIX##SetCursorMode(int mode)                              \
    {                                                                                         \
        return ::component::set_mode(mode);                                                   \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT HARC PREFIX##OpenArchive(HWND, const char* file, DWORD)          \
    {                                                                                         \
        return ::component::open_archive(COMPONENT, file);                                    \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT int PREFIX##CloseArchive(HARC handle)                            \
    {                                                                                         \
        return ::component::close_archive(handle);                                            \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT int PREFIX##FindFirst(HARC handle, const char* wildcard,         \
                                                   INDIVIDUALINFO* info)                      \
    {                                                                                         \
        return ::component::find_first(handle, wildcard, info);                               \
    }                                                                                         \
    ARCHIVE_COMPONENT_EXPORT int PREFIX##FindNext(HARC handle, INDIVIDUALINFO* info)          \
    {                                                                                         \
        return ::component::find_next(handle, info);                                          \
    }
