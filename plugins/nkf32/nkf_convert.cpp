// One conversion: the input's encoding (named or guessed), decoding into UTF-8,
// the rewriting pass, and encoding into the output's encoding.
#include "nkf_internal.h"

namespace nkf {

void convert(const Options& options, const char* in, std::size_t n, std::string& out)
{
    Encoding from = options.input == Encoding::guess ? guess_encoding(in, n) : options.input;
    std::string decoded;
    if (from != Encoding::utf8) {
        decode_to_utf8(from, in, n, decoded);
        in = decoded.data();
        n = decoded.size();
    }
    std::string text;
    rewrite_utf8(in, n, options, text);
    decoded = std::string();
    if (options.output != Encoding::utf8) {
        encode_from_utf8(options.output, text, out);
    } else if (options.byte_order_mark) {
        out.assign("\xef\xbb\xbf");
        out.append(text);
    } else {
        out.swap(text);
    }
}

}  // namespace nkf
