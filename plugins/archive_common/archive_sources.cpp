// Expanding an add command's names into the files to store, in name order.
#include "plugins/archive_common/archive_sources.h"
#include "plugins/archive_common/command_line.h"

#include <algorithm>
#include <dirent.h>
#include <set>

namespace component {

namespace {

struct Gatherer {
    const GatherRules& rules;
    struct stat archive_st;
    bool has_archive;
    std::vector<Source>& out;
    std::set<std::string> names;

    bool is_archive(const struct stat& st) const
    {
        return has_archive && st.st_dev == archive_st.st_dev && st.st_ino == archive_st.st_ino;
    }

    void put(const std::string& path, const std::string& name, const struct stat& st)
    {
        if (is_archive(st) || name.empty() || !names.insert(name).second)
            return;
        out.push_back({path, name, st});
    }

    void walk(const std::string& dir, const std::string& prefix, const std::vector<std::string>* patterns)
    {
        std::vector<std::string> children;
        if (DIR* d = opendir(dir.c_str())) {
            while (struct dirent* de = readdir(d)) {
                const std::string n = de->d_name;
                if (n != "." && n != "..")
                    children.push_back(n);
            }
            closedir(d);
        }
        std::sort(children.begin(), children.end());
        for (const std::string& c : children) {
            const std::string path = dir == "." ? c : dir + "/" + c;
            struct stat st;
            if (lstat(path.c_str(), &st) != 0)
                continue;
            const std::string name = rules.junk_paths ? c : (prefix.empty() ? c : prefix + "/" + c);
            if (S_ISDIR(st.st_mode)) {
                if (!rules.junk_paths)
                    put(path, name, st);
                walk(path, name, patterns);
            } else if (!patterns || name_matches(c, *patterns)) {
                put(path, name, st);
            }
        }
    }

    void add_path(const std::string& path, const struct stat& st)
    {
        std::string clean;
        bool inside = !path.empty() && path[0] != '/';
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find('/', start);
            if (end == std::string::npos)
                end = path.size();
            const std::string part = path.substr(start, end - start);
            if (part == "..")
                inside = false;
            else if (!part.empty() && part != ".")
                clean += (clean.empty() ? "" : "/") + part;
            start = end + 1;
        }
        const std::size_t slash = clean.find_last_of('/');
        const std::string last = slash == std::string::npos ? clean : clean.substr(slash + 1);
        const std::string name = rules.junk_paths || !inside ? last : clean;
        if (S_ISDIR(st.st_mode)) {
            if (!rules.junk_paths && !name.empty())
                put(path, name, st);
            if (rules.recurse)
                walk(path, rules.junk_paths ? std::string() : name, nullptr);
        } else {
            put(path, name, st);
        }
    }
};

bool has_wildcard(const std::string& s)
{
    return s.find_first_of("*?") != std::string::npos;
}

}  // namespace

bool gather_sources(const std::vector<std::string>& names, const GatherRules& rules,
                    const std::string& archive, std::vector<Source>& out, Report& report)
{
    Gatherer g{rules, {}, false, out, {}};
    g.has_archive = stat(archive.c_str(), &g.archive_st) == 0;
    if (names.empty()) {
        report.line("error: nothing to add");
        return false;
    }
    if (rules.walk_patterns) {
        const std::size_t before = out.size();
        g.walk(".", "", &names);
        if (out.size() == before) {
            report.line("error: no file matches");
            return false;
        }
        return true;
    }
    bool ok = true;
    for (const std::string& n : names) {
        const std::size_t slash = n.find_last_of('/');
        if (has_wildcard(slash == std::string::npos ? n : n.substr(slash + 1))) {
            const std::string dir = slash == std::string::npos ? "." : n.substr(0, slash ? slash : 1);
            const std::vector<std::string> pattern{slash == std::string::npos ? n : n.substr(slash + 1)};
            std::vector<std::string> hits;
            if (DIR* d = opendir(dir.c_str())) {
                while (struct dirent* de = readdir(d)) {
                    const std::string c = de->d_name;
                    if (c != "." && c != ".." && name_matches(c, pattern))
                        hits.push_back(c);
                }
                closedir(d);
            }
            std::sort(hits.begin(), hits.end());
            if (hits.empty()) {
                report.line("error: no file matches %s", n.c_str());
                ok = false;
            }
            for (const std::string& h : hits) {
                const std::string path = dir == "." ? h : (dir == "/" ? "/" + h : dir + "/" + h);
                struct stat st;
                if (lstat(path.c_str(), &st) == 0)
                    g.add_path(path, st);
            }
            continue;
        }
        struct stat st;
        if (lstat(n.c_str(), &st) != 0) {
            report.line("error: not found: %s", n.c_str());
            ok = false;
            continue;
        }
        g.add_path(n, st);
    }
    return ok;
}

}  // namespace component
