// Key handles and names of the registry: the roots and the handles the open
// calls make, how names compare (case folded, case kept), subkey paths, and
// finding a key by its levels.
#include "platform/win/registry_store.h"

#include <cstring>
#include <QString>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <unordered_set>

struct RegKey {
    std::int64_t id;
    REGSAM access;
    std::uint64_t generation;   // handles belong to the store they were opened in
};

namespace registry_detail {
namespace {

std::unordered_set<RegKey*> g_handles;

bool valid_utf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3
                    : c >= 0xF0 && c < 0xF5 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

} // namespace

LONG resolve_handle(HKEY key, KeyRef* out)
{
    const auto raw = reinterpret_cast<std::uintptr_t>(key);
    for (std::int64_t root = 1; root <= 4; ++root) {
        if (key == OSTREL_REGISTRY_ROOT(0x80000000u + unsigned(root - 1))) {
            *out = {root, KEY_ALL_ACCESS};
            return ERROR_SUCCESS;
        }
    }
    if (raw == 0 || !g_handles.count(key))
        return ERROR_INVALID_HANDLE;
    LONG status = ERROR_SUCCESS;
    if (!store_db(&status) || key->generation != store_generation())
        return ERROR_INVALID_HANDLE;   // opened in a store that has been left
    *out = {key->id, key->access};
    return ERROR_SUCCESS;
}

LONG begin_call(HKEY key, sqlite3** db, KeyRef* ref)
{
    LONG status = ERROR_SUCCESS;
    *db = store_db(&status);
    if (!*db)
        return status;
    return resolve_handle(key, ref);
}

HKEY make_handle(std::int64_t id, REGSAM access)
{
    auto* key = new RegKey{id, access, store_generation()};
    g_handles.insert(key);
    return key;
}

bool release_handle(HKEY key)
{
    if (!g_handles.erase(key))
        return false;
    delete key;
    return true;
}

std::string fold_name(std::string_view name)
{
    bool ascii = true;
    for (char c : name)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii && valid_utf8(name)) {
        const QByteArray folded =
            QString::fromUtf8(name.data(), qsizetype(name.size())).toCaseFolded().toUtf8();
        return std::string(folded.constData(), std::size_t(folded.size()));
    }
    // Bytes that are not UTF-8 stay as they are, so that two different broken
    // names never fold to the same replacement character.
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return folded;
}

std::size_t name_chars(std::string_view name)
{
    std::size_t n = 0;
    for (char c : name)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

bool split_sub_key(const char* sub_key, std::vector<std::string_view>* levels)
{
    levels->clear();
    if (!sub_key || !*sub_key)
        return true;
    std::string_view rest(sub_key);
    for (;;) {
        const std::size_t at = rest.find('\\');
        const std::string_view level = rest.substr(0, at);
        if (level.empty() || name_chars(level) > std::size_t(REGISTRY_MAX_KEY_NAME))
            return false;
        levels->push_back(level);
        if (at == std::string_view::npos)
            return true;
        rest.remove_prefix(at + 1);
    }
}

LONG find_child(sqlite3* db, std::int64_t parent, std::string_view name, std::int64_t* id)
{
    Query q(db, "SELECT id FROM reg_keys WHERE parent = ?1 AND fold = ?2");
    const std::string folded = fold_name(name);
    const int rc = q.bind(1, parent).bind(2, folded).step();
    if (rc == SQLITE_ROW) {
        *id = q.column_int(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : sqlite_status(rc);
}

namespace {

} // namespace

// One join per level, each a lookup in the (parent, fold) index. Built once per
// depth; the text is the statement cache's key, so it must stay where it is.
const char* joined_path_sql(std::size_t levels, bool value)
{
    static std::array<std::string, 2 * (JOINED_LEVELS + 1)> texts;
    std::string& sql = texts[levels * 2 + (value ? 1 : 0)];
    if (sql.empty()) {
        const std::string last = "k" + std::to_string(levels);
        sql = value ? "SELECT v.type, v.data FROM reg_keys k1" : "SELECT " + last + ".id FROM reg_keys k1";
        for (std::size_t i = 2; i <= levels; ++i)
            sql += " JOIN reg_keys k" + std::to_string(i) + " ON k" + std::to_string(i) + ".parent = k"
                   + std::to_string(i - 1) + ".id AND k" + std::to_string(i) + ".fold = ?"
                   + std::to_string(i + 1);
        if (value)
            sql += " JOIN reg_values v ON v.key = " + last + ".id AND v.fold = ?" + std::to_string(levels + 2);
        sql += " WHERE k1.parent = ?1 AND k1.fold = ?2";
    }
    return sql.c_str();
}

namespace {

LONG find_levels(sqlite3* db, std::int64_t from, const std::string_view* levels, std::size_t count,
                 std::int64_t* id)
{
    if (count == 1)
        return find_child(db, from, levels[0], id);
    Query q(db, joined_path_sql(count, false));
    std::vector<std::string> folded(count);
    q.bind(1, from);
    for (std::size_t i = 0; i < count; ++i) {
        folded[i] = fold_name(levels[i]);
        q.bind(int(i + 2), folded[i]);
    }
    const int rc = q.step();
    if (rc == SQLITE_ROW) {
        *id = q.column_int(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : sqlite_status(rc);
}

} // namespace

LONG find_path(sqlite3* db, std::int64_t from, const std::vector<std::string_view>& levels,
               std::int64_t* id)
{
    std::int64_t at = from;
    for (std::size_t done = 0; done < levels.size();) {
        const std::size_t count = std::min(JOINED_LEVELS, levels.size() - done);
        const LONG status = find_levels(db, at, levels.data() + done, count, &at);
        if (status != ERROR_SUCCESS)
            // the roots are never deleted; another key may have been meanwhile
            return status == ERROR_FILE_NOT_FOUND && done == 0 && from > 4
                       ? unless_deleted(db, from, status) : status;
        done += count;
    }
    *id = at;
    return ERROR_SUCCESS;
}

LONG make_levels(sqlite3* db, std::int64_t from, const std::vector<std::string_view>& levels,
                 std::int64_t* id, bool* created)
{
    std::int64_t at = from;
    for (std::string_view level : levels) {
        const LONG status = find_child(db, at, level, &at);
        if (status == ERROR_FILE_NOT_FOUND) {
            Query add(db, "INSERT INTO reg_keys(parent, name, fold) VALUES (?1, ?2, ?3)");
            const std::string folded = fold_name(level);
            const int rc = add.bind(1, at).bind(2, level).bind(3, folded).step();
            if (rc != SQLITE_DONE)
                return sqlite_status(rc);
            at = sqlite3_last_insert_rowid(db);
            *created = true;
        } else if (status != ERROR_SUCCESS) {
            return status;
        }
    }
    *id = at;
    return ERROR_SUCCESS;
}

LONG unless_deleted(sqlite3* db, std::int64_t id, LONG otherwise)
{
    Query q(db, "SELECT 1 FROM reg_keys WHERE id = ?1");
    const int rc = q.bind(1, id).step();
    if (rc == SQLITE_ROW)
        return otherwise;
    return rc == SQLITE_DONE ? ERROR_KEY_DELETED : sqlite_status(rc);
}

} // namespace registry_detail

namespace registry_detail {

LONG put_name(std::string_view name, char* out, DWORD* chars)
{
    if (name.size() + 1 > *chars) {
        *chars = DWORD(name.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(out, name.data(), name.size());
    out[name.size()] = '\0';
    *chars = DWORD(name.size());
    return ERROR_SUCCESS;
}

} // namespace registry_detail
