// The four archivers: the command lines each sends for add, extract_all,
// extract_one and special, the ZIP creator, and the write time that CAB and
// TAR archives take from their sources.
#include "sysutil/archive_internal.h"
#include "platform/win/winbase.h"

#include <cstdio>

using archive_detail::bare_directory;
using archive_detail::is_current_directory;

namespace {

// Whether a component can be loaded at all (loaded only to test it).
bool component_present(const char* name)
{
    HMODULE module = LoadLibraryA(name);
    if (!module)
        return false;
    FreeLibrary(module);
    return true;
}

// An archive whose size is 0 (missing or empty) has nothing to extract.
bool nothing_to_extract(const char* archive)
{
    return file_size(archive) == 0;
}

}  // namespace

LzhArchiver::LzhArchiver() : Archiver("Unlha", "unlha32.dll", 1) {}

int LzhArchiver::special(const char* archive)
{
    char line[ARCHIVE_COMMAND_MAX];
    const int n = std::snprintf(line, sizeof line, "s -x -n1 -gw3 \"%s\"", archive ? archive : "");
    if (n < 0 || n >= static_cast<int>(sizeof line))
        return 0;
    return call(get_owner_window(), line, nullptr, 0) == 0 ? 1 : 0;
}

int LzhArchiver::add(const char* archive, const char* source)
{
    if (!archive || !path_exists(source, 0))
        return 0;
    if (is_dir(source))
        return send("a -d1 -z2 -t -n1 \"%s\" \"%s\\\"", archive, bare_directory(source).c_str());
    return send("a -d1 -z2 -t -n1 \"%s\" \"%s\"", archive, source);
}

int LzhArchiver::extract_all(const char* archive, const char* directory)
{
    if (!archive || nothing_to_extract(archive))
        return 1;
    return send("x -n1 \"%s\" \"%s\\\"", archive, bare_directory(directory).c_str());
}

int LzhArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    if (!archive || !file)
        return 0;
    return send("e -y -n1 \"%s\" \"%s\\\" \"%s\"", archive, bare_directory(directory).c_str(), file);
}

ZipArchiver::ZipArchiver() : Archiver("UnZip", "unzip32.dll", 0), creator_("Zip", "zip32j.dll", 0) {}

int ZipArchiver::bind()
{
    if (!Archiver::bind())
        return 0;
    // Creating needs the creator and the engine it is known to come with.
    can_create_ = creator_.bind() &&
                  (component_present("zip32.dll") || component_present("izip32j.dll")) ? 1 : 0;
    return 1;
}

int ZipArchiver::version_text(char* out)
{
    if (!can_create_)
        return Archiver::version_text(out);
    if (!out)
        return 0;
    std::snprintf(out, ARCHIVE_VERSION_TEXT, "Zip %s ver.%4.2lf and zip32j.dll ver.%4.2lf", dll_name(),
                  dll_version() / 100.0, creator_.dll_version() / 100.0);
    return 1;
}

int ZipArchiver::add(const char* archive, const char* source)
{
    if (!archive || !path_exists(source, 0) || !can_create_)
        return 0;
    if (!is_dir(source))
        return creator_.send("-r -j -o -q \"%s\" \"%s\"", archive, source);
    char absolute[SYSUTIL_MAX_PATH];
    if (!_abspath(archive, absolute))
        return 0;
    CurrentDirKeeper inside(source);
    if (!is_current_directory(source))
        return 0;
    return creator_.send("-R -o -q \"%s\" *.*", absolute);
}

int ZipArchiver::extract_all(const char* archive, const char* directory)
{
    if (!archive || nothing_to_extract(archive))
        return 1;
    return send("-x --i \"%s\" \"%s\\\"", archive, bare_directory(directory).c_str());
}

int ZipArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    if (!archive || !file)
        return 0;
    return send("-x -j --i -o \"%s\" \"%s\\\" \"%s\"", archive, bare_directory(directory).c_str(), file);
}

CabArchiver::CabArchiver() : Archiver("Cab", "cab32.dll", 1) {}

int CabArchiver::special(const char* archive)
{
    char line[ARCHIVE_COMMAND_MAX];
    const int n = std::snprintf(line, sizeof line, "-f -i \"%s\"", archive ? archive : "");
    if (n < 0 || n >= static_cast<int>(sizeof line))
        return 0;
    return call(get_owner_window(), line, nullptr, 0) == 0 ? 1 : 0;
}

int CabArchiver::add(const char* archive, const char* source)
{
    if (!archive || !path_exists(source, 0))
        return 0;
    const SYSTEMTIME newest = newest_write_time(source);
    const int done = is_dir(source)
                         ? send("-a -r -i \"%s\" \"%s\\\" *.*", archive, bare_directory(source).c_str())
                         : send("-a -i \"%s\" \"%s\"", archive, source);
    if (done)
        set_write_time(archive, &newest);
    return done;
}

int CabArchiver::extract_all(const char* archive, const char* directory)
{
    if (!archive || nothing_to_extract(archive))
        return 1;
    return send("-x -i -o \"%s\" \"%s\\\" *.*", archive, bare_directory(directory).c_str());
}

int CabArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    if (!archive || !file)
        return 0;
    return send("-x -i -j -o \"%s\" \"%s\\\" \"%s\"", archive, bare_directory(directory).c_str(), file);
}

TarArchiver::TarArchiver() : Archiver("Tar", "tar32.dll", 0) {}

int TarArchiver::add(const char* archive, const char* source)
{
    if (!archive || !path_exists(source, 0))
        return 0;
    const SYSTEMTIME newest = newest_write_time(source);
    int done;
    if (is_dir(source)) {
        char absolute[SYSUTIL_MAX_PATH];
        if (!_abspath(archive, absolute))
            return 0;
        CurrentDirKeeper inside(source);
        if (!is_current_directory(source))
            return 0;
        done = send("--display-dialog=0 -c -z -n -f \"%s\" *.*", absolute);
    } else {
        done = send("--display-dialog=0 -c -z -n -f \"%s\" \"%s\"", archive, source);
    }
    if (done)
        set_write_time(archive, &newest);
    return done;
}

int TarArchiver::extract_all(const char* archive, const char* directory)
{
    if (!archive || nothing_to_extract(archive))
        return 1;
    return send("--display-dialog=0 -x -n -f \"%s\" -o \"%s\\\"", archive, bare_directory(directory).c_str());
}

int TarArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    if (!archive || !file)
        return 0;
    return send("--display-dialog=0 --use-directory=0 -x -n -f \"%s\" -o \"%s\\\" \"%s\"", archive,
                bare_directory(directory).c_str(), file);
}
