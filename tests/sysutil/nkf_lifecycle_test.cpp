// The converter's lifecycle (loaded with options, freed without, loaded again), a
// missing component or entry point, and bad input: nothing written on failure,
// broken bytes replaced, the sized call never past its size.
#include "nkf_fixture.h"
#include "tests/support/scratch_dir.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A component directory for one test, in this process's own scratch directory: empty,
// or holding a file named nkf32.dll.
std::string component_dir(const char* name, const char* copy_of = nullptr)
{
    static const ScratchDir scratch("nkf-components");
    fs::path dir = fs::path(scratch.path) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (copy_of)
        fs::copy_file(fs::path(std::getenv("OSTREL_BINARY_DIR")) / "bin" / copy_of, dir / "nkf32.dll");
    return dir.string();
}

TEST_F(NkfTest, FreedByACallWithoutOptionsAndLoadedAgain)
{
    char out[64];
    EXPECT_EQ(nkf_convert("-s", "あ", out), 1);
    EXPECT_STREQ(out, "\x82\xa0");
    EXPECT_EQ(nkf_convert(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(nkf_convert("", nullptr, nullptr), 1);
    EXPECT_EQ(nkf_convert("-e", "あ", out), 1);
    EXPECT_STREQ(out, "\xa4\xa2");
}

TEST_F(NkfTest, MissingComponentOrEntryPointWritesNothing)
{
    struct Case { const char* dir; const char* copy_of; };
    for (const Case& c : {Case{"nkf_empty", nullptr}, Case{"nkf_wrong", "iftiff6.spi"}}) {
        nkf_convert(nullptr, nullptr, nullptr);
        setenv("OSTREL_COMPONENT_DIR", component_dir(c.dir, c.copy_of).c_str(), 1);
        char out[16] = "untouched";
        EXPECT_EQ(nkf_convert("-w", "abc", out), 0) << c.dir;
        EXPECT_EQ(nkf_convert_n("-w", "abc", out, sizeof out), -1) << c.dir;
        EXPECT_STREQ(out, "untouched");
    }
}

TEST_F(NkfTest, RefusedCallsWriteNothing)
{
    char out[16] = "untouched";
    for (const char* options : {"-q", "-s -L", "-w9x", "s", "-Z2", "--"}) {
        EXPECT_EQ(nkf_convert(options, "abc", out), 0) << options;
        EXPECT_EQ(nkf_convert_n(options, "abc", out, sizeof out), -1) << options;
    }
    EXPECT_EQ(nkf_convert("-w", nullptr, out), 0);
    EXPECT_EQ(nkf_convert("-w", "abc", nullptr), 0);
    EXPECT_EQ(nkf_convert_n("-w", "abc", nullptr, 4), -1);
    EXPECT_STREQ(out, "untouched");
}

TEST_F(NkfTest, SizedCallStopsAtItsSize)
{
    char out[8] = "#######";
    EXPECT_EQ(nkf_convert_n("-s", "あいう", out, 6), 6);  // 6 bytes and a terminator
    EXPECT_STREQ(out, "#######");
    EXPECT_EQ(nkf_convert_n("-s", "あいう", out, 7), 6);
    EXPECT_STREQ(out, "\x82\xa0\x82\xa2\x82\xa4");
}

TEST_F(NkfTest, UnsizedCallKeepsToItsBound)
{
    // Alternating half-width katakana and line ends in ISO-2022-JP grows beyond
    // 4 x + 8: the unsized call refuses, the sized one converts.
    std::string in;
    for (int i = 0; i < 8; ++i)
        in += "\xb1\n";
    std::string out(nkf_output_size(in.size()) + 64, '#');
    EXPECT_EQ(nkf_convert("-S -j -Lw", in.c_str(), out.data()), 0);
    EXPECT_EQ(out[0], '#');
    EXPECT_EQ(nkf_convert_n("-S -j -Lw", in.c_str(), out.data(), out.size()), 80);
}

TEST_F(NkfTest, BrokenInputIsReplaced)
{
    struct Case { const char* options; std::string in, out; };
    const Case cases[] = {
        {"-W -w", "a\xff" "b", "a\xef\xbf\xbd" "b"},               // invalid byte
        {"-W -w", "a\xe6\xbc", "a\xef\xbf\xbd\xef\xbf\xbd"},        // cut character
        {"-W -w", "\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},  // a surrogate
        {"-W -w", "\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},          // overlong
        {"-W -s", "a\xff", "a?"},
        {"-W -e", "\xed\xa0\x80\xe6\xbc", "?????"},                 // one '?' a byte
        {"-W -j", "\xe6\xbc\xa2\xe6", "\x1b$B4A\x1b(B?"},
        {"-W -j -x", "\x80\xef\xbd\xef", "????"},                   // no katakana from broken bytes
        {"-S -w", "a\x82", "a\xef\xbf\xbd"},                        // cut Shift_JIS
        {"-E -w", "\xa4", "\xef\xbf\xbd"},                          // cut EUC-JP
        {"-J -w", "\x1b$B$", "\xef\xbf\xbd"},                       // cut in a JIS run
        {"-J -w", "a\x1b$Zb", "a\xef\xbf\xbd$Zb"},                  // stray escape
        {"-W -s", "😀", "?"},                                       // no Shift_JIS code
        {"-W -j", "あ😀", "\x1b$B$\"\x1b(B?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(convert(c.options, c.in), c.out) << c.options << " " << c.in;
}

}  // namespace
