// Text: fonts made from LOGFONT records at the DC's scale, TextOutA and
// ExtTextOutA with alignment, escapement and the background mode, and text
// measurement in logical units. Text is UTF-8; bytes from other programs'
// metafiles that are not UTF-8 are read as Latin-1 (Shift-JIS for the Japanese
// character set).
#include "platform/gdi/font_faces.h"
#include "platform/gdi/gdi_pixels.h"

#include <QFontMetricsF>
#include <QStringDecoder>

#include <cmath>

namespace {
// Text in the Symbol font's own encoding (SYMBOL_CHARSET): Greek letters,
// operators and the bracket pieces formulas are built from, as Unicode.
QString decode_symbol(const char* text, int len)
{
    static const char16_t upper[26] = {u'Α', u'Β', u'Χ', u'Δ', u'Ε', u'Φ', u'Γ', u'Η', u'Ι', u'ϑ', u'Κ', u'Λ', u'Μ',
                                       u'Ν', u'Ο', u'Π', u'Θ', u'Ρ', u'Σ', u'Τ', u'Υ', u'ς', u'Ω', u'Ξ', u'Ψ', u'Ζ'};
    static const char16_t lower[26] = {u'α', u'β', u'χ', u'δ', u'ε', u'φ', u'γ', u'η', u'ι', u'ϕ', u'κ', u'λ', u'μ',
                                       u'ν', u'ο', u'π', u'θ', u'ρ', u'σ', u'τ', u'υ', u'ϖ', u'ω', u'ξ', u'ψ', u'ζ'};
    static const char16_t high[] = {
        // 0xE6..0xEF and 0xF6..0xFE: the pieces of large brackets
        u'⎛', u'⎜', u'⎝', u'⎡', u'⎢', u'⎣', u'⎧', u'⎨', u'⎩', u'⎪'};
    static const char16_t high2[] = {u'⎞', u'⎟', u'⎠', u'⎤', u'⎥', u'⎦', u'⎫', u'⎬', u'⎭'};
    QString out;
    for (int i = 0; i < len; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        char16_t u = c;
        if (c >= 'A' && c <= 'Z') u = upper[c - 'A'];
        else if (c >= 'a' && c <= 'z') u = lower[c - 'a'];
        else if (c >= 0xE6 && c <= 0xEF) u = high[c - 0xE6];
        else if (c >= 0xF6 && c <= 0xFE) u = high2[c - 0xF6];
        else switch (c) {
            case 0x2D: u = u'−'; break;
            case 0xA3: u = u'≤'; break;
            case 0xA5: u = u'∞'; break;
            case 0xB1: u = u'±'; break;
            case 0xB3: u = u'≥'; break;
            case 0xB4: u = u'×'; break;
            case 0xB8: u = u'÷'; break;
            case 0xB9: u = u'≠'; break;
            case 0xD6: u = u'√'; break;
            case 0xE5: u = u'∑'; break;
            case 0xF2: u = u'∫'; break;
            default: break;
            }
        out += QChar(u);
    }
    return out;
}

QString decode_text(const char* text, int len, BYTE charset)
{
    if (!text || len <= 0) return QString();
    if (charset == 2) return decode_symbol(text, len);
    QByteArray b(text, len);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8.decode(b);
    if (!utf8.hasError()) return s;
    if (charset == SHIFTJIS_CHARSET) {
        QStringDecoder sj("Shift_JIS");
        if (sj.isValid()) return sj.decode(b);
    }
    return QString::fromLatin1(b);
}

struct FontAt {
    QFont font;
    double angle = 0;   // degrees, counter-clockwise
};

// The font of the DC's state at the DC's vertical scale.
FontAt font_at(HDC dc, double scale)
{
    FontAt f;
    const LOGFONTA& lf = dc->st.font ? dc->st.font->lf : LOGFONTA{};
    f.font = QFont(platform_font_family(lf.lfFaceName));
    double h = std::abs(double(lf.lfHeight) * scale);
    if (lf.lfHeight == 0) h = 16 * std::max(scale, 1e-6);
    h = std::clamp(h, 1.0, 20000.0);
    if (lf.lfHeight > 0) {
        // positive heights are cell heights (ascent + descent)
        QFont probe = f.font;
        probe.setPixelSize(100);
        double cell = QFontMetricsF(probe).ascent() + QFontMetricsF(probe).descent();
        if (cell > 0) h = h * 100.0 / cell;
    }
    f.font.setPixelSize(std::max(1, int(std::lround(h))));
    int w = lf.lfWeight == 0 ? 400 : std::clamp(int(lf.lfWeight), 1, 1000);
    f.font.setWeight(QFont::Weight(w));
    f.font.setItalic(lf.lfItalic != 0);
    f.font.setUnderline(lf.lfUnderline != 0);
    f.font.setStrikeOut(lf.lfStrikeOut != 0);
    f.font.setStyleStrategy(QFont::NoAntialias);
    f.angle = lf.lfEscapement / 10.0;
    return f;
}

double y_scale(HDC dc)
{
    Mapping m = gdi_mapping(dc->st, dc->dpiX, dc->dpiY);
    return dc->kind == DeviceContext::Record ? 1.0 : std::abs(m.sy);
}

BOOL draw_text(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int len, const int* dx)
{
    bool updateCp = dc->st.align & TA_UPDATECP;
    if (updateCp) {
        x = dc->st.cur.x;
        y = dc->st.cur.y;
    }
    Mapping m = gdi_mapping(dc->st, dc->dpiX, dc->dpiY);
    FontAt f = font_at(dc, std::abs(m.sy));
    QString s = decode_text(text, len, dc->st.font ? dc->st.font->lf.lfCharSet : 0);
    QFontMetricsF fm(f.font);
    double w = fm.horizontalAdvance(s);
    std::vector<double> adv;
    if (dx) {
        // per-character advances (one per byte in the caller's text, logical units)
        w = 0;
        for (int i = 0; i < s.size() && i < len; ++i) {
            adv.push_back(dx[i] * std::abs(m.sx));
            w += adv.back();
        }
    }
    double a = fm.ascent(), d = fm.descent();
    UINT al = dc->st.align;
    double ox = 0, oy;
    if ((al & TA_CENTER) == TA_CENTER) ox = -w / 2;
    else if (al & TA_RIGHT) ox = -w;
    if ((al & TA_BASELINE) == TA_BASELINE) oy = 0;
    else if (al & TA_BOTTOM) oy = -d;
    else oy = a;

    PainterGuard g;
    if (!gdi_painter(dc, g)) return FALSE;
    g.p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
        QPoint p0(gdi_round(m.dx(rect->left)), gdi_round(m.dy(rect->top)));
        QPoint p1(gdi_round(m.dx(rect->right)), gdi_round(m.dy(rect->bottom)));
        QRect r = QRect(p0, p1 - QPoint(1, 1)).normalized();
        if (options & ETO_OPAQUE) g.p->fillRect(r, QColor::fromRgb(gdi_qrgb(dc->st.bk)));
        if (options & ETO_CLIPPED) g.p->setClipRect(r, Qt::IntersectClip);
    }
    QPointF ref(m.dx(x), m.dy(y));
    g.p->translate(ref);
    if (f.angle != 0) g.p->rotate(-f.angle);
    if (dc->st.bkMode == OPAQUE)
        g.p->fillRect(QRectF(ox, oy - a, w, a + d), QColor::fromRgb(gdi_qrgb(dc->st.bk)));
    g.p->setFont(f.font);
    g.p->setPen(QColor::fromRgb(gdi_qrgb(dc->st.text)));
    if (adv.empty()) {
        g.p->drawText(QPointF(ox, oy), s);
    } else {
        double cx = ox;
        for (int i = 0; i < s.size(); ++i) {
            g.p->drawText(QPointF(cx, oy), QString(s[i]));
            cx += i < int(adv.size()) ? adv[std::size_t(i)] : fm.horizontalAdvance(s[i]);
        }
    }
    if (updateCp && m.sx != 0) dc->st.cur.x = x + gdi_round(w / m.sx);
    return TRUE;
}
}  // namespace

