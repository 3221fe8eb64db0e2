// The option text of SetNkfOption: tokens separated by blanks, each a '-' and one
// or more option letters ("-s -x" and "-sx" are the same). Anything unknown
// refuses the whole text, so that a typing error never converts silently.
#include "nkf_internal.h"

namespace nkf {

namespace {

bool parse_token(const char* t, std::size_t len, Options& o)
{
    if (len < 2 || t[0] != '-')
        return false;
    std::size_t i = 1;
    while (i < len) {
        char c = t[i++];
        char next = i < len ? t[i] : '\0';
        switch (c) {
        case 'j': o.output = Encoding::iso2022_jp; break;
        case 's': o.output = Encoding::shift_jis; break;
        case 'e': o.output = Encoding::euc_jp; break;
        case 'w':
            o.output = Encoding::utf8;
            o.byte_order_mark = next == '8';
            if (next == '8')
                ++i;
            break;
        case 'J': o.input = Encoding::iso2022_jp; break;
        case 'S': o.input = Encoding::shift_jis; break;
        case 'E': o.input = Encoding::euc_jp; break;
        case 'W': o.input = Encoding::utf8; break;
        case 'x': o.keep_halfwidth_kana = true; break;
        case 'L':
            if (next == 'u') o.line_end = LineEnd::lf;
            else if (next == 'w') o.line_end = LineEnd::crlf;
            else if (next == 'm') o.line_end = LineEnd::cr;
            else return false;
            ++i;
            break;
        case 'Z':
            o.fold_fullwidth = 0;
            if (next == '0' || next == '1') {
                o.fold_fullwidth = next - '0';
                ++i;
            }
            break;
        default:
            return false;
        }
    }
    return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool parse_options(const char* text, Options& out)
{
    if (!text)
        return false;
    Options o;
    const char* p = text;
    while (*p) {
        while (*p && is_blank(*p))
            ++p;
        const char* start = p;
        while (*p && !is_blank(*p))
            ++p;
        if (p > start && !parse_token(start, static_cast<std::size_t>(p - start), o))
            return false;
    }
    out = o;
    return true;
}

}  // namespace nkf
