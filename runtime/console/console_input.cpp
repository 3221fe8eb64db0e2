// Console input: the text area becomes editable while a function waits in its
// message loop for the awaited character (any key, or Enter), which is taken out
// of the queue before the text area sees it, read back, and then passed on.
#include "runtime/console/console_state.h"
#include "platform/utf8_cut.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t LINE_MAX_BYTES = 65535;

std::vector<std::string>& prompts()
{
    static std::vector<std::string> p;
    return p;
}

// Waits for a character message of the text area (Enter only, if asked);
// everything else is served. A quit message ends the process.
MSG wait_for_char(bool enter_only)
{
    MSG m{};
    for (;;) {
        if (GetMessageA(&m, nullptr, 0, 0) <= 0)
            _quitprocess();
        if (m.message == WM_CHAR && m.hwnd == cs().text && (!enter_only || m.wParam == 13))
            return m;
        _dispatchmessage(&m);
        _showcaretpos(&m);
    }
}

struct Caret {
    long line;
    long column;   // characters from the line's start
};

Caret caret()
{
    HWND t = cs().text;
    CHARRANGE r{0, 0};
    SendMessageA(t, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    long line = long(SendMessageA(t, EM_EXLINEFROMCHAR, 0, LPARAM(r.cpMin)));
    long first = long(SendMessageA(t, EM_LINEINDEX, WPARAM(line), 0));
    return Caret{line, r.cpMin - first};
}

// The UTF-8 text of a line, at most 65,535 bytes.
std::string line_text(long line)
{
    std::string buf(LINE_MAX_BYTES + 1, '\0');
    WORD max = WORD(LINE_MAX_BYTES);
    std::memcpy(buf.data(), &max, sizeof max);
    LRESULT n = SendMessageA(cs().text, EM_GETLINE, WPARAM(line), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(size_t(std::clamp<LRESULT>(n, 0, LRESULT(LINE_MAX_BYTES))));
    return buf;
}

// Byte offset of the character column `col` (counted in UTF-16 units).
size_t byte_offset(const std::string& s, long col)
{
    size_t i = 0;
    long units = 0;
    while (i < s.size() && units < col) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        units += len == 4 ? 2 : 1;
        i = std::min(s.size(), i + len);
    }
    return i;
}

char* store(char* buf, size_t size, const std::string& s, size_t from, size_t to)
{
    to = std::min(to, s.size());
    from = std::min(from, to);
    size_t n = utf8_cut(s.data() + from, to - from, size - 1);
    std::memcpy(buf, s.data() + from, n);
    buf[n] = 0;
    return buf;
}

} // namespace

void _inputbegin(const char* prompt)
{
    ConsoleState& s = cs();
    ++s.input_depth;
    prompts().emplace_back(prompt ? prompt : "");
    SetFocus(s.text);
    _setstatus(-1, prompt);
    MSG m{s.text, WM_NULL, 0, 0, 0, {0, 0}};
    _showcaretpos(&m);
    SendMessageA(s.text, EM_SETREADONLY, 0, 0);
    _pumpmessages();
}

void _inputend()
{
    ConsoleState& s = cs();
    if (s.input_depth > 0)
        --s.input_depth;
    if (!prompts().empty())
        prompts().pop_back();
    // An outer wait goes on with its own prompt and an editable text.
    _setstatus(-1, prompts().empty() ? "" : prompts().back().c_str());
    MSG m{s.text, WM_NULL, 0, 0, 0, {0, 0}};
    _showcaretpos(&m);
    if (s.input_depth == 0)
        SendMessageA(s.text, EM_SETREADONLY, 1, 0);
    _pumpmessages();
}

int _getkey(const char* prompt)
{
    if (!IsWindow(cs().text))
        return -1;
    _showconsole();
    _inputbegin(prompt);
    MSG m = wait_for_char(false);
    int code = int(m.wParam);
    if (code == 13)
        code = 10;
    else if (code == 26)
        code = -1;
    _dispatchmessage(&m);
    _inputend();
    return code;
}

int ostrel_getchar()
{
    return _getkey("getchar");
}

char* _readline_n(char* buf, std::size_t size, const char* prompt)
{
    if (!buf || size == 0)
        return buf;
    buf[0] = 0;
    if (!IsWindow(cs().text))
        return buf;
    _showconsole();
    _inputbegin(prompt);
    Caret start = caret();
    MSG enter = wait_for_char(true);
    Caret end = caret();
    std::string line = line_text(end.line);
    size_t to = byte_offset(line, end.column);
    if (end.line == start.line && end.column > start.column)
        store(buf, size, line, byte_offset(line, start.column), to);
    else
        store(buf, size, line, 0, to);
    _dispatchmessage(&enter);
    _inputend();
    return buf;
}

char* _readline(char* buf, const char* prompt)
{
    return _readline_n(buf, LINE_MAX_BYTES + 1, prompt);
}

char* _gets_n(char* buf, std::size_t size)
{
    return _readline_n(buf, size, "gets");
}

char* ostrel_gets(char* buf)
{
    return _readline_n(buf, LINE_MAX_BYTES + 1, "gets");
}

char* _getline_n(char* buf, std::size_t size)
{
    if (!buf || size == 0)
        return buf;
    buf[0] = 0;
    if (!IsWindow(cs().text))
        return buf;
    _showconsole();
    _inputbegin("getline");
    MSG enter = wait_for_char(true);
    std::string line = line_text(caret().line);
    store(buf, size, line, 0, line.size());
    _dispatchmessage(&enter);
    _inputend();
    return buf;
}

char* ostrel_getline(char* buf)
{
    return _getline_n(buf, LINE_MAX_BYTES + 1);
}