BOOL TextOutA(HDC dc, int x, int y, const char* text, int len)
{
    if (!gdi_valid_dc(dc) || !text || len < 0) return FALSE;
    if (dc->kind == DeviceContext::Record) {
        auto b = std::make_shared<MetaBlob>();
        b->bytes.assign(text, text + len);
        rec_add(dc, META_TEXTOUT, {x, y}, b);
        if (dc->st.align & TA_UPDATECP) {
            SIZE s{};
            GetTextExtentPoint32A(dc, text, len, &s);
            dc->st.cur.x += s.cx;
        }
        return TRUE;
    }
    return draw_text(dc, x, y, 0, nullptr, text, len, nullptr);
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* r, const char* text, UINT len, const int* dx)
{
    if (!gdi_valid_dc(dc) || (!text && len)) return FALSE;
    if (len > (1u << 20)) return FALSE;
    if (dc->kind == DeviceContext::Record) {
        auto b = std::make_shared<MetaBlob>();
        if (text) b->bytes.assign(text, text + len);
        std::vector<std::int32_t> p{x, y, std::int32_t(options)};
        if (r) {
            p.insert(p.end(), {r->left, r->top, r->right, r->bottom});
        } else {
            p.insert(p.end(), {0, 0, 0, 0});
            p[2] &= ~std::int32_t(ETO_OPAQUE | ETO_CLIPPED);
        }
        p.push_back(dx ? std::int32_t(len) : 0);
        if (dx)
            for (UINT i = 0; i < len; ++i) p.push_back(dx[i]);
        rec_add_vec(dc, META_EXTTEXTOUT, std::move(p), b);
        return TRUE;
    }
    return draw_text(dc, x, y, options, r, text ? text : "", int(len), dx);
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int len, SIZE* size)
{
    if (!gdi_valid_dc(dc) || !size || len < 0 || (!text && len)) return FALSE;
    double sy = y_scale(dc);
    Mapping m = gdi_mapping(dc->st, dc->dpiX, dc->dpiY);
    double sx = dc->kind == DeviceContext::Record ? 1.0 : std::abs(m.sx);
    FontAt f = font_at(dc, sy);
    QFontMetricsF fm(f.font);
    QString s = decode_text(text, len, dc->st.font ? dc->st.font->lf.lfCharSet : 0);
    double w = fm.horizontalAdvance(s), h = fm.ascent() + fm.descent();
    size->cx = sx > 0 ? LONG(std::lround(w / sx)) : 0;
    size->cy = sy > 0 ? LONG(std::lround(h / sy)) : 0;
    return TRUE;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm)
{
    if (!gdi_valid_dc(dc) || !tm) return FALSE;
    double sy = y_scale(dc);
    FontAt f = font_at(dc, sy);
    QFontMetricsF fm(f.font);
    auto L = [&](double v) { return LONG(std::lround(v / (sy > 0 ? sy : 1))); };
    *tm = TEXTMETRICA{};
    tm->tmAscent = L(fm.ascent());
    tm->tmDescent = L(fm.descent());
    tm->tmHeight = tm->tmAscent + tm->tmDescent;
    tm->tmInternalLeading = std::max<LONG>(0, tm->tmHeight - L(f.font.pixelSize()));
    tm->tmExternalLeading = L(std::max(0.0, fm.leading()));
    tm->tmAveCharWidth = L(fm.averageCharWidth());
    tm->tmMaxCharWidth = L(fm.maxWidth());
    tm->tmWeight = f.font.weight();
    tm->tmItalic = f.font.italic();
    tm->tmUnderlined = f.font.underline();
    tm->tmStruckOut = f.font.strikeOut();
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = '?';
    tm->tmBreakChar = ' ';
    tm->tmCharSet = dc->st.font ? dc->st.font->lf.lfCharSet : 0;
    tm->tmDigitizedAspectX = dc->dpiX;
    tm->tmDigitizedAspectY = dc->dpiY;
    return TRUE;
}
