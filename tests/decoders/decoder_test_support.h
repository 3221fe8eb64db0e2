// Helpers of the decoder tests: a watcher that answers the image library's
// message boxes (recording caption and text), pixel access and a scoped bitmap.
#pragma once
#include "ostrel/bmap.h"
#include "ostrel/decoders.h"
#include "fixtures.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct shown_box {
    std::string caption;
    std::string text;
};

// While alive, every modal message box is recorded and answered at once, so a
// box never blocks a test; boxes are switched on for its lifetime. With
// `inside_first`, that runs inside the first box before it is answered (a hook
// called while the box pumps), and the boxes it shows are answered too.
class box_watcher {
public:
    explicit box_watcher(std::function<void()> inside_first = {}) : inside_first_(std::move(inside_first))
    {
        old_ = _imgerr_showboxes(1);
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
        // a timer is not called again while its own call runs
        inner_timer_.setInterval(5);
        QObject::connect(&inner_timer_, &QTimer::timeout, [this] { answer(); });
    }
    ~box_watcher() { _imgerr_showboxes(old_); }
    const std::vector<shown_box>& boxes() const { return boxes_; }

private:
    void answer()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* mb = qobject_cast<QMessageBox*>(w);
            if (!mb || !mb->isVisible() || mb->property("answered").toBool())
                continue;
            mb->setProperty("answered", true);
            boxes_.push_back({mb->windowTitle().toStdString(), mb->text().toStdString()});
            if (inside_first_) {
                auto inside = std::move(inside_first_);
                inside_first_ = nullptr;
                inner_timer_.start();
                inside();   // this box stays open meanwhile
                inner_timer_.stop();
                mb->done(QMessageBox::Ok);
                return;   // the widgets listed before may be gone by now
            }
            mb->done(QMessageBox::Ok);
        }
    }
    std::function<void()> inside_first_;
    int old_;
    QTimer timer_;
    QTimer inner_timer_;
    std::vector<shown_box> boxes_;
};

using bitmap_ptr = std::unique_ptr<_bmap>;

// Red, green, blue of a bitmap pixel.
inline std::array<int, 3> rgb_at(const _bmap* bm, int x, int y)
{
    const unsigned char* p = bm->bits + static_cast<std::size_t>(y) * bm->stride + static_cast<std::size_t>(x) * 3;
    return {p[2], p[1], p[0]};
}

// Largest difference of any sample between a bitmap and the RGB bytes (rows top
// first) of a w x h picture; -1 when the sizes differ.
inline int max_difference(const _bmap* bm, int w, int h, const void* rgb, std::size_t bytes)
{
    if (!bm || bm->width != w || bm->height != h || bytes != static_cast<std::size_t>(w) * h * 3)
        return -1;
    const auto* want = static_cast<const unsigned char*>(rgb);
    int worst = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto got = rgb_at(bm, x, y);
            for (std::size_t k = 0; k < 3; ++k)
                worst = std::max(worst, std::abs(got[k] - want[(static_cast<std::size_t>(y) * w + x) * 3 + k]));
        }
    return worst;
}

inline int max_difference(const _bmap* bm, const fixtures::picture& p)
{
    return max_difference(bm, p.width, p.height, p.rgb.data(), p.rgb.size());
}
