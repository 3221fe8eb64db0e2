// The four archivers: the command lines each sends for add, extract_all,
// extract_one and special, the ZIP creator, and the write time that CAB and
// TAR archives take from their sources.
#include "sysutil/archive_internal.h"
#include "platform/win/winbase.h"

#include <cstdio>

using archive_detail::bare_directory;
using archive_detail::is_current_directory;

namespace {

// The command lines of the variants, filled in the order archive, source or
// directory (always with one trailing backslash), file.
struct CommandLines {
    const char* add_file;
    const char* add_directory;
    const char* extract_all;
    const char* extract_one;
    const char* special;
};
constexpr CommandLines LZH{"a -d1 -z2 -t -n1 \"%s\" \"%s\"", "a -d1 -z2 -t -n1 \"%s\" \"%s\\\"",
                           "x -n1 \"%s\" \"%s\\\"", "e -y -n1 \"%s\" \"%s\\\" \"%s\"",
                           "s -x -n1 -gw3 \"%s\""};
constexpr CommandLines ZIP{"-r -j -o -q \"%s\" \"%s\"", "-R -o -q \"%s\" *.*", "-x --i \"%s\" \"%s\\\"",
                           "-x -j --i -o \"%s\" \"%s\\\" \"%s\"", nullptr};
constexpr CommandLines CAB{"-a -i \"%s\" \"%s\"", "-a -r -i \"%s\" \"%s\\\" *.*",
                           "-x -i -o \"%s\" \"%s\\\" *.*", "-x -i -j -o \"%s\" \"%s\\\" \"%s\"",
                           "-f -i \"%s\""};
constexpr CommandLines TAR{"--display-dialog=0 -c -z -n -f \"%s\" \"%s\"",
                           "--display-dialog=0 -c -z -n -f \"%s\" *.*",
                           "--display-dialog=0 -x -n -f \"%s\" -o \"%s\\\"",
                           "--display-dialog=0 --use-directory=0 -x -n -f \"%s\" -o \"%s\\\" \"%s\"",
                           nullptr};

// Whether a component can be loaded at all (loaded only to test it).
bool component_present(const char* name)
{
    HMODULE module = LoadLibraryA(name);
    if (!module)
        return false;
    FreeLibrary(module);
    return true;
}

// An archive whose size is 0 (missing or empty) has nothing to extract: 1
// without a command.
int extract_all_with(Archiver& a, const char* line, const char* archive, const char* directory)
{
    if (!archive || file_size(archive) == 0)
        return 1;
    return a.send(line, archive, bare_directory(directory).c_str());
}

int extract_one_with(Archiver& a, const char* line, const char* archive, const char* directory,
                     const char* file)
{
    if (!archive || !file)
        return 0;
    return a.send(line, archive, bare_directory(directory).c_str(), file);
}

// The add command for a file, or for a directory given with its backslash.
int add_with(Archiver& a, const CommandLines& lines, const char* archive, const char* source)
{
    if (is_dir(source))
        return a.send(lines.add_directory, archive, bare_directory(source).c_str());
    return a.send(lines.add_file, archive, source);
}

// The add command for a directory sent from inside it, with the archive's
// path made absolute first; 0 when the directory could not be entered.
int add_from_inside(Archiver& a, const char* line, const char* archive, const char* directory)
{
    char absolute[SYSUTIL_MAX_PATH];
    if (!_abspath(archive, absolute))
        return 0;
    CurrentDirKeeper inside(directory);
    if (!is_current_directory(directory))
        return 0;
    return a.send(line, absolute);
}

// Runs `add` and then gives the archive the newest write time of the source.
template <class Add>
int keeping_source_time(const char* archive, const char* source, Add add)
{
    const SYSTEMTIME newest = newest_write_time(source);
    const int done = add();
    if (done)
        set_write_time(archive, &newest);
    return done;
}

// The slot-0 command, with the owner window as the component's window.
int special_with(Archiver& a, const char* line, const char* archive)
{
    char text[ARCHIVE_COMMAND_MAX];
    const int n = std::snprintf(text, sizeof text, line, archive ? archive : "");
    if (n < 0 || n >= static_cast<int>(sizeof text))
        return 0;
    return a.call(get_owner_window(), text, nullptr, 0) == 0 ? 1 : 0;
}

bool source_ok(const char* archive, const char* source)
{
    return archive && path_exists(source, 0);
}

}  // namespace

LzhArchiver::LzhArchiver() : Archiver("Unlha", "unlha32.dll", 1) {}

int LzhArchiver::special(const char* archive)
{
    return special_with(*this, LZH.special, archive);
}

int LzhArchiver::add(const char* archive, const char* source)
{
    return source_ok(archive, source) ? add_with(*this, LZH, archive, source) : 0;
}

int LzhArchiver::extract_all(const char* archive, const char* directory)
{
    return extract_all_with(*this, LZH.extract_all, archive, directory);
}

int LzhArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    return extract_one_with(*this, LZH.extract_one, archive, directory, file);
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
    if (!source_ok(archive, source) || !can_create_)
        return 0;
    if (is_dir(source))
        return add_from_inside(creator_, ZIP.add_directory, archive, source);
    return creator_.send(ZIP.add_file, archive, source);
}

int ZipArchiver::extract_all(const char* archive, const char* directory)
{
    return extract_all_with(*this, ZIP.extract_all, archive, directory);
}

int ZipArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    return extract_one_with(*this, ZIP.extract_one, archive, directory, file);
}

CabArchiver::CabArchiver() : Archiver("Cab", "cab32.dll", 1) {}

int CabArchiver::special(const char* archive)
{
    return special_with(*this, CAB.special, archive);
}

int CabArchiver::add(const char* archive, const char* source)
{
    if (!source_ok(archive, source))
        return 0;
    return keeping_source_time(archive, source, [&] { return add_with(*this, CAB, archive, source); });
}

int CabArchiver::extract_all(const char* archive, const char* directory)
{
    return extract_all_with(*this, CAB.extract_all, archive, directory);
}

int CabArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    return extract_one_with(*this, CAB.extract_one, archive, directory, file);
}

TarArchiver::TarArchiver() : Archiver("Tar", "tar32.dll", 0) {}

int TarArchiver::add(const char* archive, const char* source)
{
    if (!source_ok(archive, source))
        return 0;
    return keeping_source_time(archive, source, [&] {
        return is_dir(source) ? add_from_inside(*this, TAR.add_directory, archive, source)
                              : send(TAR.add_file, archive, source);
    });
}

int TarArchiver::extract_all(const char* archive, const char* directory)
{
    return extract_all_with(*this, TAR.extract_all, archive, directory);
}

int TarArchiver::extract_one(const char* archive, const char* directory, const char* file)
{
    return extract_one_with(*this, TAR.extract_one, archive, directory, file);
}
