// replace_all (bounded) and percent_decode.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ReplaceAll, EveryOccurrenceWithinTheBuffer)
{
    struct Row { const char* text; std::size_t size; const char* from; const char* to; int ok; const char* out; };
    const Row rows[] = {
        {"a-b-c-d", 64, "-", "::", 1, "a::b::c::d"},
        {"x<br>y<br>z", 64, "<br>", "", 1, "xyz"},
        {"aabb", 16, "ab", "b", 1, "bb"},            // a fresh pass finds what the first replacement made
        {"abc", 16, "", "x", 1, "abc"},              // empty search: nothing to do
        {"", 16, "a", "x", 1, ""},
        {"a.b", 64, ".", "...", 0, "a.b"},           // the replacement holds the searched text
        {"a.b", 64, "b", "b", 0, "a.b"},
        {"a-b-c", 8, "-", "---x", 0, "a-b-c"},       // would not fit
        {"a-b", 8, "-", "12345", 1, "a12345b"},      // fills the buffer exactly
    };
    for (const Row& r : rows) {
        char buf[72];
        std::memset(buf, '#', sizeof buf);
        std::strcpy(buf, r.text);
        EXPECT_EQ(replace_all(buf, r.size, r.from, r.to), r.ok) << r.text << " " << r.from;
        EXPECT_STREQ(buf, r.out);
        EXPECT_EQ(buf[r.size], '#') << "written past the buffer";
    }
}

TEST(PercentDecode, EscapesOfBothCasesIncompleteOnesKept)
{
    struct Row { const char* in; const char* out; };
    for (const Row& r : {Row{"A%41", "AA"}, Row{"%E3%81%8C", "が"}, Row{"%2f%2F%e3%81%8c", "//が"},
                         Row{"100%", "100%"}, Row{"%4g%%41", "%4g%A"}, Row{"%4", "%4"}}) {
        char out[16];
        EXPECT_EQ(percent_decode(r.in, out), out);
        EXPECT_STREQ(out, r.out) << r.in;
    }
    char s[] = "a%20b";
    percent_decode(s, s);   // in place
    EXPECT_STREQ(s, "a b");
}

} // namespace
