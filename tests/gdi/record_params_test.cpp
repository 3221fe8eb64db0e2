// Parameters of recorded calls: short lists inline, long ones on the heap; copies
// and moves keep every value, whichever storage they use.
#include "platform/gdi/record_params.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<std::int32_t> values(const RecordParams& p) { return std::vector<std::int32_t>(p.begin(), p.end()); }
}

TEST(RecordParams, CopiesAndMovesOfShortAndLongLists)
{
    for (std::size_t n : {0u, 3u, 10u, 11u, 40u}) {
        std::vector<std::int32_t> want;
        for (std::size_t i = 0; i < n; ++i) want.push_back(std::int32_t(i * 7 - 20));
        RecordParams a(want);
        RecordParams b(a);
        EXPECT_EQ(values(b), want) << n;
        b.push_back(99);   // the copy is its own
        EXPECT_EQ(values(a), want) << n;
        RecordParams c(std::move(b));
        want.push_back(99);   // one past the inline storage for 10
        EXPECT_EQ(values(c), want) << n;
        want.pop_back();
        EXPECT_TRUE(b.empty());
        RecordParams d{5, 6};
        d = a;
        EXPECT_EQ(values(d), want) << n;
        d = std::move(c);
        EXPECT_EQ(d.size(), n + 1) << n;
        d = {8, 9};
        EXPECT_EQ(values(d), (std::vector<std::int32_t>{8, 9}));
    }
}

TEST(RecordParams, AssignFillsAndClearEmpties)
{
    RecordParams p;
    p.assign(30, -1);
    EXPECT_EQ(p.size(), 30u);
    EXPECT_EQ(p[29], -1);
    p.clear();
    EXPECT_TRUE(p.empty());
    p.push_back(4);
    EXPECT_EQ(values(p), (std::vector<std::int32_t>{4}));
}
