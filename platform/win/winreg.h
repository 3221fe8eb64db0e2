// Registry calls, Win32-shaped: a tree of keys holding named, typed values under
// four roots, kept in an SQLite database of our own (platform/win/registry_*.cpp).
//
// The database is $OSTREL_REGISTRY when that is set, otherwise
// $XDG_CONFIG_HOME/ostrel/registry.db (~/.config/ostrel/registry.db). Key and
// value names compare without regard to case and keep the case they were made
// with; a subkey argument may name several levels separated by '\'. Every change
// is one transaction, and several processes may use the store at once. A store
// that cannot be opened or is not ours answers every call with an error status
// and is left as it is.
#pragma once
#include "ostrel/win_registry.h"
#include "platform/win_types.h"
#include "platform/internal_export.h"

struct FILETIME;
struct SECURITY_ATTRIBUTES;

OSTREL_INTERNAL_EXPORT_BEGIN

// The environment variable naming the database file (tests point it at a
// scratch file).
inline constexpr const char OSTREL_REGISTRY_VARIABLE[] = "OSTREL_REGISTRY";

// Longest key name (one level) and value name, in characters.
inline constexpr int REGISTRY_MAX_KEY_NAME = 255;
inline constexpr int REGISTRY_MAX_VALUE_NAME = 16383;

LONG RegOpenKeyExA(HKEY key, const char* sub_key, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyExA(HKEY key, const char* sub_key, DWORD reserved, char* class_name,
                     DWORD options, REGSAM access, const SECURITY_ATTRIBUTES* security,
                     HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has some).
LONG RegDeleteKeyA(HKEY key, const char* sub_key);
// Deletes a key with everything below it; a null or empty sub_key empties `key`
// itself (its subkeys and values) and keeps it.
LONG RegDeleteTreeA(HKEY key, const char* sub_key);
// Subkeys by index in name order (case ignored). The last-write time is not
// kept: a given FILETIME is set to 0.
LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* name_chars, DWORD* reserved,
                   char* class_name, DWORD* class_chars, FILETIME* last_write);

// A null or empty value name is the key's default value.
LONG RegQueryValueExA(HKEY key, const char* value_name, DWORD* reserved, DWORD* type,
                      BYTE* data, DWORD* data_bytes);
LONG RegSetValueExA(HKEY key, const char* value_name, DWORD reserved, DWORD type,
                    const BYTE* data, DWORD data_bytes);
// Sets a value of the key `sub_key` below `key`, making the missing levels:
// the levels and the value are one transaction.
LONG RegSetKeyValueA(HKEY key, const char* sub_key, const char* value_name, DWORD type,
                     const void* data, DWORD data_bytes);
LONG RegDeleteValueA(HKEY key, const char* value_name);
// The value types RegGetValueA accepts, and what it does besides.
enum : DWORD {
    RRF_RT_REG_NONE = 0x01, RRF_RT_REG_SZ = 0x02, RRF_RT_REG_EXPAND_SZ = 0x04,
    RRF_RT_REG_BINARY = 0x08, RRF_RT_REG_DWORD = 0x10, RRF_RT_REG_MULTI_SZ = 0x20,
    RRF_RT_REG_QWORD = 0x40, RRF_RT_DWORD = 0x18, RRF_RT_QWORD = 0x48, RRF_RT_ANY = 0xFFFF,
    RRF_NOEXPAND = 0x10000000, RRF_ZEROONFAILURE = 0x20000000
};
// A value of the key `sub_key` below `key` (null or empty: of `key` itself), in
// one step. A type outside `flags` is ERROR_UNSUPPORTED_TYPE. A text value is
// handed out with its terminator, which must fit. REG_EXPAND_SZ is never
// expanded (as with RRF_NOEXPAND): there are no Windows variables to expand.
LONG RegGetValueA(HKEY key, const char* sub_key, const char* value_name, DWORD flags,
                  DWORD* type, void* data, DWORD* data_bytes);
// Values by index in the order they were first set.
LONG RegEnumValueA(HKEY key, DWORD index, char* value_name, DWORD* name_chars,
                   DWORD* reserved, DWORD* type, BYTE* data, DWORD* data_bytes);

OSTREL_INTERNAL_EXPORT_END
