// The progress bar ("msctls_progress32") on a QProgressBar: range, position, step.
#include "platform/win/commctrl.h"
#include "platform/win/win_internal.h"

#include <QProgressBar>

namespace {
struct ProgressWidget : QProgressBar {
    explicit ProgressWidget(QWidget* parent) : QProgressBar(parent)
    {
        setRange(0, 100);
        setValue(0);
        setTextVisible(false);
    }
    int step = 10;
};

ProgressWidget* bar_of(HWND w)
{
    if (!wnd_valid(w) || w->kind != WndKind::Progress)
        return nullptr;
    return static_cast<ProgressWidget*>(w->frame.data());
}
} // namespace

QWidget* progress_create(QWidget* parent)
{
    return new ProgressWidget(parent);
}

LRESULT progress_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    ProgressWidget* p = bar_of(w);
    if (!p)
        return DefWindowProcA(w, msg, wp, lp);
    switch (msg) {
    case PBM_SETRANGE: {
        LRESULT old = MAKELPARAM(p->minimum(), p->maximum());
        p->setRange(LOWORD(std::uintptr_t(lp)), HIWORD(std::uintptr_t(lp)));
        return old;
    }
    case PBM_SETRANGE32: {
        LRESULT old = MAKELPARAM(p->minimum(), p->maximum());
        p->setRange(int(wp), int(lp));
        return old;
    }
    case PBM_GETRANGE:
        return wp ? p->minimum() : p->maximum();
    case PBM_SETPOS: {
        int old = p->value();
        p->setValue(std::clamp(int(wp), p->minimum(), p->maximum()));
        return old;
    }
    case PBM_DELTAPOS: {
        int old = p->value();
        p->setValue(std::clamp(old + int(wp), p->minimum(), p->maximum()));
        return old;
    }
    case PBM_SETSTEP: {
        int old = p->step;
        p->step = int(wp);
        return old;
    }
    case PBM_STEPIT: {
        int old = p->value();
        int next = old + p->step;
        if (next > p->maximum())
            next = p->minimum() + (next - p->maximum());
        p->setValue(std::clamp(next, p->minimum(), p->maximum()));
        return old;
    }
    case PBM_GETPOS:
        return p->value();
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}
