// Character stepping over UTF-8: char_bytes, skip_spaces, token_end,
// token_last_char, prev_char.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

namespace {

TEST(CharBytes, GivesTheUtf8SequenceLength)
{
    struct Row { const char* s; int n; };
    for (const Row& r : {Row{"a", 1}, Row{"é", 2}, Row{"が", 3}, Row{"😀", 4}, Row{"\x80", 1}, Row{"", 1}})
        EXPECT_EQ(char_bytes(r.s), r.n) << r.s;   // a stray trail byte stands alone
}

// Each row: a function of a text and the offset of the character it must point at.
TEST(TokenSteps, OffsetsOfTheResult)
{
    static const char broken[] = {'a', '\xE3', '\0', 'z', '\0'};
    struct Row { char* (*f)(const char*); const char* s; long at; };
    const Row rows[] = {
        {skip_spaces, "   x", 3},     {skip_spaces, " \tx", 1},   {skip_spaces, "", 0},   // tabs are no spaces
        {token_end, "  abc def", 5},  {token_end, "\"a b\" c", 5},
        {token_end, "\"a b c", 6},    // an unclosed quote runs to the end
        {token_end, "abc", 3},        {token_end, "がが x", 6},
        {token_end, broken, 2},       // a broken sequence does not swallow the terminator
        {token_last_char, " abc def", 3},
        {token_last_char, "xが yy", 1},   // the whole 3-byte character
        {token_last_char, "   ", 3},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.f(r.s) - r.s, r.at) << r.s;
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
