// take_text_line against read_text_line: the same pieces, bytes and counts for
// the texts where the two ways of reading could part.
#include "settings_text.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TextLines, MemoryPiecesMatchStreamPieces)
{
    using namespace std::string_literals;
    const std::string texts[] = {
        "0,0 1,1\n2,2\n",
        "a\r\nb\r\n\r\n",
        "abc\r\rx\r",
        std::string(6, 'x') + "\r\nrest",   // the pair split at the piece size 8
        std::string(6, 'x') + "\rrest",
        "ab\0cd\nef\n"s,                     // a zero byte ends the count, not the piece
        "\0\r\n\0"s,
        std::string(30, '1') + "\n\n",
    };
    for (const std::string& text : texts) {
        for (int size : {2, 3, 8, 255}) {
            std::FILE* f = std::tmpfile();
            ASSERT_NE(f, nullptr);
            std::fwrite(text.data(), 1, text.size(), f);
            std::rewind(f);
            TextSpan span = text_span(text.data(), text.size());
            for (;;) {
                char a[256] = {}, b[256] = {};
                int na = read_text_line(a, size, f);
                int nb = take_text_line(b, size, span);
                ASSERT_EQ(na, nb) << "size " << size << " text " << testing::PrintToString(text);
                ASSERT_EQ(std::string(a, sizeof a), std::string(b, sizeof b));
                if (na < 0)
                    break;
            }
            std::fclose(f);
        }
    }
}

TEST(TextLines, NullBufferCountsWithoutCopying)
{
    const std::string text = "12\r\n345\n";
    TextSpan span = text_span(text.data(), text.size());
    EXPECT_EQ(take_text_line(nullptr, 255, span), 3);
    EXPECT_EQ(take_text_line(nullptr, 255, span), 4);
    EXPECT_EQ(take_text_line(nullptr, 255, span), -1);
}

} // namespace
