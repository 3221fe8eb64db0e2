// Registry calls on values: query, set (one statement, so one transaction),
// delete and enumerate. Data is kept byte for byte as given.
#include "platform/win/registry_store.h"

#include <sqlite3.h>

#include <cstring>

using namespace registry_detail;

namespace {


bool is_text_type(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Hands stored data to a caller's buffer. A text that was stored without its
// terminator gets one when there is room, so that it can be read as text.
LONG give_data(std::string_view stored, DWORD type, BYTE* data, DWORD* data_bytes)
{
    if (!data_bytes)
        return ERROR_SUCCESS;
    if (data) {
        if (stored.size() > *data_bytes) {
            *data_bytes = DWORD(stored.size());
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, stored.data(), stored.size());
        if (is_text_type(type) && stored.size() < *data_bytes
            && (stored.empty() || stored.back() != '\0'))
            data[stored.size()] = 0;
    }
    *data_bytes = DWORD(stored.size());
    return ERROR_SUCCESS;
}

std::string_view value_name_of(const char* value_name)
{
    return value_name ? std::string_view(value_name) : std::string_view();
}

} // namespace

LONG RegQueryValueExA(HKEY key, const char* value_name, DWORD*, DWORD* type, BYTE* data,
                      DWORD* data_bytes)
{
    if (data && !data_bytes)
        return ERROR_INVALID_PARAMETER;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    Query q(db, "SELECT type, data FROM reg_values WHERE key = ?1 AND fold = ?2");
    const std::string folded = fold_name(value_name_of(value_name));
    const int rc = q.bind(1, from.id).bind(2, folded).step();
    if (rc == SQLITE_DONE)
        return unless_deleted(db, from.id, ERROR_FILE_NOT_FOUND);
    if (rc != SQLITE_ROW)
        return sqlite_status(rc);
    const auto stored_type = DWORD(q.column_int(0));
    if (type)
        *type = stored_type;
    return give_data(q.column_blob(1), stored_type, data, data_bytes);
}

namespace {

DWORD type_flag(DWORD type)
{
    switch (type) {
    case REG_NONE: return RRF_RT_REG_NONE;
    case REG_SZ: return RRF_RT_REG_SZ;
    case REG_EXPAND_SZ: return RRF_RT_REG_EXPAND_SZ;
    case REG_BINARY: return RRF_RT_REG_BINARY;
    case REG_DWORD: return RRF_RT_REG_DWORD;
    case REG_MULTI_SZ: return RRF_RT_REG_MULTI_SZ;
    case REG_QWORD: return RRF_RT_REG_QWORD;
    default: return RRF_RT_ANY & ~DWORD(0x7F);   // only "any" takes the others
    }
}

LONG get_value(sqlite3* db, const KeyRef& from, const char* sub_key, const char* value_name,
               DWORD flags, DWORD* type, void* data, DWORD* data_bytes)
{
    std::vector<std::string_view> levels;
    if (!split_sub_key(sub_key, &levels))
        return ERROR_INVALID_PARAMETER;
    std::int64_t id = from.id;
    if (levels.size() > JOINED_LEVELS) {
        const LONG status = find_path(db, from.id, levels, &id);
        if (status != ERROR_SUCCESS)
            return status;
        levels.clear();
    }
    // The key and the value in one statement.
    Query q(db, levels.empty() ? "SELECT type, data FROM reg_values WHERE key = ?1 AND fold = ?2"
                               : joined_path_sql(levels.size(), true));
    std::vector<std::string> folded;
    folded.reserve(levels.size() + 1);
    q.bind(1, id);
    for (std::string_view level : levels) {
        folded.push_back(fold_name(level));
        q.bind(int(folded.size() + 1), folded.back());
    }
    folded.push_back(fold_name(value_name_of(value_name)));
    q.bind(int(folded.size() + 1), folded.back());
    const int rc = q.step();
    if (rc == SQLITE_DONE)
        return levels.empty() && id > 4 ? unless_deleted(db, id, ERROR_FILE_NOT_FOUND) : ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW)
        return sqlite_status(rc);
    const auto stored_type = DWORD(q.column_int(0));
    if (!(flags & type_flag(stored_type)))
        return ERROR_UNSUPPORTED_TYPE;
    if (type)
        *type = stored_type;
    const std::string_view stored = q.column_blob(1);
    const bool add_terminator = is_text_type(stored_type) && (stored.empty() || stored.back() != '\0');
    const std::size_t needed = stored.size() + (add_terminator ? 1 : 0);
    if (!data_bytes)
        return ERROR_SUCCESS;
    if (data && needed > *data_bytes) {
        *data_bytes = DWORD(needed);
        return ERROR_MORE_DATA;
    }
    if (data) {
        std::memcpy(data, stored.data(), stored.size());
        if (add_terminator)
            static_cast<char*>(data)[stored.size()] = '\0';
    }
    *data_bytes = DWORD(needed);
    return ERROR_SUCCESS;
}

} // namespace

