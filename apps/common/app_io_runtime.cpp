/* app_io_runtime: the output table of the real programs, on the runtime's
 * console, its message boxes, its getchar and its exit. */
#include "app_io.h"

#include <ostrel/sysutil.h>
#include <ostrel.h>

namespace {

void runtime_print(const char* text) { printf("%s", text); }
int runtime_info(const char* caption, const char* text) { return msgbox_info(caption, "%s", text); }
int runtime_yesno(const char* caption, const char* text) { return msgbox_yesno(caption, "%s", text); }
int runtime_getkey() { return getchar(); }
void runtime_quit(int code) { exit(code); }

} // namespace

const AppIo& app_io_runtime()
{
    static const AppIo io = {runtime_print, runtime_info, runtime_yesno, runtime_getkey, runtime_quit};
    return io;
}
