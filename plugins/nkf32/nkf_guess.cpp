// Guessing the input's encoding from its first 64 KiB. Exact tests come first
// (escape sequences without 8-bit bytes, plain ASCII, text that decodes cleanly
// as UTF-8, text that decodes cleanly as only one of Shift_JIS and EUC-JP);
// uchardet breaks the tie when both decode; Shift_JIS, the encoding of Windows
// text, is the answer when even uchardet names neither.
#include "nkf_internal.h"
#include "nkf_iconv.h"

#include <uchardet/uchardet.h>
#include <strings.h>
#include <cstring>

namespace nkf {

namespace {

constexpr std::size_t sample_bytes = 64 * 1024;

bool has_8bit(const unsigned char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] & 0x80)
            return true;
    return false;
}

// ESC $ B, ESC $ @, ESC $ ( ..., ESC ( J, ESC ( I: the designations of ISO-2022-JP.
bool has_jis_escape(const unsigned char* p, std::size_t n)
{
    for (const void* hit; n >= 3 && (hit = std::memchr(p, 0x1b, n - 2)); ) {
        const unsigned char* e = static_cast<const unsigned char*>(hit);
        if ((e[1] == '$' && (e[2] == 'B' || e[2] == '@' || e[2] == '(')) ||
            (e[1] == '(' && (e[2] == 'J' || e[2] == 'I')))
            return true;
        n -= static_cast<std::size_t>(e + 1 - p);
        p = e + 1;
    }
    return false;
}

Encoding ask_uchardet(const char* in, std::size_t n)
{
    uchardet_t ud = uchardet_new();
    if (!ud)
        return Encoding::guess;
    Encoding result = Encoding::guess;
    if (uchardet_handle_data(ud, in, n) == 0) {
        uchardet_data_end(ud);
        const char* name = uchardet_get_charset(ud);
        if (name && (strcasecmp(name, "SHIFT_JIS") == 0 || strcasecmp(name, "WINDOWS-31J") == 0 ||
                     strcasecmp(name, "CP932") == 0))
            result = Encoding::shift_jis;
        else if (name && strcasecmp(name, "EUC-JP") == 0)
            result = Encoding::euc_jp;
    }
    uchardet_delete(ud);
    return result;
}

}  // namespace

Encoding guess_encoding(const char* in, std::size_t n)
{
    bool cut = n > sample_bytes;
    std::size_t len = cut ? sample_bytes : n;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    if (!has_8bit(p, len))
        return has_jis_escape(p, len) ? Encoding::iso2022_jp : Encoding::utf8;
    if (decodes_cleanly("UTF-8", in, len, cut))
        return Encoding::utf8;
    bool sjis = decodes_cleanly(charset_name(Encoding::shift_jis), in, len, cut);
    bool euc = decodes_cleanly(charset_name(Encoding::euc_jp), in, len, cut);
    if (sjis != euc)
        return sjis ? Encoding::shift_jis : Encoding::euc_jp;
    Encoding answer = ask_uchardet(in, len);
    return answer == Encoding::guess ? Encoding::shift_jis : answer;
}

}  // namespace nkf
