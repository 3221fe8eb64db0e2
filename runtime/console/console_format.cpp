// The two console character formats (typed text blue, printed text black) and
// their setters; sizes in units of 15 twips.
#include "runtime/console/console_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

CHARFORMATA initial(COLORREF colour)
{
    CHARFORMATA f{};
    f.cbSize = sizeof(CHARFORMATA);
    f.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE;
    f.yHeight = 180;
    f.crTextColor = colour;
    f.bCharSet = 1;
    std::snprintf(f.szFaceName, sizeof f.szFaceName, "%s", "ＭＳ ゴシック");
    return f;
}

void apply_input()
{
    SendMessageA(cs().text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&console_input_format));
}

void effect(DWORD bit, int out, int in)
{
    console_output_format.dwMask |= bit;
    console_input_format.dwMask |= bit;
    console_output_format.dwEffects = out ? (console_output_format.dwEffects | bit) : (console_output_format.dwEffects & ~bit);
    console_input_format.dwEffects = in ? (console_input_format.dwEffects | bit) : (console_input_format.dwEffects & ~bit);
    apply_input();
}

// Applies only `bit` of the input record, then keeps the bit in its mask.
void apply_only(DWORD bit)
{
    DWORD saved = console_input_format.dwMask;
    console_input_format.dwMask = bit;
    apply_input();
    console_input_format.dwMask = saved | bit;
}

LONG twips(int units)
{
    long long t = 15LL * units;
    return LONG(std::clamp<long long>(t, -1638400, 1638400));
}

} // namespace

CHARFORMATA console_input_format = initial(0x00FF0000);
CHARFORMATA console_output_format = initial(0);

void console_formats_init()
{
    console_input_format = initial(0x00FF0000);
    console_output_format = initial(0);
    apply_input();
}

void console_apply_input_format()
{
    apply_input();
}

void _setconsolebold(int out, int in) { effect(CFM_BOLD, out, in); }
void _setconsoleitalic(int out, int in) { effect(CFM_ITALIC, out, in); }
void _setconsoleunderline(int out, int in) { effect(CFM_UNDERLINE, out, in); }
void _setconsolestrikeout(int out, int in) { effect(CFM_STRIKEOUT, out, in); }

void _setconsolecolor(COLORREF out, COLORREF in)
{
    console_output_format.dwMask |= CFM_COLOR;
    console_input_format.dwMask |= CFM_COLOR;
    console_output_format.dwEffects &= ~CFE_AUTOCOLOR;
    console_input_format.dwEffects &= ~CFE_AUTOCOLOR;
    console_output_format.crTextColor = out;
    console_input_format.crTextColor = in;
    apply_input();
}

void _setconsoleoffset(int out, int in)
{
    console_output_format.dwMask |= CFM_OFFSET;
    console_input_format.dwMask |= CFM_OFFSET;
    console_output_format.yOffset = twips(out);
    console_input_format.yOffset = twips(in);
    apply_input();
}

void _setconsolesize(int out, int in)
{
    console_output_format.dwMask |= CFM_SIZE;
    console_output_format.yHeight = twips(out);
    console_input_format.yHeight = twips(in);
    apply_only(CFM_SIZE);
}

void _setconsoleface(const char* out, const char* in)
{
    console_output_format.dwMask |= CFM_FACE;
    if (out)
        std::snprintf(console_output_format.szFaceName, sizeof console_output_format.szFaceName, "%s", out);
    if (in)
        std::snprintf(console_input_format.szFaceName, sizeof console_input_format.szFaceName, "%s", in);
    apply_only(CFM_FACE);
}

void _setconsolefont(int size)
{
    int units;
    switch (size) {
    case -1: units = 12; break;
    case 0: units = 15; break;
    case 1: units = 18; break;
    default: return;
    }
    _setconsolesize(units, units);
}

void _setconsolelimit(int n)
{
    long long chars = std::clamp<long long>(1000LL * n, 0, 0x7FFFFFFF);
    SendMessageA(cs().text, EM_EXLIMITTEXT, 0, LPARAM(chars));
}
