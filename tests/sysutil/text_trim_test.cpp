// In-place trimming and token helpers: trim_left, trim_right, trim, unquote,
// expand_tabs, split_first, is_empty, append_format.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Edit { std::string in, out; };

// Runs `f` on a copy of each input in a buffer of `size` bytes and compares the text.
template <class F>
void expect_edits(std::initializer_list<Edit> rows, F f, std::size_t size = 2048)
{
    for (const Edit& r : rows) {
        std::string buf = r.in;
        buf.resize(std::max(size, r.in.size() + 1), '\0');
        f(buf.data());
        EXPECT_EQ(std::string(buf.c_str()), r.out) << testing::PrintToString(r.in);
    }
}

TEST(Trim, EndsAndQuotes)
{
    expect_edits({{"   ab c ", "ab c "}}, [](char* s) { EXPECT_EQ(trim_left(s), s); });
    expect_edits({{"ab \r\n \n", "ab"}, {"ab\t", "ab\t"}}, [](char* s) { trim_right(s); });
    expect_edits({{"  x y \r\n", "x y"}, {"", ""}, {"    ", ""}}, [](char* s) { trim(s); });
    expect_edits({{"  \" a b \"  ", "a b"},
                  {"\"say \"\"hi\"\"\"", "say \"hi\""},   // a doubled quote inside keeps one
                  {"a\"\"\"\"b", "a\"b"},                 // four adjacent quotes become one
                  {"\"", "\""}},                          // a lone quote is kept
                 [](char* s) { unquote(s); });
}

TEST(ExpandTabs, ToTheNextMultipleOfTheWidthWithinTheBuffer)
{
    struct Row { std::string in; int width; std::size_t size; bool expanded; std::string out; };
    const Row rows[] = {
        {"a\tbc\td  \r\n", 4, 1024, true, "a   bc  d"},
        {"abc  ", 8, 1024, false, "abc"},                                // no tabs: none, but trimmed
        {"é\tx", 4, 1024, true, "é  x"},                                 // columns count bytes
        {std::string(1019, 'x') + "\t", 4, 1024, true, std::string(1019, 'x') + " "},
        {std::string(1022, 'x') + "\t", 3, 1024, true, std::string(1022, 'x') + " "},   // 1023 exactly
        {std::string(1020, 'x') + "\t", 8, 1024, false, std::string(1020, 'x') + "\t"},   // beyond 1023
        {"a\tb", 8, 8, false, "a\tb"},                                   // a smaller buffer
        {"a\tb", 4, 8, true, "a   b"},
        {"a\tb", 0, 1024, false, "a\tb"},                                // width below one
    };
    for (const Row& r : rows) {
        std::string buf = r.in;
        buf.resize(2048, '\0');
        char* got = expand_tabs(buf.data(), r.width, r.size);
        EXPECT_EQ(got, r.expanded ? buf.data() : nullptr) << r.in.size() << " " << r.width;
        EXPECT_EQ(std::string(buf.c_str()), r.out) << r.in.size() << " " << r.width;
    }
}

TEST(SplitFirst, SplitsOffTheFirstToken)
{
    struct Row { std::string in, first; const char* rest; };
    const Row rows[] = {
        {"cmd   arg1 arg2", "cmd", "arg1 arg2"},
        {"\"a b\" c", "\"a b\"", "c"},    // quotes respected
        {"  cmd", "  cmd", nullptr},      // a single token stays unchanged
        {"cmd   ", "cmd", nullptr},
        {"    ", "", nullptr},
    };
    for (const Row& r : rows) {
        std::string buf = r.in;
        char* rest = split_first(buf.data());
        EXPECT_EQ(std::string(buf.c_str()), r.first);
        EXPECT_EQ(rest ? std::string(rest) : "<none>", r.rest ? r.rest : "<none>");
    }
}

TEST(IsEmptyAndAppendFormat, TextsAndBuffers)
{
    EXPECT_EQ(is_empty(nullptr), 1);
    EXPECT_EQ(is_empty(""), 1);
    EXPECT_EQ(is_empty(" "), 0);
    char s[32] = "n=";
    EXPECT_EQ(append_format(s, sizeof s, "%d, %s", 42, "x"), 1);
    EXPECT_STREQ(s, "n=42, x");
    char cut[9] = "ab";
    EXPECT_EQ(append_format(cut, sizeof cut, "%s", "cdがが"), 0);
    EXPECT_STREQ(cut, "abcdが");   // the second "が" would not fit whole
    char full[4] = "abc";
    EXPECT_EQ(append_format(full, sizeof full, "x"), 0);
    EXPECT_STREQ(full, "abc");
}

} // namespace
