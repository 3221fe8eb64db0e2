// One conversion: the input's encoding (named or guessed), decoding into UTF-8,
// the rewriting pass (skipped when it would change nothing, as it does for most
// text), and encoding into the output's encoding. Each step writes a new buffer
// only when it changes something.
#include "nkf_internal.h"

namespace nkf {

void convert(const Options& options, const char* in, std::size_t n, Result& out)
{
    Encoding from = options.input == Encoding::guess ? guess_encoding(in, n) : options.input;
    bool decoded = from != Encoding::utf8;
    if (decoded) {
        decode_to_utf8(from, in, n, out.first);
        in = out.first.data();
        n = out.first.size();
    }
    if (needs_rewrite(in, n, options, decoded || options.output != Encoding::utf8)) {
        Buffer& into = decoded ? out.second : out.first;
        rewrite_utf8(in, n, options, into);
        in = into.data();
        n = into.size();
    }
    if (options.output != Encoding::utf8) {
        Buffer& into = in == out.first.data() ? out.second : out.first;
        encode_from_utf8(options.output, in, n, into);
        in = into.data();
        n = into.size();
    } else if (options.byte_order_mark) {
        Buffer& into = in == out.first.data() ? out.second : out.first;
        into.set_size(0);
        into.append("\xef\xbb\xbf", 3);
        into.append(in, n);
        in = into.data();
        n = into.size();
    }
    out.data = in;
    out.size = n;
}

}  // namespace nkf
