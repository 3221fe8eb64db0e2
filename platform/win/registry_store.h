// Private to the registry calls: the database connection of this process, its
// prepared statements, transactions, the key handles and the name rules.
#pragma once
#include "platform/win/winreg.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace registry_detail {

// The connection to the store at the current path, opened (and the schema made)
// on first use and again when the path or the process changes. Null with
// *status set when the store cannot be used.
sqlite3* store_db(LONG* status);
// Counts the opens of store_db, so that a handle of a store that has been left
// is told from one of the current store.
std::uint64_t store_generation();

// The status of an SQLite result code.
LONG sqlite_status(int rc);

// A prepared statement of the current connection, kept for reuse and reset when
// this object ends. `sql` must be a string literal: it is the cache's key.
class Query {
public:
    Query(sqlite3* db, const char* sql);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    bool ok() const { return stmt_ != nullptr; }
    int prepare_rc() const { return rc_; }
    Query& bind(int i, std::int64_t v);
    Query& bind(int i, std::string_view text);
    Query& bind_blob(int i, const void* data, std::size_t size);
    int step();   // SQLITE_ROW, SQLITE_DONE or an error
    std::int64_t column_int(int i);
    std::string_view column_text(int i);
    std::string_view column_blob(int i);

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = 0;
};

// A transaction that rolls back unless committed. Writes take the write lock
// at the start (IMMEDIATE), so that they never fail half-way on a lock.
class Transaction {
public:
    Transaction(sqlite3* db, bool write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    LONG status() const { return status_; }
    LONG commit();

private:
    sqlite3* db_;
    LONG status_;
    bool open_;
};

// What a handle stands for.
struct KeyRef {
    std::int64_t id;
    REGSAM access;
};
// A root or a live handle of the current store; ERROR_INVALID_HANDLE otherwise.
LONG resolve_handle(HKEY key, KeyRef* out);
// The store and the key a call starts from.
LONG begin_call(HKEY key, sqlite3** db, KeyRef* ref);
HKEY make_handle(std::int64_t id, REGSAM access);
bool release_handle(HKEY key);   // false for a handle that was never made

// The name as compared: case folded (Unicode for valid UTF-8, ASCII otherwise).
std::string fold_name(std::string_view name);
// Length in characters (UTF-8 lead bytes).
std::size_t name_chars(std::string_view name);

// The levels of a subkey argument ('\'-separated); false for an empty level or
// a level longer than REGISTRY_MAX_KEY_NAME. A null or empty argument has none.
bool split_sub_key(const char* sub_key, std::vector<std::string_view>* levels);

// The child `name` of `parent`: ERROR_SUCCESS with *id, ERROR_FILE_NOT_FOUND, or
// a store error.
LONG find_child(sqlite3* db, std::int64_t parent, std::string_view name, std::int64_t* id);
// Follows levels down from `from`, up to JOINED_LEVELS levels in one statement.
inline constexpr std::size_t JOINED_LEVELS = 16;
LONG find_path(sqlite3* db, std::int64_t from, const std::vector<std::string_view>& levels,
               std::int64_t* id);
// Follows levels down from `from`, making the missing ones (inside a write
// transaction); *created tells whether any was made.
LONG make_levels(sqlite3* db, std::int64_t from, const std::vector<std::string_view>& levels,
                 std::int64_t* id, bool* created);
// The statement that follows `levels` levels (1 .. JOINED_LEVELS) down from ?1
// (the levels' folded names are ?2 ...), giving the key's id, or with
// `value` the type and data of the value named by the next parameter.
const char* joined_path_sql(std::size_t levels, bool value);
// ERROR_KEY_DELETED when the key no longer exists, else `otherwise`.
LONG unless_deleted(sqlite3* db, std::int64_t id, LONG otherwise);
// A key or value name into the caller's buffer of *chars characters, as the
// enumeration calls hand them out: ERROR_MORE_DATA with the size needed (terminator
// included) when it does not fit, else the name, its terminator and its length.
LONG put_name(std::string_view name, char* out, DWORD* chars);

} // namespace registry_detail
