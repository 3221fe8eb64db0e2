// Registry calls on keys: open, create (levels made in one transaction), close,
// delete a key or a whole tree, and enumerate subkeys.
#include "platform/win/registry_store.h"
#include "ostrel/fileops.h"

#include <sqlite3.h>

#include <cstring>

using namespace registry_detail;

LONG RegOpenKeyExA(HKEY key, const char* sub_key, DWORD, REGSAM access, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    std::vector<std::string_view> levels;
    if (!split_sub_key(sub_key, &levels))
        return ERROR_INVALID_PARAMETER;
    std::int64_t id = from.id;
    if (levels.size() > JOINED_LEVELS) {
        // one snapshot, so that a path is never found half old, half new
        // (shorter ones are one statement anyway)
        Transaction read(db, false);
        if (read.status() != ERROR_SUCCESS)
            return read.status();
        status = find_path(db, from.id, levels, &id);
    } else {
        status = find_path(db, from.id, levels, &id);
    }
    if (status != ERROR_SUCCESS)
        return status;
    *result = make_handle(id, access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, const char* sub_key, DWORD, char*, DWORD, REGSAM access,
                     const SECURITY_ATTRIBUTES*, HKEY* result, DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    std::vector<std::string_view> levels;
    if (!split_sub_key(sub_key, &levels))
        return ERROR_INVALID_PARAMETER;
    std::int64_t id = from.id;
    // Existing keys are opened without the write lock, so that a read-only
    // store still opens them.
    status = find_path(db, from.id, levels, &id);
    bool created = false;
    if (status == ERROR_FILE_NOT_FOUND) {
        if (!(from.access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        Transaction write(db, true);
        if (write.status() != ERROR_SUCCESS)
            return write.status();
        status = make_levels(db, from.id, levels, &id, &created);
        if (status != ERROR_SUCCESS)
            return status;
        status = write.commit();
    }
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = make_handle(id, access);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    for (unsigned root = 0; root < 4; ++root)
        if (key == OSTREL_REGISTRY_ROOT(0x80000000u + root))
            return ERROR_SUCCESS;   // the roots are never closed
    return release_handle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace {

// Deletes the key `sub_key` below `key`, refusing one with subkeys unless
// `tree`; with `tree` and no subkey, empties `key` itself.
LONG delete_key(HKEY key, const char* sub_key, bool tree)
{
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    std::vector<std::string_view> levels;
    if (!split_sub_key(sub_key, &levels))
        return ERROR_INVALID_PARAMETER;
    if (levels.empty() && !tree)
        return ERROR_ACCESS_DENIED;   // a key never deletes itself through this call
    Transaction write(db, true);
    if (write.status() != ERROR_SUCCESS)
        return write.status();
    std::int64_t id = from.id;
    status = find_path(db, from.id, levels, &id);
    if (status != ERROR_SUCCESS)
        return status;
    int rc;
    if (!tree) {
        Query children(db, "SELECT 1 FROM reg_keys WHERE parent = ?1 LIMIT 1");
        rc = children.bind(1, id).step();
        if (rc == SQLITE_ROW)
            return ERROR_ACCESS_DENIED;
        if (rc != SQLITE_DONE)
            return sqlite_status(rc);
        Query del(db, "DELETE FROM reg_keys WHERE id = ?1");
        rc = del.bind(1, id).step();
    } else {
        // One statement for the whole tree: the parent links are checked at its
        // end, when every key below is gone too.
        Query values(db, "DELETE FROM reg_values WHERE key = ?1 AND ?2");
        rc = values.bind(1, id).bind(2, std::int64_t(levels.empty())).step();
        if (rc != SQLITE_DONE)
            return sqlite_status(rc);
        Query del(db,
            "WITH RECURSIVE below(id) AS (SELECT id FROM reg_keys WHERE parent = ?1"
            " UNION ALL SELECT k.id FROM reg_keys k JOIN below b ON k.parent = b.id)"
            " DELETE FROM reg_keys WHERE id IN below OR (id = ?1 AND ?2)");
        rc = del.bind(1, id).bind(2, std::int64_t(!levels.empty())).step();
    }
    if (rc != SQLITE_DONE)
        return sqlite_status(rc);
    return write.commit();
}

} // namespace

LONG RegDeleteKeyA(HKEY key, const char* sub_key)
{
    return delete_key(key, sub_key, false);
}

LONG RegDeleteTreeA(HKEY key, const char* sub_key)
{
    return delete_key(key, sub_key, true);
}

LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* name_chars, DWORD*,
                   char* class_name, DWORD* class_chars, FILETIME* last_write)
{
    if (!name || !name_chars)
        return ERROR_INVALID_PARAMETER;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    Query q(db, "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2");
    const int rc = q.bind(1, from.id).bind(2, std::int64_t(index)).step();
    if (rc == SQLITE_DONE)
        return unless_deleted(db, from.id, ERROR_NO_MORE_ITEMS);
    if (rc != SQLITE_ROW)
        return sqlite_status(rc);
    status = put_name(q.column_text(0), name, name_chars);
    if (status != ERROR_SUCCESS)
        return status;
    if (class_name && class_chars && *class_chars > 0)
        *class_name = '\0';
    if (class_chars)
        *class_chars = 0;
    if (last_write)
        *last_write = FILETIME{0, 0};
    return ERROR_SUCCESS;
}
