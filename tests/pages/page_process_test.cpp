// Whole-process behaviour of pages, seen from outside through a child program:
// the fatal report for page 0 and its exit status, and the end of the program
// when a page is closed or its Exit is chosen.
#include "tests/support/child_run.h"

#include <gtest/gtest.h>

TEST(PageProcess, PageZeroIsFatalClosingAPageOrItsExitEndsTheProgram)
{
    struct { const char* mode; std::string out; } rows[] = {
        {"fatal", "caption: OSTREL ERROR\ntext: in _newpage\n    page=0. 0 means console.\n"},
        {"close", "page open\nended\n"},   // closed while open, before main went on
        {"exitmenu", "ended\n"},
    };
    for (auto& r : rows) {
        ChildRun c = run_child("pages_child", {r.mode});
        ASSERT_TRUE(c.finished) << c.out;
        EXPECT_EQ(c.status, 0);
        EXPECT_EQ(c.out.substr(0, r.out.size()), r.out) << r.mode;
        EXPECT_EQ(c.out.find("after"), std::string::npos) << c.out;
        EXPECT_EQ(c.out.find("main returned"), std::string::npos) << c.out;
        EXPECT_EQ(c.out.substr(c.out.size() - 6), "ended\n") << c.out;
    }
}
