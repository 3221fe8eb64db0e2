// Splitter: parts, runs of delimiters, the limits of parts and delimiter.
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> parts(Splitter& sp, int n)
{
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.push_back(sp.part(i) ? sp.part(i) : "<none>");
    EXPECT_EQ(sp.part(n), nullptr);
    EXPECT_EQ(sp.part(-1), nullptr);
    return out;
}

TEST(Splitter, PartsOfATable)
{
    const std::string d99(99, '-'), d100(100, '-');
    struct Row { std::string text, delimiter; std::vector<std::string> parts; };
    const Row rows[] = {
        {"a,,b", ",", {"a", "b"}},                      // a run of delimiters counts as one
        {"x::y::::z  \r\n", "::", {"x", "y", "z"}},     // the end is trimmed
        {",a,b,", ",", {"a", "b"}},                     // no empty parts at the ends
        {",,,", ",", {}},
        {"", ",", {}},
        {"abc", ";", {"abc"}},
        {"a b", "", {"a b"}},                           // an empty delimiter keeps the text whole
        {"a" + d99 + "b", d99, {"a", "b"}},
        {"a" + d100 + "b", d100, {}},                   // a delimiter beyond 99 characters is refused
    };
    Splitter sp;
    sp.split("a b c d e", " ");   // splitting again replaces the parts
    for (const Row& r : rows) {
        ASSERT_EQ(sp.split(r.text.c_str(), r.delimiter.c_str()), static_cast<int>(r.parts.size())) << r.text;
        EXPECT_EQ(sp.count(), static_cast<int>(r.parts.size()));
        EXPECT_EQ(parts(sp, sp.count()), r.parts) << r.text;
    }
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

} // namespace
