/* click_queue: clicks that arrive while the previous one is still at work.
 *
 * Console output and message boxes pump messages, so a click on a page can
 * arrive while the work of the one before it (printing, drawing, saving) is
 * still running. Such a click waits here and is handled after, in order, so
 * that the work of two clicks never interleaves. Both programs use it.
 */
#ifndef OSTREL_APPS_CLICK_QUEUE_H
#define OSTREL_APPS_CLICK_QUEUE_H

#include <cstddef>
#include <deque>

template <class Click>
class ClickQueue {
public:
    /* At most `limit` clicks wait; more are dropped (a stuck program must
     * not grow without end). */
    explicit ClickQueue(std::size_t limit) : limit_(limit) {}

    /* Marks the program busy for a scope: clicks arriving meanwhile wait. */
    class Hold {
    public:
        explicit Hold(ClickQueue& q) : q_(q), was_(q.busy_) { q_.busy_ = true; }
        ~Hold() { q_.busy_ = was_; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        ClickQueue& q_;
        bool was_;
    };

    /* A click: kept while busy; else handled now, then whatever waited. */
    template <class Handle>
    void offer(const Click& click, Handle handle)
    {
        if (busy_) {
            if (waiting_.size() < limit_)
                waiting_.push_back(click);
            return;
        }
        {
            Hold hold(*this);
            handle(click);
        }
        run_waiting(handle);
    }

    /* Handles the clicks that waited, in order, unless busy. */
    template <class Handle>
    void run_waiting(Handle handle)
    {
        while (!busy_ && !waiting_.empty()) {
            Click next = waiting_.front();
            waiting_.pop_front();
            Hold hold(*this);
            handle(next);
        }
    }

    /* Forgets the waiting clicks and the busy mark (a new session). */
    void reset()
    {
        busy_ = false;
        waiting_.clear();
    }

private:
    std::size_t limit_;
    bool busy_ = false;
    std::deque<Click> waiting_;
};

#endif
