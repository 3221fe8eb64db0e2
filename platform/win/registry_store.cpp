// The registry's database: where it lives, opening it (WAL, a busy timeout, the
// schema), refusing a file that is not ours without touching it, and the
// prepared statements and transactions every call goes through.
#include "platform/win/registry_store.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>
#include <pthread.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace registry_detail {
namespace {

constexpr int SCHEMA_VERSION = 1;
constexpr int BUSY_TIMEOUT_MS = 30000;

// Key ids 1-4 are the roots, in the order of their handle numbers.
constexpr const char SCHEMA[] =
    "CREATE TABLE reg_keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " parent INTEGER REFERENCES reg_keys(id),"
    " name TEXT NOT NULL, fold TEXT NOT NULL);"
    "CREATE UNIQUE INDEX reg_keys_child ON reg_keys(parent, fold);"
    "CREATE TABLE reg_values("
    " id INTEGER PRIMARY KEY,"
    " key INTEGER NOT NULL REFERENCES reg_keys(id) ON DELETE CASCADE,"
    " name TEXT NOT NULL, fold TEXT NOT NULL,"
    " type INTEGER NOT NULL, data BLOB NOT NULL,"
    " UNIQUE(key, fold));"
    "INSERT INTO reg_keys(id, parent, name, fold) VALUES"
    " (1, NULL, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),"
    " (2, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user'),"
    " (3, NULL, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine'),"
    " (4, NULL, 'HKEY_USERS', 'hkey_users');"
    "PRAGMA user_version = 1;";

struct Connection {
    sqlite3* db = nullptr;
    std::string path;
    bool inherited = false;   // set in a child of fork: the connection is the parent's
    std::unordered_map<const char*, sqlite3_stmt*> statements;
};

// What the path was made of, so that it is only made again when one changes.
struct PathSource {
    std::string registry, config_home, home;
    bool matches() const
    {
        const auto same = [](const std::string& kept, const char* now) {
            return now ? kept == now : kept.empty();
        };
        return same(registry, std::getenv(OSTREL_REGISTRY_VARIABLE))
               && same(config_home, std::getenv("XDG_CONFIG_HOME")) && same(home, std::getenv("HOME"));
    }
    void take()
    {
        const auto value = [](const char* v) { return v ? std::string(v) : std::string(); };
        registry = value(std::getenv(OSTREL_REGISTRY_VARIABLE));
        config_home = value(std::getenv("XDG_CONFIG_HOME"));
        home = value(std::getenv("HOME"));
    }
};

Connection g_conn;
PathSource g_source;

void mark_inherited()
{
    g_conn.inherited = true;
}
std::uint64_t g_generation = 0;

std::string home_directory()
{
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

// The default place is made on first use (like any configuration directory);
// a path given by the variable is taken as it is.
std::string store_path(bool* make_directory)
{
    *make_directory = false;
    if (const char* p = std::getenv(OSTREL_REGISTRY_VARIABLE); p && *p)
        return p;
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/')
        base = x;
    else if (std::string home = home_directory(); !home.empty())
        base = home + "/.config";
    else
        return {};
    *make_directory = true;
    return base + "/ostrel/registry.db";
}

void make_parents(const std::string& file)
{
    for (std::size_t at = file.find('/', 1); at != std::string::npos; at = file.find('/', at + 1))
        if (::mkdir(file.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST)
            return;
}

void close_connection()
{
    if (g_conn.db && !g_conn.inherited) {
        for (auto& [sql, stmt] : g_conn.statements)
            sqlite3_finalize(stmt);
        sqlite3_close(g_conn.db);
    }
    // A connection inherited through fork belongs to the parent: it is dropped
    // unclosed, since closing it here could release the parent's locks.
    g_conn.statements.clear();
    g_conn.db = nullptr;
    g_conn.path.clear();
}

int exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// Ours: user_version 1 with our tables. A database without any table becomes
// ours; anything else is refused before a byte of it is changed.
LONG check_or_make_schema(sqlite3* db)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db,
            "SELECT (SELECT count(*) FROM sqlite_master),"
            " (SELECT count(*) FROM sqlite_master WHERE name IN ('reg_keys','reg_values'))",
            -1, &st, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT ? ERROR_BADDB : sqlite_status(rc);
        }
        rc = sqlite3_step(st);
        const int all = rc == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
        const int ours = rc == SQLITE_ROW ? sqlite3_column_int(st, 1) : -1;
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW)
            return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT ? ERROR_BADDB : sqlite_status(rc);
        if (all > 0) {
            if (ours != 2)
                return ERROR_BADDB;
            sqlite3_stmt* v = nullptr;
            int version = -1;
            if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &v, nullptr) == SQLITE_OK
                && sqlite3_step(v) == SQLITE_ROW)
                version = sqlite3_column_int(v, 0);
            sqlite3_finalize(v);
            return version == SCHEMA_VERSION ? ERROR_SUCCESS : ERROR_BADDB;
        }
        if (attempt == 1)
            break;
        // Empty: make the schema, unless another process made it meanwhile
        // (then the second look finds it).
        rc = exec(db, "BEGIN IMMEDIATE");
        if (rc != SQLITE_OK)
            return sqlite_status(rc);
        sqlite3_stmt* again = nullptr;
        int tables = -1;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &again, nullptr) == SQLITE_OK
            && sqlite3_step(again) == SQLITE_ROW)
            tables = sqlite3_column_int(again, 0);
        sqlite3_finalize(again);
        if (tables == 0)
            rc = exec(db, SCHEMA);
        if (rc != SQLITE_OK || tables < 0) {
            exec(db, "ROLLBACK");
            return rc != SQLITE_OK ? sqlite_status(rc) : ERROR_BADDB;
        }
        rc = exec(db, "COMMIT");
        if (rc != SQLITE_OK) {
            exec(db, "ROLLBACK");
            return sqlite_status(rc);
        }
    }
    return ERROR_BADDB;
}

