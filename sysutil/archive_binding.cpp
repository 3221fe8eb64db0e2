// Archiver: binding a component by name, the base operations, version_text and
// the thin wrappers over the component's entry points.
#include "sysutil/archive_internal.h"
#include "sysutil/hooks_internal.h"
#include "platform/win/winbase.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

Archiver::Archiver(const char* prefix, const char* dll_name, int kind)
    : names_{}, can_create_(0), kind_(kind), command_(nullptr), get_version_(nullptr),
      set_background_mode_(nullptr), check_archive_(nullptr), get_file_count_(nullptr),
      set_cursor_mode_(nullptr), open_archive_(nullptr), close_archive_(nullptr),
      find_first_(nullptr), find_next_(nullptr), module_(nullptr)
{
    // The prefix, a terminator, then the component's file name.
    std::snprintf(names_, sizeof names_, "%s", prefix);
    const std::size_t at = std::strlen(names_) + 1;
    if (at < sizeof names_)
        std::snprintf(names_ + at, sizeof names_ - at, "%s", dll_name);
}

Archiver::~Archiver()
{
    if (module_)
        FreeLibrary(static_cast<HMODULE>(module_));
}

const char* Archiver::dll_name() const
{
    return names_ + std::strlen(names_) + 1;
}

int Archiver::bind()
{
    if (module_)
        return 1;
    module_ = LoadLibraryA(dll_name());
    if (!module_)
        return 0;
    can_create_ = 1;
    const auto entry = [this](const char* word) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%s", prefix(), word);
        return GetProcAddress(static_cast<HMODULE>(module_), name);
    };
    command_ = reinterpret_cast<archive_command_fn>(entry(""));
    get_version_ = reinterpret_cast<archive_get_version_fn>(entry("GetVersion"));
    set_background_mode_ = reinterpret_cast<archive_set_mode_fn>(entry("SetBackGroundMode"));
    check_archive_ = reinterpret_cast<archive_check_fn>(entry("CheckArchive"));
    get_file_count_ = reinterpret_cast<archive_file_count_fn>(entry("GetFileCount"));
    set_cursor_mode_ = reinterpret_cast<archive_set_mode_fn>(entry("SetCursorMode"));
    open_archive_ = reinterpret_cast<archive_open_fn>(entry("OpenArchive"));
    close_archive_ = reinterpret_cast<archive_close_fn>(entry("CloseArchive"));
    find_first_ = reinterpret_cast<archive_find_first_fn>(entry("FindFirst"));
    find_next_ = reinterpret_cast<archive_find_next_fn>(entry("FindNext"));
    if (set_background_mode_)
        set_background_mode_(0);
    return 1;
}

int Archiver::special(const char*)
{
    // A self-extracting archive would be a Windows program: of no use here.
    sysutil_trace("%s: self-extracting archives are not made on this platform\n", prefix());
    return 0;
}

int Archiver::add(const char*, const char*) { return 0; }
int Archiver::extract_all(const char*, const char*) { return 0; }
int Archiver::extract_one(const char*, const char*, const char*) { return 0; }

int Archiver::version_text(char* out)
{
    if (!out || !module_)
        return 0;
    std::snprintf(out, ARCHIVE_VERSION_TEXT, "%s %s ver.%4.2lf", prefix(), dll_name(),
                  dll_version() / 100.0);
    return 1;
}

int Archiver::check_archive(const char* file, int mode)
{
    return module_ && check_archive_ ? check_archive_(file, mode) : 0;
}

int Archiver::file_count(const char* archive)
{
    return module_ && get_file_count_ ? get_file_count_(archive) : 0;
}

int Archiver::dll_version()
{
    return module_ && get_version_ ? static_cast<int>(get_version_() & 0xFFFF) : 0;
}

int Archiver::set_cursor_mode(int mode)
{
    return module_ && set_cursor_mode_ ? set_cursor_mode_(mode) : 0;
}

int Archiver::set_background_mode(int mode)
{
    return module_ && set_background_mode_ ? set_background_mode_(mode) : 0;
}

HARC Archiver::open_archive(HWND window, const char* file, DWORD mode)
{
    return module_ && open_archive_ ? open_archive_(window, file, mode) : nullptr;
}

int Archiver::close_archive(HARC handle)
{
    return module_ && close_archive_ ? close_archive_(handle) : 0;
}

int Archiver::find_first(HARC handle, const char* wildcard, INDIVIDUALINFO* info)
{
    return module_ && find_first_ ? find_first_(handle, wildcard, info) : 0;
}

int Archiver::find_next(HARC handle, INDIVIDUALINFO* info)
{
    return module_ && find_next_ ? find_next_(handle, info) : 0;
}

namespace archive_detail {

std::string bare_directory(const char* directory)
{
    std::string d = directory ? directory : "";
    while (d.size() > 1 && (d.back() == '/' || d.back() == '\\'))
        d.pop_back();
    return d;
}

bool is_current_directory(const char* directory)
{
    struct stat here, there;
    return stat(".", &here) == 0 && stat(directory, &there) == 0 && here.st_dev == there.st_dev &&
           here.st_ino == there.st_ino;
}

}  // namespace archive_detail
