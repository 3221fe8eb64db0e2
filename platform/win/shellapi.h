// The shell's file information: the icon the desktop shows for a file's type.
#pragma once
#include "platform/win/winuser.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

enum : UINT { SHGFI_LARGEICON = 0x0, SHGFI_ICON = 0x100 };

struct SHFILEINFOA {
    HICON hIcon;
    int iIcon;
    DWORD dwAttributes;
    char szDisplayName[260];
    char szTypeName[80];
};

// With SHGFI_ICON: hIcon, the large icon (SM_CXICON x SM_CYICON) of the file's
// MIME type in the desktop's icon theme, else a plain document icon; the caller
// frees it with DestroyIcon. The file need not exist. Nonzero on success. Without
// a display (a tool that reads files only) the document icon is given.
std::uintptr_t SHGetFileInfoA(const char* path, DWORD attributes, SHFILEINFOA* sfi, UINT size, UINT flags);

OSTREL_INTERNAL_EXPORT_END
