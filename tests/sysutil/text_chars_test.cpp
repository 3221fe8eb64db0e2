// Character stepping over UTF-8: char_bytes, skip_spaces, token_end,
// token_last_char, prev_char.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

namespace {

TEST(CharBytes, GivesTheUtf8SequenceLength)
{
    EXPECT_EQ(char_bytes("a"), 1);
    EXPECT_EQ(char_bytes("é"), 2);
    EXPECT_EQ(char_bytes("が"), 3);
    EXPECT_EQ(char_bytes("😀"), 4);
    EXPECT_EQ(char_bytes("\x80"), 1);   // a stray trail byte stands alone
    EXPECT_EQ(char_bytes(""), 1);
}

TEST(SkipSpaces, SkipsSpacesButNotTabs)
{
    const char* s = "   x";
    EXPECT_EQ(skip_spaces(s), s + 3);
    const char* t = " \tx";
    EXPECT_EQ(skip_spaces(t), t + 1);
    const char* e = "";
    EXPECT_EQ(skip_spaces(e), e);
}

TEST(TokenEnd, StopsAtTheFirstSpaceOutsideQuotes)
{
    const char* s = "  abc def";
    EXPECT_EQ(token_end(s), s + 5);
    const char* q = "\"a b\" c";
    EXPECT_EQ(token_end(q), q + 5);
    const char* open = "\"a b c";   // an unclosed quote runs to the end
    EXPECT_EQ(token_end(open), open + 6);
    const char* one = "abc";
    EXPECT_EQ(token_end(one), one + 3);
}

TEST(TokenEnd, StepsOverMultiByteCharacters)
{
    const char* s = "がが x";
    EXPECT_EQ(token_end(s), s + 6);
}

TEST(TokenEnd, BrokenSequenceDoesNotSwallowTheTerminator)
{
    const char s[] = {'a', '\xE3', '\0', 'z', '\0'};
    EXPECT_EQ(token_end(s), s + 2);
}

TEST(TokenLastChar, PointsAtTheLastCharacterOfTheFirstToken)
{
    const char* s = " abc def";
    EXPECT_EQ(token_last_char(s), s + 3);
    const char* m = "xが yy";
    EXPECT_EQ(token_last_char(m), m + 1);   // the whole 3-byte character
    const char* blank = "   ";
    EXPECT_EQ(token_last_char(blank), blank + 3);
}

TEST(PrevChar, StepsBackOverWholeCharacters)
{
    const char* s = "aがb";
    EXPECT_EQ(prev_char(s, s + 4), s + 1);
    EXPECT_EQ(prev_char(s, s + 1), s);
    EXPECT_EQ(prev_char(s, s), s);   // at the start: p itself
    EXPECT_EQ(prev_char(s, s + 5), s + 4);
}

} // namespace
