// The Windows metafile format (16-bit records) for our recordings, both ways.
// Writing refuses (empty result) when any value does not fit its 16-bit field:
// a file is never written with wrapped coordinates. Monochrome pattern brushes,
// which paint in the text and background colours of the moment, are written as
// two-colour DIB brushes with those colours (and written again when the colours
// change while the brush is selected), so other readers show the same picture.
// Reading checks every size against the bytes present; a malformed record ends
// the read with failure, a record we do not draw is skipped.
#include "platform/gdi/gdi_internal.h"

#include <cmath>
#include <cstring>

namespace {
// Field of a simple record in file order: index into the call-order parameters
// (-1: constant 0) and kind: 'S' signed 16 bits, 'P' a signed logical
// coordinate or size (scaled when a picture is written smaller), 'U' unsigned
// 16 bits, 'C' 32 bits as two words (low word first).
struct Field {
    int idx;
    char kind;
};
struct Layout {
    WORD fn;
    std::vector<Field> f;
};

const std::vector<Layout>& layouts()
{
    static const std::vector<Layout> L = {
        {META_SETBKCOLOR, {{0, 'C'}}},
        {META_SETTEXTCOLOR, {{0, 'C'}}},
        {META_SETBKMODE, {{0, 'U'}}},
        {META_SETMAPMODE, {{0, 'U'}}},
        {META_SETROP2, {{0, 'U'}}},
        {META_SETPOLYFILLMODE, {{0, 'U'}}},
        {META_SETSTRETCHBLTMODE, {{0, 'U'}}},
        {META_SETTEXTALIGN, {{0, 'U'}}},
        {META_RESTOREDC, {{0, 'S'}}},
        {META_SELECTOBJECT, {{0, 'U'}}},
        {META_DELETEOBJECT, {{0, 'U'}}},
        {META_SELECTCLIPREGION, {{0, 'U'}}},
        {META_SETWINDOWORG, {{1, 'P'}, {0, 'P'}}},
        {META_SETWINDOWEXT, {{1, 'P'}, {0, 'P'}}},
        {META_SETVIEWPORTORG, {{1, 'S'}, {0, 'S'}}},
        {META_SETVIEWPORTEXT, {{1, 'S'}, {0, 'S'}}},
        {META_OFFSETWINDOWORG, {{1, 'P'}, {0, 'P'}}},
        {META_OFFSETVIEWPORTORG, {{1, 'S'}, {0, 'S'}}},
        {META_LINETO, {{1, 'P'}, {0, 'P'}}},
        {META_MOVETO, {{1, 'P'}, {0, 'P'}}},
        {META_SCALEWINDOWEXT, {{3, 'S'}, {2, 'S'}, {1, 'S'}, {0, 'S'}}},
        {META_SCALEVIEWPORTEXT, {{3, 'S'}, {2, 'S'}, {1, 'S'}, {0, 'S'}}},
        {META_EXCLUDECLIPRECT, {{3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_INTERSECTCLIPRECT, {{3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_ELLIPSE, {{3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_RECTANGLE, {{3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_ARC, {{7, 'P'}, {6, 'P'}, {5, 'P'}, {4, 'P'}, {3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_PIE, {{7, 'P'}, {6, 'P'}, {5, 'P'}, {4, 'P'}, {3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_CHORD, {{7, 'P'}, {6, 'P'}, {5, 'P'}, {4, 'P'}, {3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_ROUNDRECT, {{5, 'P'}, {4, 'P'}, {3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_FLOODFILL, {{2, 'C'}, {1, 'P'}, {0, 'P'}}},
        {META_EXTFLOODFILL, {{3, 'U'}, {2, 'C'}, {1, 'P'}, {0, 'P'}}},
        {META_PATBLT, {{4, 'C'}, {3, 'P'}, {2, 'P'}, {1, 'P'}, {0, 'P'}}},
        {META_SAVEDC, {}},
        {META_SETPIXEL, {{2, 'C'}, {1, 'P'}, {0, 'P'}}},
        {META_CREATEPENINDIRECT, {{0, 'U'}, {1, 'P'}, {-1, 'S'}, {2, 'C'}}},
        {META_CREATEBRUSHINDIRECT, {{0, 'U'}, {1, 'C'}, {2, 'U'}}},
    };
    return L;
}

const Layout* layout_of(WORD fn)
{
    for (const Layout& l : layouts())
        if (l.fn == fn) return &l;
    return nullptr;
}

// ---------------- writing ----------------
struct Writer {
    std::vector<WORD> out;
    bool ok = true;
    int k = 1;   // logical units are divided by k (pictures only, see wmf_write)
    std::size_t maxRecord = 0;
    int maxObjects = 0;
    std::vector<bool> used;   // tab of the file's object table

    std::size_t begin(WORD fn)
    {
        std::size_t at = out.size();
        out.push_back(0);
        out.push_back(0);
        out.push_back(fn);
        return at;
    }
    void end(std::size_t at)
    {
        std::size_t words = out.size() - at;
        out[at] = WORD(words & 0xFFFF);
        out[at + 1] = WORD(words >> 16);
        maxRecord = std::max(maxRecord, words);
    }
    void s16(std::int64_t v)
    {
        if (v < -32768 || v > 32767) ok = false;
        out.push_back(WORD(std::uint16_t(std::int16_t(v))));
    }
    void p16(std::int64_t v)
    {
        if (k > 1) v = std::int64_t(std::floor(double(v) / k + 0.5));
        s16(v);
    }
    void u16(std::int64_t v)
    {
        if (v < 0 || v > 65535) ok = false;
        out.push_back(WORD(v));
    }
    void u32(std::uint32_t v)
    {
        out.push_back(WORD(v & 0xFFFF));
        out.push_back(WORD(v >> 16));
    }
    void bytes(const BYTE* b, std::size_t n)
    {
        for (std::size_t i = 0; i < n; i += 2) out.push_back(WORD(b[i] | (i + 1 < n ? b[i + 1] << 8 : 0)));
    }
    int alloc()
    {
        for (std::size_t i = 0; i < used.size(); ++i)
            if (!used[i]) {
                used[i] = true;
                return int(i);
            }
        used.push_back(true);
        maxObjects = std::max(maxObjects, int(used.size()));
        return int(used.size() - 1);
    }
};

std::vector<BYTE> mono_dib(const QImage& pattern, COLORREF zero, COLORREF one)
{
    int w = pattern.width(), h = pattern.height();
    std::size_t stride = std::size_t(((w + 31) / 32) * 4);
    std::vector<BYTE> d(40 + 8 + stride * std::size_t(h), 0);
    BITMAPINFOHEADER bh{};
    bh.biSize = 40;
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = 1;
    bh.biSizeImage = DWORD(stride * std::size_t(h));
    bh.biClrUsed = 2;
    std::memcpy(d.data(), &bh, 40);
    BYTE* pal = d.data() + 40;
    pal[0] = BYTE(GetBValue(zero)); pal[1] = BYTE(GetGValue(zero)); pal[2] = BYTE(GetRValue(zero));
    pal[4] = BYTE(GetBValue(one)); pal[5] = BYTE(GetGValue(one)); pal[6] = BYTE(GetRValue(one));
    for (int y = 0; y < h; ++y) {
        BYTE* row = d.data() + 48 + std::size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x)
            if (pattern.pixel(x, y) & 0xFFFFFF) row[x >> 3] |= BYTE(0x80 >> (x & 7));
    }
    return d;
}

// 0 or 1 when every pixel of a monochrome pattern has that bit, else -1.
int uniform_bit(const QImage& pattern)
{
    int bit = -1;
    for (int y = 0; y < pattern.height(); ++y)
        for (int x = 0; x < pattern.width(); ++x) {
            int b = (pattern.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
            if (bit >= 0 && b != bit) return -1;
            bit = b;
        }
    return bit;
}

void write_dib_pattern(Writer& w, const std::vector<BYTE>& dib);

// A monochrome pattern in given colours. A pattern of one colour (the common
// all-zero mask) is written as a solid brush, which every reader draws.
void write_mono_pattern(Writer& w, const QImage& pattern, COLORREF zero, COLORREF one)
{
    int bit = uniform_bit(pattern);
    if (bit >= 0) {
        std::size_t at = w.begin(META_CREATEBRUSHINDIRECT);
        w.u16(BS_SOLID);
        w.u32(bit ? one : zero);
        w.u16(0);
        w.end(at);
        return;
    }
    write_dib_pattern(w, mono_dib(pattern, zero, one));
}

void write_dib_pattern(Writer& w, const std::vector<BYTE>& dib)
{
    std::size_t at = w.begin(META_DIBCREATEPATTERNBRUSH);
    w.u16(5);   // BS_DIBPATTERN
    w.u16(DIB_RGB_COLORS);
    w.bytes(dib.data(), dib.size());
    w.end(at);
}

// One recording written out, record family by record family. Our object table's
// slots map to the file's; the selected monochrome brush follows the colours.
struct WmfWriter {
    struct Slot {
        int file = -1;
        bool mono = false;
        const MetaRecord* create = nullptr;
        COLORREF text = 0, bk = 0;
    };
    Writer w;
    std::vector<Slot> tab;   // our table's slot -> file slot
    COLORREF text = 0, bk = 0xFFFFFF;
    int selBrush = -1;

    static std::int64_t at_p(const MetaRecord& r, std::size_t i) { return i < r.p.size() ? r.p[i] : 0; }

    int first_free()
    {
        for (std::size_t i = 0; i < tab.size(); ++i)
            if (tab[i].file < 0) return int(i);
        tab.push_back(Slot{});
        return int(tab.size() - 1);
    }

    void refresh_mono()
    {
        // the selected monochrome brush must paint in the colours now in effect
        if (selBrush < 0 || std::size_t(selBrush) >= tab.size()) return;
        Slot& s = tab[std::size_t(selBrush)];
        if (!s.mono || s.file < 0 || (s.text == text && s.bk == bk)) return;
        int nf = w.alloc();
        write_mono_pattern(w, s.create->blob->image, text, bk);
        std::size_t at = w.begin(META_SELECTOBJECT);
        w.u16(nf);
        w.end(at);
        at = w.begin(META_DELETEOBJECT);
        w.u16(s.file);
        w.end(at);
        w.used[std::size_t(s.file)] = false;
        s.file = nf;
        s.text = text;
        s.bk = bk;
    }

    static bool creates_object(WORD fn)
    {
        return fn == META_CREATEPENINDIRECT || fn == META_CREATEBRUSHINDIRECT || fn == META_DIBCREATEPATTERNBRUSH ||
               fn == META_CREATEFONTINDIRECT || fn == META_CREATEPALETTE || fn == META_CREATEREGION ||
               fn == META_CREATEPATTERNBRUSH;
    }

    void fields(const MetaRecord& r, const Layout& l, bool maskUnsigned)
    {
        std::size_t at = w.begin(r.fn);
        for (const Field& f : l.f) {
            std::int64_t v = f.idx < 0 ? 0 : at_p(r, std::size_t(f.idx));
            if (f.kind == 'C') w.u32(std::uint32_t(v));
            else if (f.kind == 'U') w.u16(maskUnsigned ? v & 0xFFFF : v);
            else if (f.kind == 'P') w.p16(v);
            else w.s16(v);
        }
        w.end(at);
    }

    // Creation records take a slot in both tables. False: the file cannot be written.
    bool object(const MetaRecord& r)
    {
        int mine = first_free();
        Slot& s = tab[std::size_t(mine)];
        s = Slot{};
        s.file = w.alloc();
        s.create = &r;
        if (r.fn == META_DIBCREATEPATTERNBRUSH) {
            if (!r.blob) return false;
            s.mono = r.p.size() > 1 && r.p[1] == 1 && !r.blob->image.isNull();
            if (s.mono) {
                s.text = text;
                s.bk = bk;
                write_mono_pattern(w, r.blob->image, text, bk);
            } else {
                const std::vector<BYTE>& dib = r.blob->dib();
                if (dib.empty()) return false;
                write_dib_pattern(w, dib);
            }
            return true;
        }
        if (r.fn == META_CREATEFONTINDIRECT) {
            std::size_t at = w.begin(r.fn);
            w.p16(at_p(r, 0));
            w.p16(at_p(r, 1));
            for (int i = 2; i < 5; ++i) w.s16(at_p(r, std::size_t(i)));
            for (int i = 5; i < 13; i += 2)
                w.out.push_back(WORD((at_p(r, std::size_t(i)) & 0xFF) | ((at_p(r, std::size_t(i) + 1) & 0xFF) << 8)));
            BYTE face[32] = {};
            if (r.blob && !r.blob->bytes.empty())
                std::memcpy(face, r.blob->bytes.data(), std::min<std::size_t>(31, r.blob->bytes.size()));
            w.bytes(face, 32);
            w.end(at);
            return true;
        }
        if (r.fn == META_CREATEPENINDIRECT || r.fn == META_CREATEBRUSHINDIRECT) {
            fields(r, *layout_of(r.fn), true);
            return true;
        }
        // a slot holder: an empty palette
        std::size_t at = w.begin(META_CREATEPALETTE);
        w.u16(0x300);
        w.u16(1);
        w.u32(0);
        w.end(at);
        return true;
    }

    void select_or_delete(const MetaRecord& r)
    {
        int mine = int(at_p(r, 0));
        if (mine < 0 || std::size_t(mine) >= tab.size() || tab[std::size_t(mine)].file < 0) return;
        Slot& s = tab[std::size_t(mine)];
        std::size_t at = w.begin(r.fn);
        w.u16(s.file);
        w.end(at);
        if (r.fn == META_DELETEOBJECT) {
            w.used[std::size_t(s.file)] = false;
            s.file = -1;
            if (selBrush == mine) selBrush = -1;
        } else if (s.create && (s.create->fn == META_DIBCREATEPATTERNBRUSH || s.create->fn == META_CREATEBRUSHINDIRECT)) {
            selBrush = mine;
            refresh_mono();
        }
    }

    void colour(const MetaRecord& r)
    {
        std::size_t at = w.begin(r.fn);
        w.u32(std::uint32_t(at_p(r, 0)));
        w.end(at);
        refresh_mono();
    }

    bool text_out(const MetaRecord& r)
    {
        if (!r.blob) return false;
        const auto& t = r.blob->bytes;
        std::size_t at = w.begin(r.fn);
        w.u16(std::int64_t(t.size()));
        w.bytes(t.data(), t.size());
        w.p16(at_p(r, 1));
        w.p16(at_p(r, 0));
        w.end(at);
        return true;
    }

    bool ext_text_out(const MetaRecord& r)
    {
        if (!r.blob || r.p.size() < 8) return false;
        const auto& t = r.blob->bytes;
        std::size_t at = w.begin(r.fn);
        w.p16(at_p(r, 1));
        w.p16(at_p(r, 0));
        w.u16(std::int64_t(t.size()));
        UINT opt = UINT(at_p(r, 2));
        w.u16(opt & 0xFFFF);
        if (opt & (ETO_OPAQUE | ETO_CLIPPED))
            for (int i = 3; i < 7; ++i) w.p16(at_p(r, std::size_t(i)));
        w.bytes(t.data(), t.size());
        std::size_t ndx = std::size_t(std::max<std::int64_t>(0, at_p(r, 7)));
        for (std::size_t i = 0; i < ndx && 8 + i < r.p.size(); ++i) w.p16(r.p[8 + i]);
        w.end(at);
        return true;
    }

    void poly(const MetaRecord& r)
    {
        std::size_t at = w.begin(r.fn);
        w.u16(std::int64_t(r.p.size() / 2));
        for (std::size_t i = 0; i + 1 < r.p.size(); i += 2) {
            w.p16(r.p[i]);
            w.p16(r.p[i + 1]);
        }
        w.end(at);
    }

    void poly_polygon(const MetaRecord& r)
    {
        std::size_t at = w.begin(r.fn);
        std::size_t polys = r.p.empty() ? 0 : std::size_t(std::max(0, r.p[0]));
        for (std::size_t i = 0; i < r.p.size(); ++i) {
            if (i <= polys) w.s16(r.p[i]);   // the counts
            else w.p16(r.p[i]);
        }
        w.end(at);
    }

    bool dib_blit(const MetaRecord& r)
    {
        if (!r.blob) return false;
        const std::vector<BYTE>& dib = r.blob->dib();
        if (dib.empty()) return false;
        std::size_t at = w.begin(r.fn == META_DIBBITBLT ? WORD(META_DIBSTRETCHBLT) : r.fn);
        if (r.fn == META_STRETCHDIB) {
            w.u32(std::uint32_t(at_p(r, 9)));
            w.u16(at_p(r, 8));
            for (int i : {7, 6, 5, 4}) w.s16(at_p(r, std::size_t(i)));
            for (int i : {3, 2, 1, 0}) w.p16(at_p(r, std::size_t(i)));
        } else if (r.fn == META_SETDIBTODEV) {
            w.u16(at_p(r, 8));
            w.u16(at_p(r, 7));
            w.u16(at_p(r, 6));
            for (int i : {5, 4}) w.s16(at_p(r, std::size_t(i)));
            for (int i : {3, 2, 1, 0}) w.p16(at_p(r, std::size_t(i)));
        } else if (r.fn == META_DIBSTRETCHBLT) {
            w.u32(std::uint32_t(at_p(r, 8)));
            for (int i : {7, 6, 5, 4}) w.s16(at_p(r, std::size_t(i)));
            for (int i : {3, 2, 1, 0}) w.p16(at_p(r, std::size_t(i)));
        } else {   // a bit blit is written as a stretch of the same size
            w.u32(std::uint32_t(at_p(r, 6)));
            w.s16(at_p(r, 3));
            w.s16(at_p(r, 2));
            w.s16(at_p(r, 5));
            w.s16(at_p(r, 4));
            for (int i : {3, 2, 1, 0}) w.p16(at_p(r, std::size_t(i)));
        }
        w.bytes(dib.data(), dib.size());
        std::size_t apart = 0;
        if (const BYTE* rows = r.blob->apart ? r.blob->rows_after(dib.size(), apart) : nullptr) w.bytes(rows, apart);
        w.end(at);
        return true;
    }

    // One record. False: the file cannot be written.
    bool record(const MetaRecord& r)
    {
        switch (r.fn) {
        case META_SETBKCOLOR: bk = COLORREF(at_p(r, 0)) & 0xFFFFFF; break;
        case META_SETTEXTCOLOR: text = COLORREF(at_p(r, 0)) & 0xFFFFFF; break;
        default: break;
        }
        if (creates_object(r.fn)) return object(r);
        if (r.fn == META_SELECTOBJECT || r.fn == META_DELETEOBJECT) {
            select_or_delete(r);
            return true;
        }
        if (r.fn == META_SETBKCOLOR || r.fn == META_SETTEXTCOLOR) {
            colour(r);
            return true;
        }
        if (const Layout* l = layout_of(r.fn)) {
            fields(r, *l, false);
            return true;
        }
        switch (r.fn) {
        case META_TEXTOUT: return text_out(r);
        case META_EXTTEXTOUT: return ext_text_out(r);
        case META_POLYGON:
        case META_POLYLINE: poly(r); return true;
        case META_POLYPOLYGON: poly_polygon(r); return true;
        case META_DIBSTRETCHBLT:
        case META_DIBBITBLT:
        case META_STRETCHDIB:
        case META_SETDIBTODEV: return dib_blit(r);
        default: return true;   // calls the file format has no use for
        }
    }

    // The end record and the header; empty when a count does not fit.
    std::vector<BYTE> finish()
    {
        std::size_t at = w.begin(0);
        w.end(at);
        // header: type 1 (memory), 9 words, version 0x300, size in words, objects, largest record
        std::size_t total = w.out.size();
        if (total > 0xFFFFFFFFu) return {};
        WORD* h = w.out.data();
        h[0] = 1;
        h[1] = 9;
        h[2] = 0x300;
        h[3] = WORD(total & 0xFFFF);
        h[4] = WORD(total >> 16);
        if (w.maxObjects > 65535) return {};
        h[5] = WORD(w.maxObjects);
        h[6] = WORD(w.maxRecord & 0xFFFF);
        h[7] = WORD(w.maxRecord >> 16);
        h[8] = 0;
        std::vector<BYTE> bytes(total * 2);
        for (std::size_t i = 0; i < total; ++i) {
            bytes[2 * i] = BYTE(w.out[i] & 0xFF);
            bytes[2 * i + 1] = BYTE(w.out[i] >> 8);
        }
        return bytes;
    }
};

}  // namespace

std::vector<BYTE> wmf_write(const MetaFile& mf, int scale)
{
    WmfWriter ww;
    ww.w.k = std::max(1, scale);
    for (int i = 0; i < 9; ++i) ww.w.out.push_back(0);   // header, filled in by finish
    for (const MetaRecord& r : mf.recs) {
        if (!ww.w.ok) return {};
        if (!ww.record(r)) return {};
    }
    if (!ww.w.ok) return {};
    return ww.finish();
}

// ---------------- reading ----------------
namespace {
struct Reader {
    const BYTE* d;
    std::size_t words;   // parameter words of the record
    std::size_t pos = 0;
    bool ok = true;
    bool has(std::size_t n) const { return pos + n <= words; }
    std::int32_t s16()
    {
        if (!has(1)) {
            ok = false;
            return 0;
        }
        std::int16_t v = std::int16_t(d[2 * pos] | (d[2 * pos + 1] << 8));
        ++pos;
        return v;
    }
    std::int32_t u16()
    {
        if (!has(1)) {
            ok = false;
            return 0;
        }
        std::int32_t v = d[2 * pos] | (d[2 * pos + 1] << 8);
        ++pos;
        return v;
    }
    std::uint32_t u32()
    {
        std::uint32_t lo = std::uint32_t(u16()), hi = std::uint32_t(u16());
        return lo | (hi << 16);
    }
    const BYTE* here() const { return d + 2 * pos; }
    std::size_t bytes_left() const { return (words - pos) * 2; }
};

BlobPtr blob_bytes(const BYTE* b, std::size_t n)
{
    auto blob = std::make_shared<MetaBlob>();
    blob->bytes.assign(b, b + n);
    return blob;
}

// The DIB at the reader's position, checked: header, colours and rows present.
BlobPtr read_dib(Reader& rd)
{
    std::size_t n = rd.bytes_left();
    if (n < 12) return nullptr;
    auto blob = blob_bytes(rd.here(), n);
    if (blob->picture().isNull()) return nullptr;
    // a 24-bit picture is painted from its bytes: its decoded copy need not stay
    QImage rows;
    bool bottomUp;
    if (blob->rows24(rows, bottomUp)) {
        blob->image = QImage();
        blob->decoded = false;
    }
    return blob;
}

// META_CREATEPATTERNBRUSH: a device-dependent bitmap header, reserved bytes, rows.
BlobPtr read_old_pattern(Reader& rd, bool& mono)
{
    if (rd.bytes_left() < 32) return nullptr;
    const BYTE* b = rd.here();
    auto w16 = [&](int o) { return int(b[o] | (b[o + 1] << 8)); };
    int width = w16(2), height = w16(4), widthBytes = w16(6), bpp = b[9];
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || bpp != 1) return nullptr;
    if (widthBytes < (width + 7) / 8) return nullptr;
    std::size_t need = 32 + std::size_t(widthBytes) * std::size_t(height);
    if (rd.bytes_left() < need) return nullptr;
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, (b[32 + y * widthBytes + x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFFFF : 0xFF000000);
    auto blob = std::make_shared<MetaBlob>();
    blob->image = img;
    blob->decoded = true;
    blob->mono = true;
    mono = true;
    return blob;
}
// What becomes of one record read: kept, left out, or the end of the read.
enum class Outcome { Keep, Skip, Fail };

// A simple record by its layout. Short records of one-value calls are common
// and left out; others must be whole.
Outcome read_fields(Reader& rd, MetaRecord& r, const Layout& l)
{
    int maxIdx = -1;
    for (const Field& f : l.f) maxIdx = std::max(maxIdx, f.idx);
    r.p.assign(std::size_t(maxIdx + 1), 0);
    for (const Field& f : l.f) {
        std::int32_t v = f.kind == 'C' ? std::int32_t(rd.u32()) : (f.kind == 'U' ? rd.u16() : rd.s16());
        if (f.idx >= 0) r.p[std::size_t(f.idx)] = v;
    }
    if (!rd.ok) return l.f.size() == 1 ? Outcome::Skip : Outcome::Fail;
    return Outcome::Keep;
}

Outcome read_text_out(Reader& rd, MetaRecord& r)
{
    std::int32_t n = rd.u16();
    std::size_t padded = (std::size_t(n) + 1) / 2;
    if (!rd.ok || !rd.has(padded + 2)) return Outcome::Fail;
    r.blob = blob_bytes(rd.here(), std::size_t(n));
    rd.pos += padded;
    std::int32_t y = rd.s16(), x = rd.s16();
    r.p = {x, y};
    return Outcome::Keep;
}

Outcome read_ext_text_out(Reader& rd, MetaRecord& r)
{
    std::int32_t y = rd.s16(), x = rd.s16(), n = rd.u16(), opt = rd.u16();
    if (!rd.ok) return Outcome::Fail;
    std::int32_t rc[4] = {0, 0, 0, 0};
    if (opt & (ETO_OPAQUE | ETO_CLIPPED))
        for (auto& v : rc) v = rd.s16();
    std::size_t padded = (std::size_t(n) + 1) / 2;
    if (!rd.ok || !rd.has(padded)) return Outcome::Fail;
    r.blob = blob_bytes(rd.here(), std::size_t(n));
    rd.pos += padded;
    r.p = {x, y, opt, rc[0], rc[1], rc[2], rc[3], 0};
    if (rd.has(std::size_t(n))) {
        r.p[7] = n;
        for (std::int32_t i = 0; i < n; ++i) r.p.push_back(rd.s16());
    }
    return Outcome::Keep;
}

Outcome read_poly(Reader& rd, MetaRecord& r)
{
    std::int32_t n = rd.u16();
    if (!rd.ok || !rd.has(std::size_t(n) * 2)) return Outcome::Fail;
    for (std::int32_t i = 0; i < 2 * n; ++i) r.p.push_back(rd.s16());
    return Outcome::Keep;
}

Outcome read_poly_polygon(Reader& rd, MetaRecord& r)
{
    std::int32_t polys = rd.u16();
    if (!rd.ok || !rd.has(std::size_t(polys))) return Outcome::Fail;
    r.p.push_back(polys);
    std::size_t total = 0;
    for (std::int32_t i = 0; i < polys; ++i) {
        std::int32_t c = rd.u16();
        r.p.push_back(c);
        total += std::size_t(c);
    }
    if (!rd.has(total * 2)) return Outcome::Fail;
    for (std::size_t i = 0; i < total * 2; ++i) r.p.push_back(rd.s16());
    return Outcome::Keep;
}

// Blits with a device-independent bitmap; a picture we cannot read is left out.
Outcome read_dib_blit(Reader& rd, MetaRecord& r)
{
    switch (r.fn) {
    case META_DIBSTRETCHBLT:
    case META_DIBBITBLT: {
        bool stretch = r.fn == META_DIBSTRETCHBLT;
        // without a bitmap the record is a pattern blit
        std::size_t plain = stretch ? 10 : 8;
        bool noDib = rd.words == plain + 1 || rd.words == plain;
        std::int32_t rop = std::int32_t(rd.u32());
        std::int32_t sh = 0, sw = 0;
        if (stretch) {
            sh = rd.s16();
            sw = rd.s16();
        }
        std::int32_t sy = rd.s16(), sx = rd.s16();
        if (noDib) rd.s16();   // reserved word
        std::int32_t h2 = rd.s16(), w2 = rd.s16(), y = rd.s16(), x = rd.s16();
        if (!rd.ok) return Outcome::Fail;
        if (noDib) {
            r.fn = META_PATBLT;
            r.p = {x, y, w2, h2, rop};
            return Outcome::Keep;
        }
        r.blob = read_dib(rd);
        if (!r.blob) return Outcome::Skip;
        if (stretch) r.p = {x, y, w2, h2, sx, sy, sw, sh, rop};
        else r.p = {x, y, w2, h2, sx, sy, rop};
        return Outcome::Keep;
    }
    case META_STRETCHDIB: {
        std::int32_t rop = std::int32_t(rd.u32()), usage = rd.u16();
        std::int32_t sh = rd.s16(), sw = rd.s16(), sy = rd.s16(), sx = rd.s16();
        std::int32_t h2 = rd.s16(), w2 = rd.s16(), y = rd.s16(), x = rd.s16();
        if (!rd.ok) return Outcome::Fail;
        r.blob = read_dib(rd);
        if (!r.blob) return Outcome::Skip;
        r.p = {x, y, w2, h2, sx, sy, sw, sh, usage, rop};
        return Outcome::Keep;
    }
    default: {   // META_SETDIBTODEV
        std::int32_t usage = rd.u16(), lines = rd.u16(), start = rd.u16();
        std::int32_t sy = rd.s16(), sx = rd.s16(), h2 = rd.s16(), w2 = rd.s16(), y = rd.s16(), x = rd.s16();
        if (!rd.ok) return Outcome::Fail;
        r.blob = read_dib(rd);
        if (!r.blob) return Outcome::Skip;
        r.p = {x, y, w2, h2, sx, sy, start, lines, usage};
        return Outcome::Keep;
    }
    }
}

// Creation records other than pens and brushes: each takes a slot of the
// object table, also where it draws nothing.
Outcome read_object(Reader& rd, MetaRecord& r)
{
    switch (r.fn) {
    case META_DIBCREATEPATTERNBRUSH: {
        rd.u16();   // style
        std::int32_t usage = rd.u16();
        if (!rd.ok) return Outcome::Fail;
        r.blob = read_dib(rd);
        r.p = {usage, 0};
        if (!r.blob) r.p = {0, 0};   // keeps its slot; plays as no brush
        return Outcome::Keep;
    }
    case META_CREATEPATTERNBRUSH: {
        bool mono = false;
        r.blob = read_old_pattern(rd, mono);
        r.fn = META_DIBCREATEPATTERNBRUSH;
        r.p = {DIB_RGB_COLORS, mono ? 1 : 0};
        if (!r.blob) {
            r.fn = META_CREATEPALETTE;
            r.p.clear();
        }
        return Outcome::Keep;
    }
    case META_CREATEFONTINDIRECT: {
        for (int i = 0; i < 5; ++i) r.p.push_back(rd.s16());
        for (int i = 0; i < 4; ++i) {
            std::int32_t v = rd.u16();
            r.p.push_back(v & 0xFF);
            r.p.push_back((v >> 8) & 0xFF);
        }
        if (!rd.ok) return Outcome::Fail;
        std::size_t n = std::min<std::size_t>(rd.bytes_left(), 32);
        std::size_t len = strnlen(reinterpret_cast<const char*>(rd.here()), n);
        r.blob = blob_bytes(rd.here(), len);
        return Outcome::Keep;
    }
    default:   // META_CREATEPALETTE, META_CREATEREGION
        r.p.clear();   // palettes and regions keep their tab but draw nothing
        return Outcome::Keep;
    }
}

// One record of a family we draw; Skip for escapes, palettes' use and other
// calls without a picture of their own. `live` counts the objects made.
Outcome read_record(Reader& rd, MetaRecord& r, int& live)
{
    if (const Layout* l = layout_of(r.fn)) {
        Outcome o = read_fields(rd, r, *l);
        if (o == Outcome::Keep && (r.fn == META_CREATEPENINDIRECT || r.fn == META_CREATEBRUSHINDIRECT)) ++live;
        return o;
    }
    switch (r.fn) {
    case META_TEXTOUT: return read_text_out(rd, r);
    case META_EXTTEXTOUT: return read_ext_text_out(rd, r);
    case META_POLYGON:
    case META_POLYLINE: return read_poly(rd, r);
    case META_POLYPOLYGON: return read_poly_polygon(rd, r);
    case META_DIBSTRETCHBLT:
    case META_DIBBITBLT:
    case META_STRETCHDIB:
    case META_SETDIBTODEV: return read_dib_blit(rd, r);
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEPATTERNBRUSH:
    case META_CREATEFONTINDIRECT:
    case META_CREATEPALETTE:
    case META_CREATEREGION: {
        Outcome o = read_object(rd, r);
        if (o == Outcome::Keep) ++live;
        return o;
    }
    default: return Outcome::Skip;
    }
}

}  // namespace

std::shared_ptr<MetaFile> wmf_read(const BYTE* data, std::size_t size)
{
    if (!data || size < 18) return nullptr;
    auto mf = std::make_shared<MetaFile>();
    std::size_t off = 0;
    DWORD key;
    std::memcpy(&key, data, 4);
    if (key == 0x9AC6CDD7u) {
        if (size < 22 + 18) return nullptr;
        auto s16 = [&](std::size_t o) { return std::int32_t(std::int16_t(data[o] | (data[o + 1] << 8))); };
        mf->placeable = true;
        mf->bbox = RECT{s16(6), s16(8), s16(10), s16(12)};
        mf->inch = data[14] | (data[15] << 8);
        off = 22;
    }
    const BYTE* h = data + off;
    WORD type = WORD(h[0] | (h[1] << 8)), hsize = WORD(h[2] | (h[3] << 8));
    if ((type != 1 && type != 2) || hsize != 9) return nullptr;
    off += 18;
    int live = 0;
    while (off + 6 <= size) {
        DWORD words = DWORD(data[off] | (data[off + 1] << 8) | (data[off + 2] << 16) | (DWORD(data[off + 3]) << 24));
        WORD fn = WORD(data[off + 4] | (data[off + 5] << 8));
        if (words < 3 || words > (size - off) / 2) return nullptr;
        Reader rd{data + off + 6, std::size_t(words) - 3};
        off += std::size_t(words) * 2;
        if (fn == 0) break;
        MetaRecord r;
        r.fn = fn;
        switch (read_record(rd, r, live)) {
        case Outcome::Fail: return nullptr;
        case Outcome::Skip: continue;
        case Outcome::Keep: mf->recs.push_back(std::move(r)); break;
        }
    }
    mf->objects = live;
    return mf;
}
