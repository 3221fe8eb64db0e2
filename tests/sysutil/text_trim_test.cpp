// In-place trimming and token helpers: trim_left, trim_right, trim, unquote,
// expand_tabs, split_first, is_empty, append_format.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Trim, LeftMovesTheTextLeft)
{
    char s[] = "   ab c ";
    EXPECT_EQ(trim_left(s), s);
    EXPECT_STREQ(s, "ab c ");
}

TEST(Trim, RightRemovesSpacesCarriageReturnsAndLineFeeds)
{
    char s[] = "ab \r\n \n";
    trim_right(s);
    EXPECT_STREQ(s, "ab");
    char t[] = "ab\t";
    trim_right(t);
    EXPECT_STREQ(t, "ab\t");
}

TEST(Trim, BothEnds)
{
    char s[] = "  x y \r\n";
    trim(s);
    EXPECT_STREQ(s, "x y");
    char e[] = "";
    trim(e);
    EXPECT_STREQ(e, "");
    char blank[] = "    ";
    trim(blank);
    EXPECT_STREQ(blank, "");
}

TEST(Unquote, RemovesSurroundingQuotesAndTrims)
{
    char s[] = "  \" a b \"  ";
    unquote(s);
    EXPECT_STREQ(s, "a b");
}

TEST(Unquote, DoubledQuoteInsideKeepsOne)
{
    char s[] = "\"say \"\"hi\"\"\"";
    unquote(s);
    EXPECT_STREQ(s, "say \"hi\"");
}

TEST(Unquote, FourAdjacentQuotesBecomeOne)
{
    char s[] = "a\"\"\"\"b";
    unquote(s);
    EXPECT_STREQ(s, "a\"b");
}

TEST(Unquote, LoneQuoteIsKept)
{
    char s[] = "\"";
    unquote(s);
    EXPECT_STREQ(s, "\"");
}

TEST(ExpandTabs, ReplacesTabsUpToTheNextMultipleOfTheWidth)
{
    char s[64] = "a\tbc\td  \r\n";
    EXPECT_EQ(expand_tabs(s, 4), s);
    EXPECT_STREQ(s, "a   bc  d");
}

TEST(ExpandTabs, WithoutTabsReturnsNoneButTrims)
{
    char s[] = "abc  ";
    EXPECT_EQ(expand_tabs(s, 8), nullptr);
    EXPECT_STREQ(s, "abc");
}

TEST(ExpandTabs, ColumnsCountBytesOfTheOutput)
{
    char s[64] = "é\tx";   // 2 bytes, so the tab fills 2 columns to 4
    expand_tabs(s, 4);
    EXPECT_STREQ(s, "é  x");
}

TEST(ExpandTabs, LongestResultFits)
{
    std::string in(1019, 'x');
    in += '\t';
    char s[1100];
    std::strcpy(s, in.c_str());
    ASSERT_EQ(expand_tabs(s, 4), s);
    EXPECT_EQ(std::strlen(s), 1020u);
    std::strcpy(s, (std::string(1022, 'x') + "\t").c_str());
    ASSERT_EQ(expand_tabs(s, 3), s);   // 1023 characters exactly
    EXPECT_EQ(std::strlen(s), 1023u);
}

TEST(ExpandTabs, RefusesResultsBeyond1023Characters)
{
    std::string in = std::string(1020, 'x') + "\t";
    char s[2048];
    std::strcpy(s, in.c_str());
    EXPECT_EQ(expand_tabs(s, 8), nullptr);
    EXPECT_EQ(std::string(s), in);   // tabs kept, nothing written past 1024
}

TEST(ExpandTabs, RespectsASmallerBuffer)
{
    char s[8] = "a\tb";
    EXPECT_EQ(expand_tabs(s, 8, sizeof s), nullptr);
    EXPECT_STREQ(s, "a\tb");
    EXPECT_EQ(expand_tabs(s, 4, sizeof s), s);
    EXPECT_STREQ(s, "a   b");
}

TEST(ExpandTabs, RefusesAWidthBelowOne)
{
    char s[16] = "a\tb";
    EXPECT_EQ(expand_tabs(s, 0), nullptr);
    EXPECT_STREQ(s, "a\tb");
}

TEST(SplitFirst, SplitsOffTheFirstToken)
{
    char s[] = "cmd   arg1 arg2";
    char* rest = split_first(s);
    EXPECT_STREQ(s, "cmd");
    ASSERT_NE(rest, nullptr);
    EXPECT_STREQ(rest, "arg1 arg2");
}

TEST(SplitFirst, RespectsQuotes)
{
    char s[] = "\"a b\" c";
    char* rest = split_first(s);
    EXPECT_STREQ(s, "\"a b\"");
    EXPECT_STREQ(rest, "c");
}

TEST(SplitFirst, SingleTokenStaysUnchanged)
{
    char s[] = "  cmd";
    EXPECT_EQ(split_first(s), nullptr);
    EXPECT_STREQ(s, "  cmd");
}

TEST(SplitFirst, OnlySpacesAfterTheToken)
{
    char s[] = "cmd   ";
    EXPECT_EQ(split_first(s), nullptr);
    EXPECT_STREQ(s, "cmd");
}

TEST(SplitFirst, OnlySpacesBecomesEmpty)
{
    char s[] = "    ";
    EXPECT_EQ(split_first(s), nullptr);
    EXPECT_STREQ(s, "");
}

TEST(IsEmpty, NoneAndEmptyText)
{
    EXPECT_EQ(is_empty(nullptr), 1);
    EXPECT_EQ(is_empty(""), 1);
    EXPECT_EQ(is_empty(" "), 0);
}

TEST(AppendFormat, FormatsAtTheEnd)
{
    char s[32] = "n=";
    EXPECT_EQ(append_format(s, sizeof s, "%d, %s", 42, "x"), 1);
    EXPECT_STREQ(s, "n=42, x");
}

TEST(AppendFormat, CutsToTheBufferOnWholeCharacters)
{
    char s[9] = "ab";
    EXPECT_EQ(append_format(s, sizeof s, "%s", "cdがが"), 0);
    EXPECT_STREQ(s, "abcdが");   // the second "が" would not fit whole
    char full[4] = "abc";
    EXPECT_EQ(append_format(full, sizeof full, "x"), 0);
    EXPECT_STREQ(full, "abc");
}

} // namespace
