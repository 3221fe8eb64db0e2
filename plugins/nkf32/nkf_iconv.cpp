// Decoding into UTF-8 and encoding from it over glibc's iconv. Descriptors are
// opened once and reset before each use (the component serves one thread).
// Shift_JIS is code page 932 so that Windows text round-trips; ISO-2022-JP is read
// as ISO-2022-JP-3, which also takes half-width katakana (ESC ( I), and written as
// plain ISO-2022-JP, with half-width katakana (kept by -x) designated by hand.
#include "nkf_iconv.h"

#include <iconv.h>
#include <cerrno>
#include <cstring>

namespace nkf {

namespace {

const iconv_t no_cd = reinterpret_cast<iconv_t>(-1);

// Descriptors by encoding, closed when the component is unloaded, so that a
// program that loads and frees it again and again does not pile them up.
struct Descriptors {
    iconv_t slots[5] = {no_cd, no_cd, no_cd, no_cd, no_cd};
    ~Descriptors()
    {
        for (iconv_t cd : slots)
            if (cd != no_cd)
                iconv_close(cd);
    }
    iconv_t get(Encoding e, const char* to, const char* from)
    {
        iconv_t& slot = slots[static_cast<int>(e)];
        if (slot == no_cd)
            slot = iconv_open(to, from);
        if (slot != no_cd)
            iconv(slot, nullptr, nullptr, nullptr, nullptr);
        return slot;
    }
};

Descriptors decoders, encoders;

iconv_t decoder(Encoding e)
{
    return decoders.get(e, "UTF-8", charset_name(e));
}

iconv_t encoder(Encoding e)
{
    return encoders.get(e, e == Encoding::iso2022_jp ? "ISO-2022-JP" : charset_name(e), "UTF-8");
}

// The output of iconv: written through a pointer, grown on demand.
struct Sink {
    Buffer& b;
    std::size_t used = 0;
    char* at() { return b.data() + used; }
    std::size_t left() const { return b.room() + b.size() - used; }
    void reserve(std::size_t k)
    {
        if (left() < k) {
            b.set_size(used);
            b.reserve(k);
        }
    }
    void put(const char* p, std::size_t k)
    {
        reserve(k);
        std::memcpy(at(), p, k);
        used += k;
    }
};

// Runs iconv over the whole input; `refused` handles a refused position and
// returns how many input bytes it consumed. Ends in the initial shift state.
template <class Refused>
void run(iconv_t cd, const char* in, std::size_t n, Sink& out, Refused refused)
{
    char* ip = const_cast<char*>(in);
    std::size_t ileft = n;
    while (true) {
        out.reserve(16);
        char* op = out.at();
        std::size_t oleft = out.left();
        std::size_t r = ileft ? iconv(cd, &ip, &ileft, &op, &oleft) : 0;
        int err = errno;
        out.used = static_cast<std::size_t>(op - out.b.data());
        if (r != static_cast<std::size_t>(-1))
            break;
        if (err == E2BIG) {
            out.reserve(out.left() + 64);
            continue;
        }
        std::size_t k = refused(ip, ileft, out);
        ip += k;
        ileft -= k;
    }
    while (true) {
        out.reserve(16);
        char* op = out.at();
        std::size_t oleft = out.left();
        std::size_t r = iconv(cd, nullptr, nullptr, &op, &oleft);
        out.used = static_cast<std::size_t>(op - out.b.data());
        if (r != static_cast<std::size_t>(-1) || errno != E2BIG)
            break;
    }
}

// Puts the encoder back into ASCII (ISO-2022-JP writes its ESC ( B).
void to_initial_state(iconv_t cd, Sink& out)
{
    out.reserve(16);
    char* op = out.at();
    std::size_t oleft = out.left();
    iconv(cd, nullptr, nullptr, &op, &oleft);
    out.used = static_cast<std::size_t>(op - out.b.data());
}

// The JIS X 0201 code of a half-width katakana in UTF-8 (EF BD A1 .. EF BE 9F), or 0.
unsigned char halfwidth_kana_code(const char* p, std::size_t left)
{
    if (static_cast<unsigned char>(p[0]) != 0xef || valid_utf8_length(p, left) != 3)
        return 0;
    unsigned cp = ((static_cast<unsigned char>(p[1]) & 0x3fu) << 6) | (static_cast<unsigned char>(p[2]) & 0x3fu);
    cp |= 0xf000;
    return cp >= 0xff61 && cp <= 0xff9f ? static_cast<unsigned char>(cp - 0xff61 + 0x21) : 0;
}

// The designations that ISO-2022-JP-3 knows.
bool known_escape(const char* p, std::size_t left)
{
    static const char* const known[] = {"\x1b(B", "\x1b(J", "\x1b(I", "\x1b$@", "\x1b$B",
                                        "\x1b$(O", "\x1b$(Q", "\x1b$(P"};
    for (const char* k : known) {
        std::size_t len = std::strlen(k);
        if (left >= len && std::memcmp(p, k, len) == 0)
            return true;
    }
    return false;
}

// The position of the next escape byte from `from` that starts no designation, or n.
std::size_t next_stray_escape(const char* in, std::size_t n, std::size_t from)
{
    for (std::size_t i = from; i < n; ++i) {
        const void* hit = std::memchr(in + i, 0x1b, n - i);
        if (!hit)
            return n;
        i = static_cast<std::size_t>(static_cast<const char*>(hit) - in);
        if (!known_escape(in + i, n - i))
            return i;
    }
    return n;
}

}  // namespace

const char* charset_name(Encoding e)
{
    switch (e) {
    case Encoding::shift_jis: return "CP932";
    case Encoding::euc_jp: return "EUC-JP";
    case Encoding::iso2022_jp: return "ISO-2022-JP-3";
    default: return "UTF-8";
    }
}

bool decodes_cleanly(const char* charset, const char* in, std::size_t n, bool cut)
{
    iconv_t cd = iconv_open("UTF-8", charset);
    if (cd == no_cd)
        return false;
    char* ip = const_cast<char*>(in);
    std::size_t ileft = n;
    char scratch[4096];
    bool clean = true;
    while (ileft) {
        char* op = scratch;
        std::size_t oleft = sizeof scratch;
        if (iconv(cd, &ip, &ileft, &op, &oleft) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        clean = errno == EINVAL && cut;
        break;
    }
    iconv_close(cd);
    return clean;
}

void decode_to_utf8(Encoding from, const char* in, std::size_t n, Buffer& out)
{
    out.set_size(0);
    out.reserve(n + n / 2 + 16);
    Sink sink{out};
    iconv_t cd = decoder(from);
    if (cd == no_cd)
        return;
    auto replace = [](const char*, std::size_t, Sink& s) {
        s.put("\xef\xbf\xbd", 3);
        return std::size_t{1};
    };
    // iconv passes an escape it does not know through as a control character;
    // the converter replaces it and goes on in ASCII.
    std::size_t done = 0;
    if (from == Encoding::iso2022_jp) {
        for (std::size_t stray; (stray = next_stray_escape(in, n, done)) < n; done = stray + 1) {
            run(cd, in + done, stray - done, sink, replace);
            sink.put("\xef\xbf\xbd", 3);
        }
    }
    run(cd, in + done, n - done, sink, replace);
    out.set_size(sink.used);
}

void encode_from_utf8(Encoding to, const char* in, std::size_t n, Buffer& out)
{
    out.set_size(0);
    out.reserve(n + 16);
    Sink sink{out};
    iconv_t cd = encoder(to);
    if (cd == no_cd)
        return;
    bool jis = to == Encoding::iso2022_jp;
    run(cd, in, n, sink, [cd, jis](const char* p, std::size_t left, Sink& s) {
        std::size_t before = s.used;
        if (jis)
            to_initial_state(cd, s);
        if (jis && halfwidth_kana_code(p, left)) {
            // The run's own designation replaces the ESC ( B that ended a kanji run.
            if (s.used == before + 3)
                s.used = before;
            std::size_t used = 0;
            s.put("\x1b(I", 3);
            while (unsigned char code = halfwidth_kana_code(p + used, left - used)) {
                s.put(reinterpret_cast<const char*>(&code), 1);
                used += 3;
            }
            s.put("\x1b(B", 3);
            return used;
        }
        // An unmappable character goes whole, a broken byte alone (as the rewriting
        // pass would have replaced it).
        s.put("?", 1);
        std::size_t k = valid_utf8_length(p, left);
        return k ? k : std::size_t{1};
    });
    out.set_size(sink.used);
}

}  // namespace nkf