LONG open_connection(const std::string& path)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return ERROR_CANTOPEN;
    }
    sqlite3_busy_timeout(db, BUSY_TIMEOUT_MS);
    sqlite3_extended_result_codes(db, 1);
    LONG status = check_or_make_schema(db);
    if (status == ERROR_SUCCESS) {
        // WAL lets readers go on while one process writes; NORMAL keeps every
        // committed transaction across a killed process (only a power loss can
        // take the last ones back). A read-only store keeps its journal mode.
        exec(db, "PRAGMA journal_mode=WAL");
        exec(db, "PRAGMA synchronous=NORMAL");
        if (exec(db, "PRAGMA foreign_keys=ON") != SQLITE_OK)
            status = ERROR_BADDB;
    }
    if (status != ERROR_SUCCESS) {
        sqlite3_close(db);
        return status;
    }
    g_conn.db = db;
    g_conn.path = path;
    g_conn.inherited = false;
    static const bool watching_forks = pthread_atfork(nullptr, nullptr, mark_inherited) == 0;
    (void)watching_forks;
    ++g_generation;
    return ERROR_SUCCESS;
}

} // namespace

sqlite3* store_db(LONG* status)
{
    // Every call comes here: the common case costs three getenv and no syscall.
    if (g_conn.db && !g_conn.inherited && g_source.matches()) {
        *status = ERROR_SUCCESS;
        return g_conn.db;
    }
    bool make_directory = false;
    g_source.take();
    const std::string path = store_path(&make_directory);
    if (g_conn.db && !g_conn.inherited && g_conn.path == path) {
        *status = ERROR_SUCCESS;
        return g_conn.db;
    }
    close_connection();
    if (path.empty()) {
        *status = ERROR_CANTOPEN;
        return nullptr;
    }
    if (make_directory)
        make_parents(path);
    *status = open_connection(path);
    return g_conn.db;
}

std::uint64_t store_generation()
{
    return g_generation;
}

LONG sqlite_status(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_BUSY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    case SQLITE_NOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ERROR_REGISTRY_CORRUPT;
    case SQLITE_CANTOPEN:
        return ERROR_CANTOPEN;
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
        return ERROR_INVALID_PARAMETER;
    case SQLITE_CONSTRAINT:
        return rc == SQLITE_CONSTRAINT_FOREIGNKEY ? ERROR_KEY_DELETED : ERROR_INVALID_PARAMETER;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

Query::Query(sqlite3* db, const char* sql)
{
    auto found = g_conn.statements.find(sql);
    if (found != g_conn.statements.end()) {
        stmt_ = found->second;
        return;
    }
    rc_ = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        return;
    }
    g_conn.statements.emplace(sql, stmt_);
}

Query::~Query()
{
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

Query& Query::bind(int i, std::int64_t v)
{
    if (stmt_)
        sqlite3_bind_int64(stmt_, i, v);
    return *this;
}

Query& Query::bind(int i, std::string_view text)
{
    static const char empty = '\0';
    if (stmt_)
        sqlite3_bind_text64(stmt_, i, text.empty() ? &empty : text.data(), text.size(),
                            SQLITE_STATIC, SQLITE_UTF8);
    return *this;
}

Query& Query::bind_blob(int i, const void* data, std::size_t size)
{
    // A null pointer would bind SQL NULL; an empty value is an empty blob.
    static const unsigned char empty = 0;
    if (stmt_)
        sqlite3_bind_blob64(stmt_, i, size ? data : &empty, size, SQLITE_STATIC);
    return *this;
}

int Query::step()
{
    return stmt_ ? sqlite3_step(stmt_) : rc_;
}

std::int64_t Query::column_int(int i)
{
    return sqlite3_column_int64(stmt_, i);
}

std::string_view Query::column_text(int i)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return p ? std::string_view(p, std::size_t(sqlite3_column_bytes(stmt_, i))) : std::string_view();
}

std::string_view Query::column_blob(int i)
{
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, i));
    return p ? std::string_view(p, std::size_t(sqlite3_column_bytes(stmt_, i))) : std::string_view();
}

Transaction::Transaction(sqlite3* db, bool write) : db_(db), open_(false)
{
    const int rc = exec(db, write ? "BEGIN IMMEDIATE" : "BEGIN");
    status_ = sqlite_status(rc);
    open_ = rc == SQLITE_OK;
}

Transaction::~Transaction()
{
    if (open_)
        exec(db_, "ROLLBACK");
}

LONG Transaction::commit()
{
    if (!open_)
        return status_;
    const int rc = exec(db_, "COMMIT");
    if (rc != SQLITE_OK)
        return sqlite_status(rc);   // the destructor rolls back
    open_ = false;
    return ERROR_SUCCESS;
}

} // namespace registry_detail
