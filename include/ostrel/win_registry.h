/* ostrel registry types: the key handle, the predefined root keys, the value
 * types, access rights and status codes of the registry calls, with the
 * Windows API's numbers.
 *
 * Programs meet these through the registry functions of libostrel-sysutil
 * (ostrel/registry.h): a root is passed to read_key_value, a value type is
 * asked for, and set_key_value and delete_key answer with a status. The
 * platform layer's registry calls use these same definitions.
 */
#ifndef OSTREL_WIN_REGISTRY_H
#define OSTREL_WIN_REGISTRY_H

#include <cstdint>

#include "ostrel/win_types.h"

/* An open key: a pointer to the platform's own record, or one of the roots. */
struct RegKey;
using HKEY = RegKey*;
using REGSAM = DWORD;

/* The roots are fixed numbers, sign-extended as on 64-bit Windows. */
#define OSTREL_REGISTRY_ROOT(n) ((HKEY)(std::uintptr_t)(std::intptr_t)(std::int32_t)(n))
#define HKEY_CLASSES_ROOT OSTREL_REGISTRY_ROOT(0x80000000u)
#define HKEY_CURRENT_USER OSTREL_REGISTRY_ROOT(0x80000001u)
#define HKEY_LOCAL_MACHINE OSTREL_REGISTRY_ROOT(0x80000002u)
#define HKEY_USERS OSTREL_REGISTRY_ROOT(0x80000003u)

/* Value types. */
enum : DWORD {
    REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5, REG_LINK = 6, REG_MULTI_SZ = 7, REG_QWORD = 11
};

/* Access rights of an opened key, and what a created key was. */
enum : DWORD {
    KEY_QUERY_VALUE = 0x0001, KEY_SET_VALUE = 0x0002, KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008, KEY_NOTIFY = 0x0010,
    KEY_READ = 0x20019, KEY_WRITE = 0x20006, KEY_ALL_ACCESS = 0xF003F,
    REG_OPTION_NON_VOLATILE = 0, REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2
};

/* Status codes of the registry calls. */
enum : LONG {
    ERROR_SUCCESS = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6, ERROR_NOT_ENOUGH_MEMORY = 8, ERROR_INVALID_PARAMETER = 87,
    ERROR_BUSY = 170, ERROR_MORE_DATA = 234, ERROR_NO_MORE_ITEMS = 259,
    ERROR_BADDB = 1009, ERROR_CANTOPEN = 1011, ERROR_REGISTRY_CORRUPT = 1015,
    ERROR_REGISTRY_IO_FAILED = 1016, ERROR_KEY_DELETED = 1018, ERROR_UNSUPPORTED_TYPE = 1630
};

#endif
