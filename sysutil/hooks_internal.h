// The library's reporting seam for the file and archive operations: trace
// lines go to the trace-print hook only while the trace-enabled hook says so,
// status texts to the status hook (always with -1 as its part).
#pragma once
#include "ostrel/sysutil.h"

class QWidget;

void sysutil_trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void sysutil_status(const char* text);

// The widget that parents a box or dialog: the given owner, else the owner
// window; null when neither names a live window.
QWidget* sysutil_owner_widget(HWND owner);

// Whether widgets can be shown (the application object exists).
bool sysutil_can_show_dialogs();
