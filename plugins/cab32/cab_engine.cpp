// The libgcab side of the cabinet component. GLib objects are held by small owners
// so that every early return releases them.
#include "plugins/cab32/cab_engine.h"

#include <libgcab.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ostrel::cab {
namespace {

struct GObjectUnref {
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

struct ErrorHolder {
    GError* e = nullptr;
    ~ErrorHolder()
    {
        if (e)
            g_error_free(e);
    }
    std::string text(const char* fallback) const { return e && e->message ? e->message : fallback; }
};

std::string to_cab_name(std::string name)
{
    for (auto& c : name)
        if (c == '/')
            c = '\\';
    return name;
}

std::string from_cab_name(std::string name)
{
    for (auto& c : name)
        if (c == '\\')
            c = '/';
    return name;
}

// DOS times are local times: the fields of the cabinet's date are read as local.
std::int64_t local_seconds(GDateTime* dt)
{
    if (!dt)
        return 0;
    std::tm tm{};
    tm.tm_year = g_date_time_get_year(dt) - 1900;
    tm.tm_mon = g_date_time_get_month(dt) - 1;
    tm.tm_mday = g_date_time_get_day_of_month(dt);
    tm.tm_hour = g_date_time_get_hour(dt);
    tm.tm_min = g_date_time_get_minute(dt);
    tm.tm_sec = g_date_time_get_second(dt);
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

CabMember member_of(GCabFile* f)
{
    CabMember m;
    m.name = from_cab_name(gcab_file_get_name(f) ? gcab_file_get_name(f) : "");
    m.size = gcab_file_get_size(f);
    m.attributes = gcab_file_get_attributes(f);
    GDateTime* dt = gcab_file_get_date_time(f);
    m.mtime = local_seconds(dt);
    if (dt)
        g_date_time_unref(dt);
    return m;
}

GPtr<GCabCabinet> load(const std::string& archive, std::string& error)
{
    GPtr<GFile> file(g_file_new_for_path(archive.c_str()));
    ErrorHolder err;
    GPtr<GFileInputStream> in(g_file_read(file.get(), nullptr, &err.e));
    if (!in) {
        error = err.text("cannot open the cabinet");
        return nullptr;
    }
    GPtr<GCabCabinet> cab(gcab_cabinet_new());
    if (!gcab_cabinet_load(cab.get(), G_INPUT_STREAM(in.get()), nullptr, &err.e)) {
        error = err.text("not a cabinet");
        return nullptr;
    }
    return cab;
}

template <typename Visit>
void each_file(GCabCabinet* cab, Visit visit)
{
    GPtrArray* folders = gcab_cabinet_get_folders(cab);
    for (guint i = 0; folders && i < folders->len; ++i) {
        auto* folder = static_cast<GCabFolder*>(g_ptr_array_index(folders, i));
        GSList* files = gcab_folder_get_files(folder);
        for (GSList* l = files; l; l = l->next)
            visit(static_cast<GCabFile*>(l->data));
        g_slist_free(files);
    }
}

bool add_member(GCabFolder* folder, const std::string& name, const std::string& disk_path, std::int64_t mtime,
                std::string& error)
{
    GPtr<GFile> gfile(g_file_new_for_path(disk_path.c_str()));
    GPtr<GCabFile> cf(gcab_file_new_with_file(to_cab_name(name).c_str(), gfile.get()));
    ErrorHolder err;
    if (!gcab_folder_add_file(folder, cf.get(), FALSE, nullptr, &err.e)) {
        error = name + ": " + err.text("cannot add");
        return false;
    }
    GDateTime* dt = g_date_time_new_from_unix_local(mtime);
    gcab_file_set_date_time(cf.get(), dt);
    g_date_time_unref(dt);
    bool ascii = true;
    for (unsigned char c : name)
        ascii = ascii && c < 0x80;
    guint32 attr = GCAB_FILE_ATTRIBUTE_ARCH | (ascii ? 0u : static_cast<guint32>(GCAB_FILE_ATTRIBUTE_NAME_IS_UTF));
    gcab_file_set_attributes(cf.get(), attr);
    return true;
}

// A scratch directory beside `near`, removed with everything in it.
struct ScratchDir {
    std::filesystem::path path;
    explicit ScratchDir(const std::string& near)
    {
        std::string templ = std::filesystem::path(near).parent_path().empty()
                                ? std::string("./.cab32-XXXXXX")
                                : (std::filesystem::path(near).parent_path() / ".cab32-XXXXXX").string();
        if (mkdtemp(templ.data()))
            path = templ;
    }
    ~ScratchDir()
    {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

bool cab_list(const std::string& archive, std::vector<CabMember>& members, std::string& error)
{
    members.clear();
    auto cab = load(archive, error);
    if (!cab)
        return false;
    each_file(cab.get(), [&](GCabFile* f) { members.push_back(member_of(f)); });
    return true;
}

bool cab_write(const std::string& archive, const std::vector<CabSource>& sources, std::string& error)
{
    GPtr<GCabCabinet> cab(gcab_cabinet_new());
    GPtr<GCabFolder> folder(gcab_folder_new(GCAB_COMPRESSION_MSZIP));
    std::map<std::string, bool> replaced;
    for (const auto& s : sources)
        replaced[s.name] = true;

    // Members of an existing cabinet are carried over through a scratch copy.
    ScratchDir scratch(archive);
    struct stat st{};
    if (::stat(archive.c_str(), &st) == 0 && st.st_size > 0) {
        if (scratch.path.empty()) {
            error = "cannot make a scratch directory";
            return false;
        }
        std::vector<std::pair<CabMember, std::string>> kept;
        int counter = 0;
        const bool ok = cab_extract(
            archive, scratch.path.string(),
            [&](const CabMember& m) { return replaced.count(m.name) ? std::string() : std::to_string(counter++); },
            [&](const CabMember& m, const std::string& at) { kept.emplace_back(m, at); }, error);
        if (!ok)
            return false;
        for (const auto& [m, at] : kept)
            if (!add_member(folder.get(), m.name, at, m.mtime, error))
                return false;
    }
    for (const auto& s : sources)
        if (!add_member(folder.get(), s.name, s.disk_path, s.mtime, error))
            return false;

    ErrorHolder err;
    if (!gcab_cabinet_add_folder(cab.get(), folder.get(), &err.e)) {
        error = err.text("cannot build the cabinet");
        return false;
    }
    const std::string temp = archive + ".cab32-new";
    {
        GPtr<GFile> out_file(g_file_new_for_path(temp.c_str()));
        GPtr<GFileOutputStream> out(
            g_file_replace(out_file.get(), nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, &err.e));
        if (!out) {
            error = err.text("cannot create the cabinet");
            return false;
        }
        const bool written =
            gcab_cabinet_write_simple(cab.get(), G_OUTPUT_STREAM(out.get()), nullptr, nullptr, nullptr, &err.e)
            && g_output_stream_close(G_OUTPUT_STREAM(out.get()), nullptr, &err.e);
        if (!written) {
            error = err.text("cannot write the cabinet");
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), archive.c_str()) != 0) {
        error = "cannot replace " + archive;
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool cab_extract(const std::string& archive, const std::string& directory,
                 const std::function<std::string(const CabMember&)>& target,
                 const std::function<void(const CabMember&, const std::string&)>& done, std::string& error)
{
    auto cab = load(archive, error);
    if (!cab)
        return false;
    struct Pick {
        const std::function<std::string(const CabMember&)>* target;
        std::vector<std::pair<CabMember, std::string>> chosen;
    } pick{&target, {}};
    auto choose = [](GCabFile* f, gpointer data) -> gboolean {
        auto* p = static_cast<Pick*>(data);
        const CabMember m = member_of(f);
        const std::string rel = (*p->target)(m);
        if (rel.empty())
            return FALSE;
        gcab_file_set_extract_name(f, rel.c_str());
        p->chosen.emplace_back(m, rel);
        return TRUE;
    };
    GPtr<GFile> dir(g_file_new_for_path(directory.c_str()));
    ErrorHolder err;
    if (!gcab_cabinet_extract_simple(cab.get(), dir.get(), choose, &pick, nullptr, &err.e)) {
        error = err.text("cannot extract");
        return false;
    }
    for (const auto& [m, rel] : pick.chosen) {
        const std::string at = (std::filesystem::path(directory) / rel).string();
        const struct timespec times[2] = {{static_cast<time_t>(m.mtime), 0}, {static_cast<time_t>(m.mtime), 0}};
        utimensat(AT_FDCWD, at.c_str(), times, 0);
        if (done)
            done(m, at);
    }
    return true;
}

}  // namespace ostrel::cab
