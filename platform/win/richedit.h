// The rich-text area ("RichEdit" class): message numbers, character-format and
// range records with the Win32 layouts. The control is a QTextEdit (see
// docs/console.md); positions count characters (UTF-16 units) and a line break
// counts as one character.
#pragma once
#include "platform/win/commdlg.h"
#include "platform/win/winuser.h"
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

enum : UINT {
    EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_SCROLLCARET = 0x00B7, EM_GETLINECOUNT = 0x00BA,
    EM_LINEINDEX = 0x00BB, EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4,
    EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7,
    EM_LINEFROMCHAR = 0x00C9, EM_EMPTYUNDOBUFFER = 0x00CD, EM_SETREADONLY = 0x00CF,
    EM_GETLIMITTEXT = WM_USER + 37, EM_CANPASTE = WM_USER + 50, EM_EXGETSEL = WM_USER + 52,
    EM_EXLIMITTEXT = WM_USER + 53, EM_EXLINEFROMCHAR = WM_USER + 54, EM_EXSETSEL = WM_USER + 55,
    EM_FINDTEXT = WM_USER + 56, EM_GETCHARFORMAT = WM_USER + 58, EM_GETSELTEXT = WM_USER + 62,
    EM_SETBKGNDCOLOR = WM_USER + 67, EM_SETCHARFORMAT = WM_USER + 68, EM_GETTEXTRANGE = WM_USER + 75,
};
enum : DWORD { ES_MULTILINE = 0x0004, ES_AUTOVSCROLL = 0x0040, ES_AUTOHSCROLL = 0x0080,
               ES_READONLY = 0x0800, ES_DISABLENOSCROLL = 0x2000 };
enum : DWORD {
    CFM_BOLD = 0x00000001, CFM_ITALIC = 0x00000002, CFM_UNDERLINE = 0x00000004, CFM_STRIKEOUT = 0x00000008,
    CFM_PROTECTED = 0x00000010, CFM_SIZE = 0x80000000, CFM_COLOR = 0x40000000, CFM_FACE = 0x20000000,
    CFM_OFFSET = 0x10000000, CFM_CHARSET = 0x08000000,
    CFE_BOLD = 0x0001, CFE_ITALIC = 0x0002, CFE_UNDERLINE = 0x0004, CFE_STRIKEOUT = 0x0008,
    CFE_AUTOCOLOR = 0x40000000,
};
enum : WPARAM { SCF_DEFAULT = 0, SCF_SELECTION = 1, SCF_WORD = 2, SCF_ALL = 4 };

struct CHARFORMATA {
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;           // twips
    LONG yOffset;           // twips, positive raises
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    char szFaceName[32];    // UTF-8
};
static_assert(sizeof(CHARFORMATA) == 60);

struct CHARRANGE { LONG cpMin; LONG cpMax; };
struct FINDTEXTA { CHARRANGE chrg; const char* lpstrText; };
struct TEXTRANGEA { CHARRANGE chrg; char* lpstrText; };

OSTREL_INTERNAL_EXPORT_END
