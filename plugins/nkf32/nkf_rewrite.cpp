// The one pass over UTF-8 text that every conversion makes: it checks the
// sequences (a broken one becomes U+FFFD, one byte at a time, so no sequence ever
// reaches past the end), drops a leading byte-order mark, and applies the
// options: half-width katakana to full-width (a following voiced or semi-voiced
// mark joins its letter), full-width letters and digits (and the ideographic
// space) to ASCII, line ends to one kind. Written by hand rather than done by
// iconv and a normaliser because it is one pass and the rewrites are exactly
// these (Unicode compatibility folding would change far more than widths).
#include "nkf_internal.h"

#include <cstring>

namespace nkf {

namespace {

// Full-width forms of U+FF61 .. U+FF9F.
constexpr char16_t wide_kana[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7,
    0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8,
    0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB,
    0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD,
    0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1,
    0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF,
    0x30F3, 0x309B, 0x309C};

constexpr unsigned voiced_mark = 0xFF9E;
constexpr unsigned semi_voiced_mark = 0xFF9F;

// The code point of a valid sequence at p (and its length), or 0 length when the
// bytes there are not one.
unsigned decode(const unsigned char* p, const unsigned char* end, unsigned& cp)
{
    unsigned char b = p[0];
    auto cont = [&](std::size_t i, unsigned char lo = 0x80, unsigned char hi = 0xbf) {
        return p + i < end && p[i] >= lo && p[i] <= hi;
    };
    if (b >= 0xc2 && b <= 0xdf && cont(1)) {
        cp = ((b & 0x1fu) << 6) | (p[1] & 0x3fu);
        return 2;
    }
    if (b >= 0xe0 && b <= 0xef) {
        unsigned char lo = b == 0xe0 ? 0xa0 : 0x80, hi = b == 0xed ? 0x9f : 0xbf;
        if (!cont(1, lo, hi) || !cont(2))
            return 0;
        cp = ((b & 0x0fu) << 12) | ((p[1] & 0x3fu) << 6) | (p[2] & 0x3fu);
        return 3;
    }
    if (b >= 0xf0 && b <= 0xf4) {
        unsigned char lo = b == 0xf0 ? 0x90 : 0x80, hi = b == 0xf4 ? 0x8f : 0xbf;
        if (!cont(1, lo, hi) || !cont(2) || !cont(3))
            return 0;
        cp = ((b & 0x07u) << 18) | ((p[1] & 0x3fu) << 12) | ((p[2] & 0x3fu) << 6) | (p[3] & 0x3fu);
        return 4;
    }
    return 0;
}

char* put3(char* o, unsigned cp)
{
    o[0] = static_cast<char>(0xe0 | (cp >> 12));
    o[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
    o[2] = static_cast<char>(0x80 | (cp & 0x3f));
    return o + 3;
}

// The full-width form of half-width katakana cp, joined with a mark that follows.
unsigned widen(unsigned cp, unsigned next, bool& joined)
{
    unsigned wide = wide_kana[cp - 0xFF61];
    joined = false;
    bool ka_to_to = cp >= 0xFF76 && cp <= 0xFF84, ha_row = cp >= 0xFF8A && cp <= 0xFF8E;
    if (next == voiced_mark && (ka_to_to || ha_row || cp == 0xFF73)) {
        joined = true;
        return cp == 0xFF73 ? 0x30F4 : wide + 1;
    }
    if (next == semi_voiced_mark && ha_row) {
        joined = true;
        return wide + 2;
    }
    return wide;
}

bool is_halfwidth_kana(unsigned cp) { return cp >= 0xFF61 && cp <= 0xFF9F; }

bool is_fullwidth_alnum(unsigned cp)
{
    return (cp >= 0xFF10 && cp <= 0xFF19) || (cp >= 0xFF21 && cp <= 0xFF3A) || (cp >= 0xFF41 && cp <= 0xFF5A);
}

// Whether the code point is one the options rewrite.
bool rewritten(unsigned cp, const Options& o)
{
    return (is_halfwidth_kana(cp) && !o.keep_halfwidth_kana) || (o.fold_fullwidth >= 0 && is_fullwidth_alnum(cp)) ||
           (o.fold_fullwidth >= 1 && cp == 0x3000);
}

// Whether a line end at p (CR, LF or CR LF) differs from the one asked for.
bool other_line_end(const unsigned char* p, const unsigned char* end, LineEnd want)
{
    bool crlf = p[0] == '\r' && p + 1 < end && p[1] == '\n';
    if (want == LineEnd::crlf)
        return !crlf;
    return crlf || p[0] != (want == LineEnd::lf ? '\n' : '\r');
}

}  // namespace

std::size_t valid_utf8_length(const char* p, std::size_t left)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    unsigned cp = 0;
    return left ? decode(u, u + left, cp) : 0;
}

bool needs_rewrite(const char* in, std::size_t n, const Options& o, bool checked)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    const unsigned char* end = p + n;
    if (n >= 3 && p[0] == 0xef && p[1] == 0xbb && p[2] == 0xbf)
        return true;
    bool lines = o.line_end != LineEnd::keep;
    if (checked && !lines && o.fold_fullwidth < 1) {
        // Every code point that can be rewritten then starts with EF.
        while (const void* hit = std::memchr(p, 0xef, static_cast<std::size_t>(end - p))) {
            p = static_cast<const unsigned char*>(hit);
            unsigned cp = 0;
            unsigned len = decode(p, end, cp);
            if (len && rewritten(cp, o))
                return true;
            p += len ? len : 1;
        }
        return false;
    }
    while (p < end) {
        if (*p < 0x80) {
            if (lines && (*p == '\r' || *p == '\n')) {
                if (other_line_end(p, end, o.line_end))
                    return true;
                p += p[0] == '\r' && p + 1 < end && p[1] == '\n' ? 2 : 1;
            } else {
                ++p;
            }
            continue;
        }
        unsigned cp = 0;
        unsigned len = decode(p, end, cp);
        if (!len || rewritten(cp, o))
            return true;
        p += len;
    }
    return false;
}

