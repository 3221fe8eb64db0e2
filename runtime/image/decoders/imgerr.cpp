// The image-library error state shared by the JPEG entries and the row readers:
// the names of the running operation, the show / empty-input / error flags, the
// error manager that reports through _imgerr_report, and the "Jpeg-Lib Error" box.
#include "ostrel/decoders.h"
#include "runtime/image/decoders/decoders_internal.h"
#include "platform/win/winuser.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct imgerr_state {
    std::string operation;
    std::string name;
    int show = 0;
    int empty = 0;
    int error = 0;
};

imgerr_state& state()
{
    static imgerr_state s;
    return s;
}

int& boxes_shown()
{
    // Batch runs (tests, fuzzers) cannot answer a modal box.
    static int show = [] {
        const char* q = std::getenv("OSTREL_QUIET_BOXES");
        return (q && *q && std::strcmp(q, "0") != 0) ? 0 : 1;
    }();
    return show;
}

void error_exit(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    imgerr_mgr* mgr = reinterpret_cast<imgerr_mgr*>(cinfo->err);
    state().show = 1;
    (*cinfo->err->format_message)(cinfo, text);
    _imgerr_report(text);
    jpeg_destroy(cinfo);
    std::longjmp(mgr->recover, 1);
}

void output_message(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    _imgerr_report(text);
}

} // namespace

void _imgerr_context(const char* operation, const char* name)
{
    imgerr_state& s = state();
    s.operation = operation ? operation : "";
    s.name = name ? name : "";
    s.show = 0;
    s.empty = 0;
    s.error = 0;
}

int _imgerr()
{
    return state().error;
}

void _imgerr_set()
{
    state().error = 1;
}

void _imgerr_set_empty()
{
    state().empty = 1;
    state().error = 1;
}

int _imgerr_showboxes(int show)
{
    int old = boxes_shown();
    boxes_shown() = show ? 1 : 0;
    return old;
}

void _imgerr_report(const char* text)
{
    if (!text)
        text = "";
    // A truncated JPEG is completed by the library and loads; the GIF remark is harmless.
    if (std::strcmp(text, "Premature end of JPEG file") == 0 ||
        std::strcmp(text, "Bogus char 0xfe in GIF file, ignoring") == 0)
        return;
    imgerr_state& s = state();
    s.error = 1;
    if (!s.show)
        return;
    std::string box = s.name + "\n \n" + text + "\n \nat function " + s.operation;
    if (boxes_shown()) {
        // the box pumps: a decoder call started meanwhile sets its own context,
        // and this call's error stays this call's once the box is answered
        imgerr_state mine = s;
        MessageBoxA(nullptr, box.c_str(), "Jpeg-Lib Error", MB_ICONERROR);
        state() = mine;
    }
    else
        std::fprintf(stderr, "Jpeg-Lib Error: %s\n", box.c_str());
}

jpeg_error_mgr* _imgerr_manager(imgerr_mgr* mgr)
{
    jpeg_error_mgr* err = jpeg_std_error(&mgr->pub);
    err->error_exit = error_exit;
    err->output_message = output_message;
    err->addon_message_table = _rowreader_messages;
    err->first_addon_message = ROWMSG_FIRST;
    err->last_addon_message = ROWMSG_LAST - 1;
    return err;
}

[[noreturn]] void _rowreader_error(j_compress_ptr host, int code, int p1, int p2)
{
    host->err->msg_code = code;
    host->err->msg_parm.i[0] = p1;
    host->err->msg_parm.i[1] = p2;
    (*host->err->error_exit)(reinterpret_cast<j_common_ptr>(host));
    std::abort();   // error_exit never returns
}

void _rowreader_warning(j_compress_ptr host, int code, int p1)
{
    host->err->msg_code = code;
    host->err->msg_parm.i[0] = p1;
    (*host->err->emit_message)(reinterpret_cast<j_common_ptr>(host), -1);
}
