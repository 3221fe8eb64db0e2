// What the image area needs from the rest of the runtime, behind one small seam:
// the fatal report and the screen resolution (console and page areas).
#pragma once

void image_fatal(const char* operation, const char* message);
int image_screen_dpix();
int image_screen_dpiy();
