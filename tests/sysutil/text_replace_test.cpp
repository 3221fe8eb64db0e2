// replace_all (bounded) and percent_decode.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ReplaceAll, ReplacesEveryOccurrence)
{
    char s[64] = "a-b-c-d";
    EXPECT_EQ(replace_all(s, sizeof s, "-", "::"), 1);
    EXPECT_STREQ(s, "a::b::c::d");
}

TEST(ReplaceAll, ShrinkingReplacement)
{
    char s[64] = "x<br>y<br>z";
    EXPECT_EQ(replace_all(s, sizeof s, "<br>", ""), 1);
    EXPECT_STREQ(s, "xyz");
}

TEST(ReplaceAll, StartsAgainFromTheBeginning)
{
    // "aabb" -> "abb" -> "bb": a fresh pass finds the occurrence that the
    // first replacement made
    char s[16] = "aabb";
    EXPECT_EQ(replace_all(s, sizeof s, "ab", "b"), 1);
    EXPECT_STREQ(s, "bb");
}

TEST(ReplaceAll, EmptyTextOrSearchDoesNothing)
{
    char s[16] = "abc";
    EXPECT_EQ(replace_all(s, sizeof s, "", "x"), 1);
    EXPECT_STREQ(s, "abc");
    char e[16] = "";
    EXPECT_EQ(replace_all(e, sizeof e, "a", "x"), 1);
    EXPECT_STREQ(e, "");
}

TEST(ReplaceAll, RefusesAReplacementThatContainsTheSearchedText)
{
    char s[64] = "a.b";
    EXPECT_EQ(replace_all(s, sizeof s, ".", "..."), 0);
    EXPECT_STREQ(s, "a.b");
    EXPECT_EQ(replace_all(s, sizeof s, "b", "b"), 0);
    EXPECT_STREQ(s, "a.b");
}

TEST(ReplaceAll, RefusesAResultThatWouldNotFit)
{
    char s[8] = "a-b-c";
    std::memset(s + 6, '#', 2);   // bytes after the terminator must stay untouched
    EXPECT_EQ(replace_all(s, 8, "-", "---x"), 0);
    EXPECT_STREQ(s, "a-b-c");
    EXPECT_EQ(s[6], '#');
    EXPECT_EQ(s[7], '#');
}

TEST(ReplaceAll, ResultFillingTheBufferExactly)
{
    char s[8] = "a-b";
    EXPECT_EQ(replace_all(s, sizeof s, "-", "12345"), 1);
    EXPECT_STREQ(s, "a12345b");
}

TEST(PercentDecode, DecodesEscapes)
{
    char out[16];
    EXPECT_EQ(percent_decode("A%41", out), out);
    EXPECT_STREQ(out, "AA");
    percent_decode("%E3%81%8C", out);
    EXPECT_STREQ(out, "が");
}

TEST(PercentDecode, LowerCaseHexDigitsToo)
{
    char out[16];
    percent_decode("%2f%2F%e3%81%8c", out);
    EXPECT_STREQ(out, "//が");
}

TEST(PercentDecode, KeepsIncompleteEscapes)
{
    char out[16];
    percent_decode("100%", out);
    EXPECT_STREQ(out, "100%");
    percent_decode("%4g%%41", out);
    EXPECT_STREQ(out, "%4g%A");
    percent_decode("%4", out);
    EXPECT_STREQ(out, "%4");
}

TEST(PercentDecode, InPlace)
{
    char s[] = "a%20b";
    percent_decode(s, s);
    EXPECT_STREQ(s, "a b");
}

} // namespace
