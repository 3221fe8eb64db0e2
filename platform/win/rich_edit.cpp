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

} // namespace

QWidget* richedit_create(QWidget* parent)
{
    return new RichEditWidget(parent);
}

LRESULT richedit_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    RichEditWidget* e = edit_of(w);
    if (!e)
        return DefWindowProcA(w, msg, wp, lp);
    QTextDocument* d = e->document();
    switch (msg) {
    case EM_SETSEL: case EM_EXSETSEL: case EM_REPLACESEL: case EM_SCROLLCARET: case EM_SETCHARFORMAT:
    case WM_SETTEXT:
        e->pace_repaint();
        break;
    default:
        break;
    }
    switch (msg) {
    case WM_CREATE:
        if (w->style & ES_READONLY)
            SendMessageA(w, EM_SETREADONLY, 1, 0);
        return 0;
    case EM_GETSEL: {
        QTextCursor c = e->textCursor();
        DWORD s = DWORD(c.selectionStart()), t = DWORD(c.selectionEnd());
        if (wp) *reinterpret_cast<DWORD*>(wp) = s;
        if (lp) *reinterpret_cast<DWORD*>(lp) = t;
        return LRESULT(MAKELPARAM(int(std::min<DWORD>(s, 0xFFFF)), int(std::min<DWORD>(t, 0xFFFF))));
    }
    case EM_SETSEL:
        set_sel(e, long(std::intptr_t(wp)), long(lp));
        return 0;
    case EM_EXGETSEL: {
        auto* r = reinterpret_cast<CHARRANGE*>(lp);
        if (r) {
            QTextCursor c = e->textCursor();
            r->cpMin = c.selectionStart();
            r->cpMax = c.selectionEnd();
        }
        return 0;
    }
    case EM_EXSETSEL: {
        auto* r = reinterpret_cast<const CHARRANGE*>(lp);
        if (!r)
            return 0;
        set_sel(e, r->cpMin, r->cpMax);
        return e->textCursor().selectionEnd();
    }
    case EM_REPLACESEL:
        replace_sel(e, from_win_text(reinterpret_cast<const char*>(lp)), wp != 0);
        return 0;
    case EM_SCROLLCARET:
        e->ensureCursorVisible();
        return 0;
    case EM_SETCHARFORMAT: {
        auto* cf = reinterpret_cast<const CHARFORMATA*>(lp);
        if (!cf || cf->cbSize < sizeof(CHARFORMATA))
            return 0;
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
    case EM_GETCHARFORMAT: {
        auto* cf = reinterpret_cast<CHARFORMATA*>(lp);
        if (!cf || cf->cbSize < sizeof(CHARFORMATA))
            return 0;
        QTextCharFormat f = (wp & SCF_SELECTION) ? e->currentCharFormat() : QTextCharFormat();
        if (!(wp & SCF_SELECTION))
            f.setFont(d->defaultFont());
        from_qt(f, cf);
        return LRESULT(cf->dwMask);
    }
    case EM_LINEFROMCHAR:
        return line_of(e, long(std::intptr_t(wp)));
    case EM_EXLINEFROMCHAR:
        return line_of(e, long(lp));
    case EM_LINEINDEX: {
        int line = int(std::intptr_t(wp));
        if (line < 0)
            line = line_of(e, -1);
        QTextBlock b = d->findBlockByNumber(line);
        return b.isValid() ? b.position() : -1;
    }
    case EM_LINELENGTH: {
        QTextBlock b = d->findBlock(clamp_pos(e, long(std::intptr_t(wp))));
        return b.isValid() ? b.length() - 1 : 0;
    }
    case EM_GETLINECOUNT:
        return d->blockCount();
    case EM_GETLINE: {
        char* buf = reinterpret_cast<char*>(lp);
        if (!buf)
            return 0;
        WORD max;
        std::memcpy(&max, buf, sizeof max);
        QTextBlock b = d->findBlockByNumber(int(std::intptr_t(wp)));
        if (!b.isValid() || max == 0)
            return 0;
        return LRESULT(copy_utf8(buf, max, b.text().toUtf8()));
    }
    case EM_SETREADONLY:
        e->setReadOnly(wp != 0);
        // read-only still lets the caret move and the keyboard select, as Windows does
        e->setTextInteractionFlags(wp ? (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard)
                                      : Qt::TextEditorInteraction);
        if (wp) w->style |= ES_READONLY; else w->style &= ~ES_READONLY;
        return 1;
    case EM_LIMITTEXT:
        e->limit = wp ? int(std::min<WPARAM>(wp, 0x7FFFFFFF)) : 65535;
        return 0;
    case EM_EXLIMITTEXT:
        e->limit = lp > 0 ? int(std::min<LPARAM>(lp, 0x7FFFFFFF)) : 65536;
        return 0;
    case EM_GETLIMITTEXT:
        return e->limit;
    case EM_CANUNDO:
        return d->isUndoAvailable() ? 1 : 0;
    case EM_UNDO:
    case WM_UNDO:
        if (!d->isUndoAvailable())
            return 0;
        e->undo();
        return 1;
    case EM_EMPTYUNDOBUFFER:
        d->clearUndoRedoStacks();
        return 0;
    case EM_CANPASTE: {
        const QMimeData* m = QApplication::clipboard()->mimeData();
        return (m && m->hasText()) ? 1 : 0;
    }
    case WM_CUT:
        e->cut();
        return 0;
    case WM_COPY:
        e->copy();
        return 0;
    case WM_PASTE:
        e->paste();
        return 0;
    case WM_CLEAR:
        if (!e->isReadOnly())
            e->textCursor().removeSelectedText();
        return 0;
    case EM_FINDTEXT: {
        auto* ft = reinterpret_cast<const FINDTEXTA*>(lp);
        if (!ft || !ft->lpstrText || !*ft->lpstrText)
            return -1;
        QString what = from_win_text(ft->lpstrText);
        QTextDocument::FindFlags flags;
        if (wp & FR_MATCHCASE) flags |= QTextDocument::FindCaseSensitively;
        if (wp & FR_WHOLEWORD) flags |= QTextDocument::FindWholeWords;
        int from = clamp_pos(e, ft->chrg.cpMin);
        int to = ft->chrg.cpMax < 0 ? e->length() : clamp_pos(e, ft->chrg.cpMax);
        QTextCursor hit = d->find(what, from, flags);
        if (hit.isNull() || hit.selectionEnd() > to)
            return -1;
        return hit.selectionStart();
    }
    case EM_SETBKGNDCOLOR: {
        QPalette p = e->palette();
        COLORREF c = COLORREF(lp);
        p.setColor(QPalette::Base, wp ? QApplication::palette().color(QPalette::Base)
                                      : QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        e->setPalette(p);
        return 0;
    }
    case WM_SETFONT: {
        LOGFONTA lf{};
        auto f = reinterpret_cast<HFONT>(wp);
        if (f && GetObjectA(f, int(sizeof lf), &lf) == int(sizeof lf)) {
            char face[33];
            std::memcpy(face, lf.lfFaceName, 32);
            face[32] = 0;
            QFont font(platform_font_family(face));
            font.setPixelSize(std::max(1, std::abs(int(lf.lfHeight))));
            d->setDefaultFont(font);
        }
        return 0;
    }
    case WM_SETTEXT: {
        QTextCursor c(d);
        c.select(QTextCursor::Document);
        d->setUndoRedoEnabled(false);
        c.insertText(from_win_text(reinterpret_cast<const char*>(lp)), e->currentCharFormat());
        d->setUndoRedoEnabled(true);
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(lp);
        if (!buf || wp == 0)
            return 0;
        QByteArray t = e->toPlainText().replace(QChar('\n'), QStringLiteral("\r\n")).toUtf8();
        size_t n = copy_utf8(buf, size_t(wp) - 1, t);
        buf[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(e->toPlainText().replace(QChar('\n'), QStringLiteral("\r\n")).toUtf8().size());
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}