LONG RegGetValueA(HKEY key, const char* sub_key, const char* value_name, DWORD flags,
                  DWORD* type, void* data, DWORD* data_bytes)
{
    if ((data && !data_bytes) || !(flags & RRF_RT_ANY))
        return ERROR_INVALID_PARAMETER;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status == ERROR_SUCCESS)
        status = get_value(db, from, sub_key, value_name, flags, type, data, data_bytes);
    if (status != ERROR_SUCCESS && data && data_bytes && (flags & RRF_ZEROONFAILURE))
        std::memset(data, 0, *data_bytes);
    return status;
}

namespace {

// A value set again keeps its place and the case of its first name.
LONG put_value(sqlite3* db, std::int64_t key, std::string_view name, DWORD type, const void* data,
               DWORD data_bytes)
{
    Query q(db,
        "INSERT INTO reg_values(key, name, fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5)"
        " ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data");
    const std::string folded = fold_name(name);
    const int rc = q.bind(1, key).bind(2, name).bind(3, folded).bind(4, std::int64_t(type))
                       .bind_blob(5, data, data_bytes).step();
    return rc == SQLITE_DONE ? ERROR_SUCCESS : sqlite_status(rc);
}

LONG check_value_arguments(const char* value_name, const void* data, DWORD data_bytes)
{
    if (!data && data_bytes)
        return ERROR_INVALID_PARAMETER;
    if (name_chars(value_name_of(value_name)) > std::size_t(REGISTRY_MAX_VALUE_NAME))
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

} // namespace

LONG RegSetValueExA(HKEY key, const char* value_name, DWORD, DWORD type, const BYTE* data,
                    DWORD data_bytes)
{
    if (const LONG status = check_value_arguments(value_name, data, data_bytes))
        return status;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    if (!(from.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    return put_value(db, from.id, value_name_of(value_name), type, data, data_bytes);
}

LONG RegSetKeyValueA(HKEY key, const char* sub_key, const char* value_name, DWORD type,
                     const void* data, DWORD data_bytes)
{
    if (const LONG status = check_value_arguments(value_name, data, data_bytes))
        return status;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    std::vector<std::string_view> levels;
    if (!split_sub_key(sub_key, &levels))
        return ERROR_INVALID_PARAMETER;
    if (!(from.access & KEY_SET_VALUE) || (!levels.empty() && !(from.access & KEY_CREATE_SUB_KEY)))
        return ERROR_ACCESS_DENIED;
    Transaction write(db, true);
    if (write.status() != ERROR_SUCCESS)
        return write.status();
    std::int64_t id = from.id;
    bool created = false;
    status = make_levels(db, from.id, levels, &id, &created);
    if (status == ERROR_SUCCESS)
        status = put_value(db, id, value_name_of(value_name), type, data, data_bytes);
    return status == ERROR_SUCCESS ? write.commit() : status;
}

LONG RegDeleteValueA(HKEY key, const char* value_name)
{
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    if (!(from.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    Query q(db, "DELETE FROM reg_values WHERE key = ?1 AND fold = ?2");
    const std::string folded = fold_name(value_name_of(value_name));
    const int rc = q.bind(1, from.id).bind(2, folded).step();
    if (rc != SQLITE_DONE)
        return sqlite_status(rc);
    return sqlite3_changes(db) ? ERROR_SUCCESS : unless_deleted(db, from.id, ERROR_FILE_NOT_FOUND);
}

LONG RegEnumValueA(HKEY key, DWORD index, char* value_name, DWORD* name_chars_io, DWORD*,
                   DWORD* type, BYTE* data, DWORD* data_bytes)
{
    if (!value_name || !name_chars_io || (data && !data_bytes))
        return ERROR_INVALID_PARAMETER;
    sqlite3* db = nullptr;
    KeyRef from{};
    LONG status = begin_call(key, &db, &from);
    if (status != ERROR_SUCCESS)
        return status;
    Query q(db, "SELECT name, type, data FROM reg_values WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2");
    const int rc = q.bind(1, from.id).bind(2, std::int64_t(index)).step();
    if (rc == SQLITE_DONE)
        return unless_deleted(db, from.id, ERROR_NO_MORE_ITEMS);
    if (rc != SQLITE_ROW)
        return sqlite_status(rc);
    status = put_name(q.column_text(0), value_name, name_chars_io);
    if (status != ERROR_SUCCESS)
        return status;
    const auto stored_type = DWORD(q.column_int(1));
    if (type)
        *type = stored_type;
    return give_data(q.column_blob(2), stored_type, data, data_bytes);
}
