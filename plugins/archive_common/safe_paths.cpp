// Checks of entry names, link targets and the paths on disk before extraction.
#include "plugins/archive_common/safe_paths.h"

#include <sys/stat.h>
#include <vector>

namespace component {

namespace {

std::vector<std::string> parts_of(std::string_view name)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : name) {
        if (c == '/' || c == '\\') {
            if (!part.empty() && part != ".")
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty() && part != ".")
        parts.push_back(part);
    return parts;
}

bool is_absolute(std::string_view name)
{
    if (!name.empty() && (name[0] == '/' || name[0] == '\\'))
        return true;
    // A drive letter ("C:...") names a place outside any tree too.
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

}  // namespace

const char* entry_path_problem(std::string_view name, std::string& clean)
{
    clean.clear();
    if (name.empty())
        return "empty name";
    if (name.find('\0') != std::string_view::npos)
        return "name holds a null byte";
    if (is_absolute(name))
        return "absolute path";
    for (const std::string& p : parts_of(name)) {
        if (p == "..")
            return "parent directory in path";
        clean += clean.empty() ? "" : "/";
        clean += p;
    }
    return nullptr;   // "." or "./" leave clean empty: the directory itself
}

const char* link_target_problem(const std::string& clean, std::string_view target)
{
    if (target.empty())
        return "link without a target";
    if (is_absolute(target))
        return "link to an absolute path";
    // Resolved by name from the link's own directory; it may never climb above
    // the target directory, not even on the way.
    std::vector<std::string> where = parts_of(clean);
    if (!where.empty())
        where.pop_back();
    for (const std::string& p : parts_of(target)) {
        if (p == "..") {
            if (where.empty())
                return "link points outside the directory";
            where.pop_back();
        } else {
            where.push_back(p);
        }
    }
    return nullptr;
}

const char* disk_path_problem(const std::string& root, const std::string& clean, bool replacing_link)
{
    std::string path = root;
    std::size_t start = 0;
    while (start <= clean.size()) {
        std::size_t end = clean.find('/', start);
        if (end == std::string::npos)
            end = clean.size();
        path += '/';
        path.append(clean, start, end - start);
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            return nullptr;   // nothing there yet: nothing below can be a link either
        if (S_ISLNK(st.st_mode) && end < clean.size())
            return "path passes through a link";
        if (S_ISLNK(st.st_mode) && !replacing_link)
            return "a link of that name is in the way";
        start = end + 1;
    }
    return nullptr;
}

}  // namespace component
