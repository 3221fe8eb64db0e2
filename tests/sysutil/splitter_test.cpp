// Splitter: parts, runs of delimiters, the limits of parts and delimiter.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Splitter, RunsOfDelimitersCountAsOne)
{
    Splitter sp;
    ASSERT_EQ(sp.split("a,,b", ","), 2);
    EXPECT_STREQ(sp.part(0), "a");
    EXPECT_STREQ(sp.part(1), "b");
    EXPECT_EQ(sp.count(), 2);
}

TEST(Splitter, MultiCharacterDelimiterAndTrimmedEnd)
{
    Splitter sp;
    ASSERT_EQ(sp.split("x::y::::z  \r\n", "::"), 3);
    EXPECT_STREQ(sp.part(0), "x");
    EXPECT_STREQ(sp.part(1), "y");
    EXPECT_STREQ(sp.part(2), "z");
}

TEST(Splitter, DelimitersAtTheEndsMakeNoEmptyParts)
{
    Splitter sp;
    ASSERT_EQ(sp.split(",a,b,", ","), 2);
    EXPECT_STREQ(sp.part(0), "a");
    EXPECT_STREQ(sp.part(1), "b");
    EXPECT_EQ(sp.split(",,,", ","), 0);
}

TEST(Splitter, EmptyTextGivesNoParts)
{
    Splitter sp;
    EXPECT_EQ(sp.split("", ","), 0);
    EXPECT_EQ(sp.part(0), nullptr);
}

TEST(Splitter, NoDelimiterInTheText)
{
    Splitter sp;
    ASSERT_EQ(sp.split("abc", ";"), 1);
    EXPECT_STREQ(sp.part(0), "abc");
}

TEST(Splitter, SplitAgainReplacesTheParts)
{
    Splitter sp;
    sp.split("a b c", " ");
    ASSERT_EQ(sp.split("d e", " "), 2);
    EXPECT_STREQ(sp.part(1), "e");
    EXPECT_EQ(sp.part(2), nullptr);
}

TEST(Splitter, OutOfRangePartIsNone)
{
    Splitter sp;
    sp.split("a b", " ");
    EXPECT_EQ(sp.part(-1), nullptr);
    EXPECT_EQ(sp.part(2), nullptr);
}

TEST(Splitter, AtMost100PartsTheLastKeepsTheRest)
{
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += std::to_string(i) + ",";
    Splitter sp;
    ASSERT_EQ(sp.split(text.c_str(), ","), SPLITTER_MAX_PARTS);
    EXPECT_STREQ(sp.part(98), "98");
    std::string rest = sp.part(99);
    EXPECT_EQ(rest.rfind("99,100,", 0), 0u);
    EXPECT_EQ(rest.substr(rest.size() - 4), "149,");
}

TEST(Splitter, RefusesADelimiterBeyond99Characters)
{
    Splitter sp;
    std::string d99(99, '-');
    std::string d100(100, '-');
    EXPECT_EQ(sp.split(("a" + d99 + "b").c_str(), d99.c_str()), 2);
    EXPECT_EQ(sp.split(("a" + d100 + "b").c_str(), d100.c_str()), 0);
    EXPECT_EQ(sp.part(0), nullptr);
}

TEST(Splitter, EmptyDelimiterKeepsTheTextWhole)
{
    Splitter sp;
    ASSERT_EQ(sp.split("a b", ""), 1);
    EXPECT_STREQ(sp.part(0), "a b");
}

} // namespace
