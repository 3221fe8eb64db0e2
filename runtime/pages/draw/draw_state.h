// The shared drawing state (one set for the program) and the helpers of the
// drawing area: the current page's drawing context and the twentieths rule.
#pragma once
#include "ostrel/draw.h"
#include "platform/gdi/wingdi.h"
#include "runtime/pages/page_record.h"

struct DrawState {
    COLORREF color = 0;
    int style = PS_SOLID;
    double width = 0.2;
    HPEN pen = nullptr;
    unsigned char mask[16] = {};   // 8 rows of two bytes: mask byte, 0
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    char face[64] = {};
    int weight = FW_NORMAL;
    unsigned char italic = 0, underline = 0, strikeout = 0;
    int escapement = 0, orientation = 0;   // degrees
    double tx = 0, ty = 0;                 // text position
    int halign = 3, valign = 10;
};
DrawState& draw_state();

// v x 20 truncated towards zero (clamped to the int range).
int twenty(double v);
// The drawing context of the current page (its recording, or an off-screen
// page's memory context); null without a current page.
HDC draw_dc();

// Drawing on an off-screen page: page units are pixels there, so while a
// primitive draws, the memory context maps 20 units to a pixel on top of the
// mapping it has. Does nothing for recordings.
class PageUnits {
public:
    explicit PageUnits(HDC dc);
    ~PageUnits();
    PageUnits(const PageUnits&) = delete;
    PageUnits& operator=(const PageUnits&) = delete;

private:
    HDC dc_ = nullptr;
    int mode_ = 0;
    POINT org_{};
    SIZE wext_{}, vext_{};
};

// Replaces one shared object: create, select, delete the old one (fatal when
// that fails, with the operation's name and message), keep the new one.
void draw_replace(HGDIOBJ& slot, HGDIOBJ fresh, const char* where, const char* message);
