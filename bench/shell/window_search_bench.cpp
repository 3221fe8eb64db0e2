// WindowSearch over 200 top-level windows of another client (goal: under 20 ms a
// search), against the plain way of asking: the root's children, then the
// state and titles of each window, one round trip after the other.
// Run under an X server: xvfb-run -a build/bench/shell_bench
#include "ostrel/shell.h"
#include "tests/support/x11_windows.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kWindows = 200;

XWindows* windows()
{
    static XWindows* w = [] {
        auto* x = new XWindows;
        if (x->ok()) {
            for (int i = 0; i < kWindows; ++i)
                x->add((i % 2 ? "My Notes " : "Notepad ") + std::to_string(i), i % 3 == 0);
            x->sync();
        }
        return x;
    }();
    return w;
}

void BM_WindowSearch(benchmark::State& state)
{
    if (!windows()->ok())
        return state.SkipWithError("no X display (run under xvfb-run)");
    for (auto _ : state) {
        WindowSearch s("Note", 1, 1);
        if (s.count != kWindows / 2)
            return state.SkipWithError("wrong number of windows found");
        benchmark::DoNotOptimize(s.count);
    }
}

// The baseline: one request, one reply, for every window.
void BM_OneWindowAtATime(benchmark::State& state)
{
    if (!windows()->ok())
        return state.SkipWithError("no X display (run under xvfb-run)");
    for (auto _ : state) {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        auto* n = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 12, "_NET_WM_NAME"), nullptr);
        xcb_query_tree_reply_t* t = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
        int found = 0;
        for (int i = 0; t && i < xcb_query_tree_children_length(t); ++i) {
            const xcb_window_t w = xcb_query_tree_children(t)[i];
            auto* a = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
            auto* u = xcb_get_property_reply(
                c, xcb_get_property(c, 0, w, n ? n->atom : 0, XCB_GET_PROPERTY_TYPE_ANY, 0, 128), nullptr);
            auto* p = u && u->value_len ? u : xcb_get_property_reply(
                c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 128), nullptr);
            if (a && p && a->map_state == XCB_MAP_STATE_VIEWABLE && xcb_get_property_value_length(p) >= 4 &&
                std::string(static_cast<const char*>(xcb_get_property_value(p)), 4) == "Note")
                ++found;
            std::free(a);
            if (p != u)
                std::free(p);
            std::free(u);
        }
        std::free(t);
        std::free(n);
        xcb_disconnect(c);
        benchmark::DoNotOptimize(found);
    }
}

}  // namespace

BENCHMARK(BM_WindowSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneWindowAtATime)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