void rewrite_utf8(const char* in, std::size_t n, const Options& o, Buffer& out)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    const unsigned char* end = p + n;
    out.set_size(0);
    out.reserve(n + n / 4 + 64);
    const char* line_end = o.line_end == LineEnd::lf ? "\n" : o.line_end == LineEnd::crlf ? "\r\n" : "\r";
    std::size_t line_end_len = o.line_end == LineEnd::crlf ? 2 : 1;
    bool lines = o.line_end != LineEnd::keep;
    if (end - p >= 3 && p[0] == 0xef && p[1] == 0xbb && p[2] == 0xbf)
        p += 3;
    while (p < end) {
        out.reserve(16);
        char* o_ptr = out.end();
        // Room for 16 bytes, and no step writes more than 6: copy ASCII in bulk.
        char* o_stop = out.end() + out.room() - 8;
        while (p < end && *p < 0x80 && o_ptr < o_stop) {
            unsigned char c = *p;
            if (lines && (c == '\r' || c == '\n')) {
                p += (c == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
                for (std::size_t i = 0; i < line_end_len; ++i)
                    *o_ptr++ = line_end[i];
                continue;
            }
            *o_ptr++ = static_cast<char>(c);
            ++p;
        }
        if (p < end && *p >= 0x80 && o_ptr < o_stop) {
            unsigned cp = 0;
            unsigned len = decode(p, end, cp);
            if (!len) {
                o_ptr = put3(o_ptr, 0xFFFD);
                ++p;
            } else if (is_halfwidth_kana(cp) && !o.keep_halfwidth_kana) {
                unsigned next = 0;
                if (end - (p + len) >= 3)
                    decode(p + len, end, next);
                bool joined = false;
                o_ptr = put3(o_ptr, widen(cp, next, joined));
                p += joined ? len + 3 : len;
            } else if (o.fold_fullwidth >= 0 && is_fullwidth_alnum(cp)) {
                *o_ptr++ = static_cast<char>(cp - 0xFF00 + 0x20);
                p += len;
            } else if (o.fold_fullwidth >= 1 && cp == 0x3000) {
                *o_ptr++ = ' ';
                p += len;
            } else {
                for (unsigned i = 0; i < len; ++i)
                    *o_ptr++ = static_cast<char>(p[i]);
                p += len;
            }
        }
        out.set_size(static_cast<std::size_t>(o_ptr - out.data()));
    }
}

}  // namespace nkf
