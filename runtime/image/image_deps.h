// What the image area needs from the rest of the runtime, behind one small seam:
// the fatal report and the screen resolution (console and page areas, through
// their public functions), and the background of new pages, which the page area
// above registers (the image area never includes the page area's headers).
#pragma once
#include <cstdint>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

void image_fatal(const char* operation, const char* message);
int image_screen_dpix();
int image_screen_dpiy();

// Background of new pages (0x00BBGGRR); white until the page area registers.
std::uint32_t image_page_background();
void image_register_page_background(std::uint32_t (*background)());

OSTREL_INTERNAL_EXPORT_END
