// The calls behind a component's entry points: the command entry, the archive
// checks and the open archives that FindFirst and FindNext walk.
#include "plugins/archive_common/component.h"

#include <clocale>
#include <exception>
#include <locale.h>
#include <new>
#include <set>

namespace component {

namespace {

// UTF-8 as the character set of this thread for the length of one call.
class Utf8Scope {
public:
    Utf8Scope()
    {
        utf8_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (utf8_)
            previous_ = uselocale(utf8_);
    }
    ~Utf8Scope()
    {
        if (utf8_) {
            uselocale(previous_);
            freelocale(utf8_);
        }
    }
    Utf8Scope(const Utf8Scope&) = delete;
    Utf8Scope& operator=(const Utf8Scope&) = delete;

private:
    locale_t utf8_ = static_cast<locale_t>(0);
    locale_t previous_ = static_cast<locale_t>(0);
};

struct OpenedArchive {
    std::vector<EntryInfo> entries;
    std::size_t next = 0;
    std::vector<std::string> wildcard;
};

std::set<OpenedArchive*> opened;

OpenedArchive* known(HARC handle)
{
    auto* a = static_cast<OpenedArchive*>(handle);
    return opened.count(a) ? a : nullptr;
}

int next_match(OpenedArchive* a, INDIVIDUALINFO* info)
{
    while (a->next < a->entries.size()) {
        const EntryInfo& e = a->entries[a->next++];
        if (name_matches(e.name, a->wildcard)) {
            fill_record(e, *info);
            return 0;
        }
    }
    return -1;
}

}  // namespace

int command_entry(const Component& c, HWND, const char* line, char* output, DWORD size)
{
    Utf8Scope utf8;
    Report report;
    int outcome;
    try {
        CommandLine parsed;
        outcome = parse_command(line, c.options, parsed, report) ? c.command(parsed, report)
                                                                 : OUTCOME_BAD_COMMAND;
    } catch (const std::bad_alloc&) {
        report.line("error: out of memory");
        outcome = OUTCOME_NO_MEMORY;
    } catch (const std::exception& e) {
        report.line("error: %s", e.what());
        outcome = OUTCOME_WRITE_FAILED;
    }
    report.copy_to(output, size);
    return outcome;
}

int set_mode(int mode)
{
    return mode == 0 || mode == 1;
}

int check_archive(const Component& c, const char* file, int mode)
{
    if (!file)
        return 0;
    Utf8Scope utf8;
    Report ignored;
    std::vector<EntryInfo> entries;
    try {
        return scan_archive(file, c.read_formats, (mode & CHECKARCHIVE_FULLCRC) != 0, entries, ignored);
    } catch (const std::exception&) {
        return 0;
    }
}

int file_count(const Component& c, const char* archive)
{
    if (!archive)
        return -1;
    Utf8Scope utf8;
    Report ignored;
    std::vector<EntryInfo> entries;
    try {
        if (!scan_archive(archive, c.read_formats, false, entries, ignored))
            return -1;
    } catch (const std::exception&) {
        return -1;
    }
    return entries.size() > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(entries.size());
}

HARC open_archive(const Component& c, const char* file)
{
    if (!file)
        return nullptr;
    Utf8Scope utf8;
    Report ignored;
    try {
        auto a = std::make_unique<OpenedArchive>();
        if (!scan_archive(file, c.read_formats, true, a->entries, ignored))
            return nullptr;
        opened.insert(a.get());
        return a.release();
    } catch (const std::exception&) {
        return nullptr;
    }
}

int close_archive(HARC handle)
{
    OpenedArchive* a = known(handle);
    if (!a)
        return -1;
    opened.erase(a);
    delete a;
    return 0;
}

int find_first(HARC handle, const char* wildcard, INDIVIDUALINFO* info)
{
    OpenedArchive* a = known(handle);
    if (!a || !info)
        return 1;
    a->next = 0;
    a->wildcard.clear();
    if (wildcard && *wildcard)
        a->wildcard.push_back(wildcard);
    return next_match(a, info);
}

int find_next(HARC handle, INDIVIDUALINFO* info)
{
    OpenedArchive* a = known(handle);
    if (!a || !info)
        return 1;
    return next_match(a, info);
}

}  // namespace component
