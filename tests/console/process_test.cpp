// How a program ends: runs the test program as a child process per scenario and
// checks its exit status, its timing and what it reported.
#include "tests/support/child_run.h"

#include <gtest/gtest.h>

namespace {

bool has(const ChildRun& r, const std::string& s)
{
    return r.err.find(s) != std::string::npos;
}

} // namespace

TEST(ProcessEnd, EveryWayOfEndingExitsWithStatusZero)
{
    struct {
        const char* scenario;
        QStringList args;
        qint64 at_least_ms;   // how long it waits for the user (who closes it here)
        std::vector<std::string> has, lacks;
    } rows[] = {
        {"return1961", {"some", "args"}, 0, {"cmdline=[some args]", "teardown status1=[Done. ", "atexit ran"}, {}},
        {"return0_silent", {}, 0, {"teardown status1=[]"}, {}},
        {"return0_printed", {}, 550, {"teardown status1=[Done. ", "msec]"}, {}},
        {"exit0", {}, 250, {"teardown status1=[exit() ...Done]", "atexit ran"}, {}},
        {"exit1961", {}, 0, {"teardown status1=[]", "atexit ran"}, {}},
        {"close_in_getchar", {}, 0, {"teardown status1=[getchar]", "atexit ran"}, {"getchar returned"}},
        {"destroyed_then_printf", {}, 0, {"atexit ran"}, {"main went on"}},
        {"return1961", {QString(3000, 'a')}, 0, {"cmdline=[" + std::string(1023, 'a') + "]"}, {}},   // cut
    };
    for (auto& r : rows) {
        SCOPED_TRACE(r.scenario);
        ChildRun o = run_child("console_child", r.args, {{"OSTREL_SCENARIO", r.scenario}});
        ASSERT_TRUE(o.finished);
        EXPECT_EQ(o.status, 0);
        EXPECT_GE(o.ms, r.at_least_ms);
        for (const std::string& h : r.has)
            EXPECT_TRUE(has(o, h)) << h << " in " << o.err.substr(0, 300);
        for (const std::string& h : r.lacks)
            EXPECT_FALSE(has(o, h)) << h << " in " << o.err.substr(0, 300);
    }
}
