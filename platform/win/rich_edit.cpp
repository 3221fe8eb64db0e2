// The "RichEdit" text area on a QTextEdit: selection, replace, scroll to caret,
// per-range character formats (twips, colour, face, effects), line queries, find,
// undo, clipboard, read-only option and a character limit, through the EM_ and
// WM_ messages. Lines do not wrap (the console scrolls sideways), so a line is a
// paragraph. Positions count UTF-16 units; a line break is one character.
#include "platform/gdi/font_faces.h"
#include "platform/utf8_cut.h"
#include "platform/win/richedit.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/win_internal.h"
#include "platform/win/window_surface.h"

#include <QApplication>
#include <QBasicTimer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimerEvent>
#include <algorithm>
#include <cstring>

namespace {

enum : int { PROP_FACE = QTextFormat::UserProperty + 1, PROP_TWIPS = QTextFormat::UserProperty + 2,
             PROP_OFFSET = QTextFormat::UserProperty + 3 };
constexpr int DEFAULT_LIMIT = 32767;

class RichEditWidget : public QTextEdit {
public:
    explicit RichEditWidget(QWidget* parent) : QTextEdit(parent)
    {
        setAcceptDrops(false);
        setLineWrapMode(QTextEdit::NoWrap);
        setAcceptRichText(false);
        setTabChangesFocus(false);
        setUndoRedoEnabled(true);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    int limit = DEFAULT_LIMIT;

    int length() const { return document()->characterCount() - 1; }
    int room(int replacing) const { return std::max(0, limit - (length() - replacing)); }

    // A program printing in a loop changes the text thousands of times a second, and
    // each pump would repaint the area and its scroll bars, which costs far more than
    // the change. A change within one frame of the last repaint holds the area's
    // repaints until that frame ends: a stream is drawn once a frame, a lone change at
    // the next pump. Only when pixels reach the screen changes; the text, caret and
    // scroll position are updated at once.
    void pace_repaint()
    {
        if (pacing.isActive() || !isVisible() || !painted.isValid() || painted.elapsed() >= platform_frame_ms())
            return;
        setUpdatesEnabled(false);
        pacing.start(int(platform_frame_ms() - painted.elapsed()), this);
    }

protected:
    void paintEvent(QPaintEvent* e) override   // the text's (the viewport's) paints
    {
        painted.start();
        QTextEdit::paintEvent(e);
    }
    void timerEvent(QTimerEvent* e) override
    {
        if (e->timerId() != pacing.timerId()) {
            QTextEdit::timerEvent(e);
            return;
        }
        pacing.stop();
        setUpdatesEnabled(true);   // repaints the area, its scroll bars and frame in full
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (!isReadOnly() && !e->text().isEmpty() && e->text().at(0).isPrint()
            && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            QTextCursor c = textCursor();
            if (room(c.selectionEnd() - c.selectionStart()) <= 0) {
                QApplication::beep();
                return;
            }
        }
        if (!isReadOnly() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
            QTextCursor c = textCursor();
            if (room(c.selectionEnd() - c.selectionStart()) <= 0) {
                QApplication::beep();
                return;
            }
            // a plain line break, never a soft one (Shift+Enter)
            c.insertText(QStringLiteral("\n"), currentCharFormat());
            setTextCursor(c);
            ensureCursorVisible();
            return;
        }
        QTextEdit::keyPressEvent(e);
    }
    void insertFromMimeData(const QMimeData* src) override
    {
        if (!src || !src->hasText())
            return;
        QTextCursor c = textCursor();
        QString t = src->text();
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
        int r = room(c.selectionEnd() - c.selectionStart());
        if (t.size() > r) {
            if (r > 0 && t.at(r - 1).isHighSurrogate())
                --r;
            t.truncate(r);
            QApplication::beep();
        }
        c.insertText(t, currentCharFormat());
        setTextCursor(c);
        ensureCursorVisible();
    }

private:
    QBasicTimer pacing;
    QElapsedTimer painted;   // since the area was last drawn
};

RichEditWidget* edit_of(HWND w)
{
    if (!wnd_valid(w) || w->kind != WndKind::RichEdit)
        return nullptr;
    return static_cast<RichEditWidget*>(w->frame.data());
}

QString from_win_text(const char* s)
{
    QString t = QString::fromUtf8(s ? s : "");
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    return t;
}

// Copies UTF-8 `bytes` into buf (room for `max` bytes), never splitting a
// character; no terminator. Returns the bytes copied.
size_t copy_utf8(char* buf, size_t max, const QByteArray& bytes)
{
    size_t n = utf8_cut(bytes.constData(), size_t(bytes.size()), max);
    std::memcpy(buf, bytes.constData(), n);
    return n;
}

int clamp_pos(RichEditWidget* e, long p)
{
    int len = e->length();
    if (p < 0 || p > len)
        return len;
    return int(p);
}

void set_sel(RichEditWidget* e, long start, long end)
{
    int len = e->length();
    int s, t;
    if (start < 0) {
        s = t = len;   // (-1, x): no selection, caret at the end
    } else {
        s = clamp_pos(e, start);
        t = end < 0 ? len : clamp_pos(e, end);
    }
    QTextCursor c = e->textCursor();
    c.setPosition(s);
    c.setPosition(t, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
}

QTextCharFormat to_qt(const CHARFORMATA& cf)
{
    QTextCharFormat f;
    DWORD m = cf.dwMask;
    if (m & CFM_BOLD)
        f.setFontWeight((cf.dwEffects & CFE_BOLD) ? QFont::Bold : QFont::Normal);
    if (m & CFM_ITALIC)
        f.setFontItalic(cf.dwEffects & CFE_ITALIC);
    if (m & CFM_UNDERLINE)
        f.setFontUnderline(cf.dwEffects & CFE_UNDERLINE);
    if (m & CFM_STRIKEOUT)
        f.setFontStrikeOut(cf.dwEffects & CFE_STRIKEOUT);
    if ((m & CFM_SIZE) && cf.yHeight > 0) {
        f.setFontPointSize(cf.yHeight / 20.0);
        f.setProperty(PROP_TWIPS, int(cf.yHeight));
    }
    if (m & CFM_COLOR) {
        if (cf.dwEffects & CFE_AUTOCOLOR)
            f.setForeground(QApplication::palette().text());
        else
            f.setForeground(QColor(GetRValue(cf.crTextColor), GetGValue(cf.crTextColor), GetBValue(cf.crTextColor)));
    }
    if (m & CFM_FACE) {
        char face[33];
        std::memcpy(face, cf.szFaceName, 32);
        face[32] = 0;
        f.setFontFamilies(QStringList{platform_font_family(face)});
        f.setProperty(PROP_FACE, QString::fromUtf8(face));
    }
    if (m & CFM_OFFSET) {
        // Qt offers raised and lowered text, not a free baseline shift
        f.setVerticalAlignment(cf.yOffset > 0 ? QTextCharFormat::AlignSuperScript
                               : cf.yOffset < 0 ? QTextCharFormat::AlignSubScript
                                                : QTextCharFormat::AlignNormal);
        f.setProperty(PROP_OFFSET, int(cf.yOffset));
    }
    return f;
}

void from_qt(const QTextCharFormat& f, CHARFORMATA* cf)
{
    cf->dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET;
    cf->dwEffects = 0;
    if (f.fontWeight() >= QFont::Bold) cf->dwEffects |= CFE_BOLD;
    if (f.fontItalic()) cf->dwEffects |= CFE_ITALIC;
    if (f.fontUnderline()) cf->dwEffects |= CFE_UNDERLINE;
    if (f.fontStrikeOut()) cf->dwEffects |= CFE_STRIKEOUT;
    cf->yHeight = f.hasProperty(PROP_TWIPS) ? f.intProperty(PROP_TWIPS) : LONG(f.fontPointSize() * 20 + 0.5);
    cf->yOffset = f.hasProperty(PROP_OFFSET) ? f.intProperty(PROP_OFFSET) : 0;
    QColor c = f.foreground().color();
    cf->crTextColor = RGB(c.red(), c.green(), c.blue());
    if (!f.hasProperty(QTextFormat::ForegroundBrush))
        cf->dwEffects |= CFE_AUTOCOLOR;
    QByteArray face = f.hasProperty(PROP_FACE) ? f.stringProperty(PROP_FACE).toUtf8()
                                               : (f.fontFamilies().toStringList().value(0)).toUtf8();
    std::memset(cf->szFaceName, 0, sizeof cf->szFaceName);
    copy_utf8(cf->szFaceName, sizeof cf->szFaceName - 1, face);
    cf->bCharSet = 1;
    cf->bPitchAndFamily = 0;
}

// Inserts text in place of the selection with the insertion point's format.
void replace_sel(RichEditWidget* e, const QString& text, bool undoable)
{
    QTextCursor c = e->textCursor();
    QString t = text;
    int r = e->room(c.selectionEnd() - c.selectionStart());
    if (t.size() > r) {
        if (r > 0 && t.at(r - 1).isHighSurrogate())
            --r;
        t.truncate(r);
    }
    QTextCharFormat f = e->currentCharFormat();
    QTextDocument* d = e->document();
    if (!undoable)
        d->setUndoRedoEnabled(false);   // as Windows does: the undo history goes too
    c.insertText(t, f);
    if (!undoable)
        d->setUndoRedoEnabled(true);
    e->setTextCursor(c);
}

int line_of(RichEditWidget* e, long pos)
{
    QTextDocument* d = e->document();
    int p = pos < 0 ? e->textCursor().selectionStart() : clamp_pos(e, pos);
    return d->findBlock(p).blockNumber();
}

// ---- one handler per message ----
// Each takes the window, its widget and the two parameters, and returns what the
// message returns.
using Handler = LRESULT (*)(HWND w, RichEditWidget* e, WPARAM wp, LPARAM lp);

LRESULT on_create(HWND w, RichEditWidget*, WPARAM, LPARAM)
{
    if (w->style & ES_READONLY)
        SendMessageA(w, EM_SETREADONLY, 1, 0);
    return 0;
}

LRESULT on_getsel(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    QTextCursor c = e->textCursor();
    DWORD s = DWORD(c.selectionStart()), t = DWORD(c.selectionEnd());
    if (wp) *reinterpret_cast<DWORD*>(wp) = s;
    if (lp) *reinterpret_cast<DWORD*>(lp) = t;
    return LRESULT(MAKELPARAM(int(std::min<DWORD>(s, 0xFFFF)), int(std::min<DWORD>(t, 0xFFFF))));
}

LRESULT on_setsel(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    set_sel(e, long(std::intptr_t(wp)), long(lp));
    return 0;
}

LRESULT on_exgetsel(HWND, RichEditWidget* e, WPARAM, LPARAM lp)
{
    auto* r = reinterpret_cast<CHARRANGE*>(lp);
    if (r) {
        QTextCursor c = e->textCursor();
        r->cpMin = c.selectionStart();
        r->cpMax = c.selectionEnd();
    }
    return 0;
}

LRESULT on_exsetsel(HWND, RichEditWidget* e, WPARAM, LPARAM lp)
{
    auto* r = reinterpret_cast<const CHARRANGE*>(lp);
    if (!r)
        return 0;
    set_sel(e, r->cpMin, r->cpMax);
    return e->textCursor().selectionEnd();
}

LRESULT on_replacesel(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    replace_sel(e, from_win_text(reinterpret_cast<const char*>(lp)), wp != 0);
    return 0;
}

LRESULT on_scrollcaret(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    e->ensureCursorVisible();
    return 0;
}

LRESULT on_setcharformat(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    auto* cf = reinterpret_cast<const CHARFORMATA*>(lp);
    if (!cf || cf->cbSize < sizeof(CHARFORMATA))
        return 0;
    QTextDocument* d = e->document();
    QTextCharFormat f = to_qt(*cf);
    if (wp & SCF_ALL) {
        QTextCursor all(d);
        all.select(QTextCursor::Document);
        all.mergeCharFormat(f);
        e->mergeCurrentCharFormat(f);
    } else if (wp & SCF_SELECTION) {
        e->mergeCurrentCharFormat(f);
    } else {
        QFont font = d->defaultFont();
        if (f.hasProperty(QTextFormat::FontPointSize))
            font.setPointSizeF(f.fontPointSize());
        if (f.hasProperty(QTextFormat::FontFamilies))
            font.setFamilies(f.fontFamilies().toStringList());
        d->setDefaultFont(font);
    }
    return 1;
}

LRESULT on_getcharformat(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    auto* cf = reinterpret_cast<CHARFORMATA*>(lp);
    if (!cf || cf->cbSize < sizeof(CHARFORMATA))
        return 0;
    QTextCharFormat f = (wp & SCF_SELECTION) ? e->currentCharFormat() : QTextCharFormat();
    if (!(wp & SCF_SELECTION))
        f.setFont(e->document()->defaultFont());
    from_qt(f, cf);
    return LRESULT(cf->dwMask);
}

LRESULT on_linefromchar(HWND, RichEditWidget* e, WPARAM wp, LPARAM)
{
    return line_of(e, long(std::intptr_t(wp)));
}

LRESULT on_exlinefromchar(HWND, RichEditWidget* e, WPARAM, LPARAM lp)
{
    return line_of(e, long(lp));
}

LRESULT on_lineindex(HWND, RichEditWidget* e, WPARAM wp, LPARAM)
{
    int line = int(std::intptr_t(wp));
    if (line < 0)
        line = line_of(e, -1);
    QTextBlock b = e->document()->findBlockByNumber(line);
    return b.isValid() ? b.position() : -1;
}

LRESULT on_linelength(HWND, RichEditWidget* e, WPARAM wp, LPARAM)
{
    QTextBlock b = e->document()->findBlock(clamp_pos(e, long(std::intptr_t(wp))));
    return b.isValid() ? b.length() - 1 : 0;
}

LRESULT on_getlinecount(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    return e->document()->blockCount();
}

LRESULT on_getline(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    char* buf = reinterpret_cast<char*>(lp);
    if (!buf)
        return 0;
    WORD max;
    std::memcpy(&max, buf, sizeof max);
    QTextBlock b = e->document()->findBlockByNumber(int(std::intptr_t(wp)));
    if (!b.isValid() || max == 0)
        return 0;
    return LRESULT(copy_utf8(buf, max, b.text().toUtf8()));
}

LRESULT on_setreadonly(HWND w, RichEditWidget* e, WPARAM wp, LPARAM)
{
    e->setReadOnly(wp != 0);
    // read-only still lets the caret move and the keyboard select, as Windows does
    e->setTextInteractionFlags(wp ? (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard)
                                  : Qt::TextEditorInteraction);
    if (wp) w->style |= ES_READONLY; else w->style &= ~ES_READONLY;
    return 1;
}

LRESULT on_limittext(HWND, RichEditWidget* e, WPARAM wp, LPARAM)
{
    e->limit = wp ? int(std::min<WPARAM>(wp, 0x7FFFFFFF)) : 65535;
    return 0;
}

LRESULT on_exlimittext(HWND, RichEditWidget* e, WPARAM, LPARAM lp)
{
    e->limit = lp > 0 ? int(std::min<LPARAM>(lp, 0x7FFFFFFF)) : 65536;
    return 0;
}

LRESULT on_getlimittext(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    return e->limit;
}

LRESULT on_canundo(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    return e->document()->isUndoAvailable() ? 1 : 0;
}

LRESULT on_undo(HWND, RichEditWidget* e, WPARAM, LPARAM)   // EM_UNDO and WM_UNDO
{
    if (!e->document()->isUndoAvailable())
        return 0;
    e->undo();
    return 1;
}

LRESULT on_emptyundobuffer(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    e->document()->clearUndoRedoStacks();
    return 0;
}

LRESULT on_canpaste(HWND, RichEditWidget*, WPARAM, LPARAM)
{
    const QMimeData* m = QApplication::clipboard()->mimeData();
    return (m && m->hasText()) ? 1 : 0;
}

LRESULT on_cut(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    e->cut();
    return 0;
}

LRESULT on_copy(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    e->copy();
    return 0;
}

LRESULT on_paste(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    e->paste();
    return 0;
}

LRESULT on_clear(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    if (!e->isReadOnly())
        e->textCursor().removeSelectedText();
    return 0;
}

LRESULT on_findtext(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    auto* ft = reinterpret_cast<const FINDTEXTA*>(lp);
    if (!ft || !ft->lpstrText || !*ft->lpstrText)
        return -1;
    QString what = from_win_text(ft->lpstrText);
    QTextDocument::FindFlags flags;
    if (wp & FR_MATCHCASE) flags |= QTextDocument::FindCaseSensitively;
    if (wp & FR_WHOLEWORD) flags |= QTextDocument::FindWholeWords;
    int from = clamp_pos(e, ft->chrg.cpMin);
    int to = ft->chrg.cpMax < 0 ? e->length() : clamp_pos(e, ft->chrg.cpMax);
    QTextCursor hit = e->document()->find(what, from, flags);
    if (hit.isNull() || hit.selectionEnd() > to)
        return -1;
    return hit.selectionStart();
}

LRESULT on_setbkgndcolor(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    QPalette p = e->palette();
    COLORREF c = COLORREF(lp);
    p.setColor(QPalette::Base, wp ? QApplication::palette().color(QPalette::Base)
                                  : QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    e->setPalette(p);
    return 0;
}

LRESULT on_setfont(HWND, RichEditWidget* e, WPARAM wp, LPARAM)
{
    LOGFONTA lf{};
    auto f = reinterpret_cast<HFONT>(wp);
    if (f && GetObjectA(f, int(sizeof lf), &lf) == int(sizeof lf)) {
        char face[33];
        std::memcpy(face, lf.lfFaceName, 32);
        face[32] = 0;
        QFont font(platform_font_family(face));
        font.setPixelSize(std::max(1, std::abs(int(lf.lfHeight))));
        e->document()->setDefaultFont(font);
    }
    return 0;
}

LRESULT on_settext(HWND, RichEditWidget* e, WPARAM, LPARAM lp)
{
    QTextDocument* d = e->document();
    QTextCursor c(d);
    c.select(QTextCursor::Document);
    d->setUndoRedoEnabled(false);
    c.insertText(from_win_text(reinterpret_cast<const char*>(lp)), e->currentCharFormat());
    d->setUndoRedoEnabled(true);
    return TRUE;
}

LRESULT on_gettext(HWND, RichEditWidget* e, WPARAM wp, LPARAM lp)
{
    char* buf = reinterpret_cast<char*>(lp);
    if (!buf || wp == 0)
        return 0;
    QByteArray t = e->toPlainText().replace(QChar('\n'), QStringLiteral("\r\n")).toUtf8();
    size_t n = copy_utf8(buf, size_t(wp) - 1, t);
    buf[n] = 0;
    return LRESULT(n);
}

LRESULT on_gettextlength(HWND, RichEditWidget* e, WPARAM, LPARAM)
{
    return LRESULT(e->toPlainText().replace(QChar('\n'), QStringLiteral("\r\n")).toUtf8().size());
}

// The handler of a message, or null for the default procedure's.
Handler handler_of(UINT msg)
{
    switch (msg) {
    case WM_CREATE: return on_create;
    case EM_GETSEL: return on_getsel;
    case EM_SETSEL: return on_setsel;
    case EM_EXGETSEL: return on_exgetsel;
    case EM_EXSETSEL: return on_exsetsel;
    case EM_REPLACESEL: return on_replacesel;
    case EM_SCROLLCARET: return on_scrollcaret;
    case EM_SETCHARFORMAT: return on_setcharformat;
    case EM_GETCHARFORMAT: return on_getcharformat;
    case EM_LINEFROMCHAR: return on_linefromchar;
    case EM_EXLINEFROMCHAR: return on_exlinefromchar;
    case EM_LINEINDEX: return on_lineindex;
    case EM_LINELENGTH: return on_linelength;
    case EM_GETLINECOUNT: return on_getlinecount;
    case EM_GETLINE: return on_getline;
    case EM_SETREADONLY: return on_setreadonly;
    case EM_LIMITTEXT: return on_limittext;
    case EM_EXLIMITTEXT: return on_exlimittext;
    case EM_GETLIMITTEXT: return on_getlimittext;
    case EM_CANUNDO: return on_canundo;
    case EM_UNDO: case WM_UNDO: return on_undo;
    case EM_EMPTYUNDOBUFFER: return on_emptyundobuffer;
    case EM_CANPASTE: return on_canpaste;
    case WM_CUT: return on_cut;
    case WM_COPY: return on_copy;
    case WM_PASTE: return on_paste;
    case WM_CLEAR: return on_clear;
    case EM_FINDTEXT: return on_findtext;
    case EM_SETBKGNDCOLOR: return on_setbkgndcolor;
    case WM_SETFONT: return on_setfont;
    case WM_SETTEXT: return on_settext;
    case WM_GETTEXT: return on_gettext;
    case WM_GETTEXTLENGTH: return on_gettextlength;
    default: return nullptr;
    }
}

// Messages that change what the area shows (text, selection, formats, scroll);
// their repaints are paced to the screen's frames.
bool changes_view(UINT msg)
{
    switch (msg) {
    case EM_SETSEL: case EM_EXSETSEL: case EM_REPLACESEL: case EM_SCROLLCARET: case EM_SETCHARFORMAT:
    case WM_SETTEXT:
        return true;
    default:
        return false;
    }
}

} // namespace

QWidget* richedit_create(QWidget* parent)
{
    return new RichEditWidget(parent);
}

LRESULT richedit_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    RichEditWidget* e = edit_of(w);
    Handler handle = e ? handler_of(msg) : nullptr;
    if (!handle)
        return DefWindowProcA(w, msg, wp, lp);
    if (changes_view(msg))
        e->pace_repaint();
    return handle(w, e, wp, lp);
}
