// The status bar ("msctls_statusbar32"): parts with right edges (-1: to the end),
// a text per part (at most SB_MAXTEXT bytes), an optional size grip; it docks
// itself at the bottom of its parent on WM_SIZE.
#include "platform/win/commctrl.h"
#include "platform/utf8_cut.h"
#include "platform/win/win_internal.h"
#include "platform/win/window_surface.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPainter>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimerEvent>
#include <algorithm>
#include <cstring>

namespace {


class StatusBarWidget : public QWidget {
public:
    StatusBarWidget(QWidget* parent, bool grip) : QWidget(parent)
    {
        edges = {-1};
        texts.resize(1);
        if (grip) {
            this->grip = new QSizeGrip(this);
        }
        setFixedHeight(fontMetrics().height() + 8);
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }
    std::vector<int> edges;
    std::vector<QByteArray> texts;   // UTF-8 as set
    QSizeGrip* grip = nullptr;

    QRect part_rect(int i) const
    {
        int left = i == 0 ? 0 : edges[size_t(i - 1)];
        int right = edges[size_t(i)] < 0 ? width() : edges[size_t(i)];
        return QRect(left, 0, std::max(0, right - left), height());
    }

    // The caret position changes with every line a program prints; a part's new
    // text is drawn at the next pump, or, within one frame of the last repaint, when
    // that frame ends, so a stream of changes is drawn once a frame. The text itself
    // (SB_GETTEXT) is new at once.
    void repaint_part(int i)
    {
        QRect r = part_rect(i);
        if (waiting.isActive()) {
            held |= r;
            return;
        }
        if (painted.isValid() && painted.elapsed() < platform_frame_ms() && isVisible()) {
            held = r;
            waiting.start(int(platform_frame_ms() - painted.elapsed()), this);
            return;
        }
        update(r);
    }

protected:
    void timerEvent(QTimerEvent* e) override
    {
        if (e->timerId() != waiting.timerId()) {
            QWidget::timerEvent(e);
            return;
        }
        waiting.stop();
        update(held);
        held = QRect();
    }
    void paintEvent(QPaintEvent*) override
    {
        painted.start();
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        for (size_t i = 0; i < edges.size(); ++i) {
            QRect r = part_rect(int(i)).adjusted(1, 2, -1, -2);
            if (r.width() <= 0)
                continue;
            QStyleOptionFrame o;
            o.initFrom(this);
            o.rect = r;
            o.lineWidth = 1;
            o.state |= QStyle::State_Sunken;
            style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &o, &p, this);
            QString t = QString::fromUtf8(texts[i]);
            QRect tr = r.adjusted(3, 0, -3, 0);
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(tr, Qt::AlignVCenter | Qt::AlignLeft, fontMetrics().elidedText(t, Qt::ElideRight, tr.width()));
        }
    }
    void resizeEvent(QResizeEvent*) override
    {
        if (grip) {
            QSize s = grip->sizeHint();
            grip->setGeometry(width() - s.width(), height() - s.height(), s.width(), s.height());
        }
    }

private:
    QBasicTimer waiting;
    QElapsedTimer painted;   // since the bar was last drawn
    QRect held;              // parts to draw when the frame ends
};

StatusBarWidget* bar_of(HWND w)
{
    if (!wnd_valid(w) || w->kind != WndKind::StatusBar)
        return nullptr;
    return static_cast<StatusBarWidget*>(w->frame.data());
}

QByteArray cut_text(const char* s)
{
    QByteArray t(s ? s : "");
    t.truncate(qsizetype(utf8_cut(t.constData(), size_t(t.size()), SB_MAXTEXT)));
    return t;
}

void dock(HWND w, StatusBarWidget* b)
{
    QWidget* p = b->parentWidget();
    if (!p)
        return;
    b->setGeometry(0, p->height() - b->height(), p->width(), b->height());
    (void)w;
}

} // namespace

QWidget* statusbar_create(QWidget* parent, DWORD style)
{
    auto* b = new StatusBarWidget(parent, style & SBARS_SIZEGRIP);
    if (parent)
        b->setGeometry(0, parent->height() - b->height(), parent->width(), b->height());
    return b;
}

LRESULT statusbar_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    StatusBarWidget* b = bar_of(w);
    if (!b)
        return DefWindowProcA(w, msg, wp, lp);
    switch (msg) {
    case WM_CREATE:
        dock(w, b);
        return 0;
    case WM_SIZE:
        dock(w, b);
        return 0;
    case SB_SETPARTS: {
        int n = int(wp);
        auto* edges = reinterpret_cast<const int*>(lp);
        if (n <= 0 || n > 256 || !edges)
            return FALSE;
        b->edges.assign(edges, edges + n);
        b->texts.resize(size_t(n));
        b->update();
        return TRUE;
    }
    case SB_GETPARTS: {
        int n = int(wp);
        auto* out = reinterpret_cast<int*>(lp);
        if (out)
            for (int i = 0; i < n && size_t(i) < b->edges.size(); ++i)
                out[i] = b->edges[size_t(i)];
        return LRESULT(b->edges.size());
    }
    case SB_SETTEXTA: {
        size_t part = size_t(wp & 0xFF);
        if (part >= b->texts.size())
            return FALSE;
        QByteArray t = cut_text(reinterpret_cast<const char*>(lp));
        if (b->texts[part] != t) {
            b->texts[part] = t;
            b->repaint_part(int(part));
        }
        return TRUE;
    }
    case SB_GETTEXTA: {
        size_t part = size_t(wp & 0xFF);
        if (part >= b->texts.size())
            return 0;
        const QByteArray& t = b->texts[part];
        if (auto* buf = reinterpret_cast<char*>(lp)) {
            std::memcpy(buf, t.constData(), size_t(t.size()));
            buf[t.size()] = 0;
        }
        return LRESULT(t.size());
    }
    case SB_GETTEXTLENGTHA: {
        size_t part = size_t(wp & 0xFF);
        return part < b->texts.size() ? LRESULT(b->texts[part].size()) : 0;
    }
    case SB_GETRECT: {
        auto* r = reinterpret_cast<RECT*>(lp);
        if (!r || wp >= b->edges.size())
            return FALSE;
        QRect q = b->part_rect(int(wp));
        *r = RECT{q.left(), q.top(), q.left() + q.width(), q.top() + q.height()};
        return TRUE;
    }
    case SB_GETBORDERS: {
        if (auto* a = reinterpret_cast<int*>(lp)) {
            a[0] = 0;
            a[1] = 2;
            a[2] = 2;
        }
        return TRUE;
    }
    case SB_SETMINHEIGHT:
        b->setFixedHeight(std::max(int(wp), b->fontMetrics().height() + 8));
        dock(w, b);
        return 0;
    case WM_SETTEXT:
        return statusbar_proc(w, SB_SETTEXTA, 0, lp);
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(lp);
        if (!buf || !wp)
            return 0;
        const QByteArray& t = b->texts[0];
        size_t n = std::min<size_t>(size_t(t.size()), wp - 1);
        std::memcpy(buf, t.constData(), n);
        buf[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(b->texts[0].size());
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}
