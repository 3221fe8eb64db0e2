// The converter's pieces, shared by its source files: the parsed options and the
// three passes (decode into UTF-8, rewrite the UTF-8 text, encode from UTF-8).
#ifndef NKF32_NKF_INTERNAL_H
#define NKF32_NKF_INTERNAL_H

#include "nkf_buffer.h"

#include <cstddef>

namespace nkf {

enum class Encoding { guess, utf8, shift_jis, euc_jp, iso2022_jp };
enum class LineEnd { keep, lf, crlf, cr };

struct Options {
    Encoding output = Encoding::utf8;
    Encoding input = Encoding::guess;
    bool byte_order_mark = false;      // -w8
    bool keep_halfwidth_kana = false;  // -x
    LineEnd line_end = LineEnd::keep;  // -Lu, -Lw, -Lm
    int fold_fullwidth = -1;           // -Z / -Z0: 0, -Z1: 1, none: -1
};

// Reads one option text; false (and `out` untouched) for anything unknown.
bool parse_options(const char* text, Options& out);

// The input's encoding when the options name none.
Encoding guess_encoding(const char* in, std::size_t n);

// Any of the three Japanese encodings into UTF-8; what does not decode becomes U+FFFD.
void decode_to_utf8(Encoding from, const char* in, std::size_t n, Buffer& out);

// Whether rewrite_utf8 would change the text. `checked` says that broken sequences
// need no rewrite: the text is iconv's output, or iconv will meet them on the way
// out and they are replaced there alike. Then only the rewrites are looked for.
bool needs_rewrite(const char* in, std::size_t n, const Options& options, bool checked);

// UTF-8 (not yet checked) into checked UTF-8 with the options' rewrites applied:
// broken sequences become U+FFFD, a leading byte-order mark goes.
void rewrite_utf8(const char* in, std::size_t n, const Options& options, Buffer& out);

// The length of the valid UTF-8 sequence at p, 0 when the bytes there are none.
std::size_t valid_utf8_length(const char* p, std::size_t left);

// UTF-8 into a Japanese encoding; what has no code there becomes '?'.
void encode_from_utf8(Encoding to, const char* in, std::size_t n, Buffer& out);

// The result of one conversion: its bytes, in one of the buffers or the input.
struct Result {
    Buffer first, second;
    const char* data = nullptr;
    std::size_t size = 0;
};

// The whole conversion of n bytes.
void convert(const Options& options, const char* in, std::size_t n, Result& out);

}  // namespace nkf

#endif
