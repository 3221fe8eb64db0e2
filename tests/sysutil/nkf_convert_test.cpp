// nkf_convert on mixed Japanese text: output bytes against independent
// references (the iconv command, and bytes made once with Python's codecs), round
// trips back to UTF-8 with the input guessed, each option, and the guessing.
#include "nkf_fixture.h"
#include "tests/support/scratch_dir.h"

#include <cstdio>
#include <fstream>

namespace {

const std::string halfwidth_line = "ﾊﾝｶｸ ｶﾀｶﾅ ｶﾞｷﾞﾊﾟ｡｢ｱ｣\r\n";

// A few pages of text with all three kinds of line end.
std::string pages(bool with_halfwidth)
{
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "第" + std::to_string(i) + "章　吾輩は猫である。名前はまだ無い。\n";
        text += "ひらがな、カタカナ、漢字とASCII (a-z, 0-9) の混じった行です。\r\n";
        text += "記号：「」『』【】〒※→←↑↓○●◎□■△▲▽▼◇◆★☆♪\r";
        if (with_halfwidth)
            text += halfwidth_line;
    }
    return text;
}

// The iconv command's conversion of a UTF-8 text, run as a child process.
std::string iconv_command(const std::string& text, const char* to)
{
    const ScratchDir dir("nkf-reference");   // tests run in parallel: a file of their own
    const std::string path = dir.file("input.txt");
    std::ofstream(path, std::ios::binary) << text;
    std::string out;
    if (FILE* p = popen(("iconv -f UTF-8 -t " + std::string(to) + " " + path).c_str(), "r")) {
        char buf[4096];
        for (std::size_t k; (k = fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, k);
        if (pclose(p) != 0)
            out = "<iconv failed>";
    }
    return out;
}

struct Output { const char* options; const char* iconv_name; bool halfwidth_kept; };

TEST_F(NkfTest, OutputMatchesIconvAndRoundTrips)
{
    for (const Output& o : {Output{"-s -x", "CP932", true}, Output{"-e -x", "EUC-JP", true},
                            Output{"-j", "ISO-2022-JP", false}, Output{"-s", "CP932", false}}) {
        std::string text = pages(o.halfwidth_kept);
        std::string out = convert(o.options, text);
        EXPECT_EQ(out, iconv_command(text, o.iconv_name)) << o.options;
        EXPECT_EQ(convert("-w -x", out), text) << o.options;
    }
}

TEST_F(NkfTest, OutputMatchesPythonCodecs)
{
    struct Case { std::string utf8, cp932, euc_jp, iso2022_jp; };
    const Case cases[] = {
        {"漢字かなカナ「記号」★ABC\r\n",
         "\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8\x83J\x83i\x81u\x8bL\x8d\x86\x81v\x81\x9a" "ABC\x0d\x0a",
         "\xb4\xc1\xbb\xfa\xa4\xab\xa4\xca\xa5\xab\xa5\xca\xa1\xd6\xb5\xad\xb9\xe6\xa1\xd7\xa1\xfa" "ABC\x0d\x0a",
         "\x1b$B4A;z$+$J%+%J!V5-9f!W!z\x1b(BABC\x0d\x0a"},
        // Half-width katakana become full-width, marks joined: the codecs' bytes of "ガギパア".
        {"ｶﾞｷﾞﾊﾟｱ", "\x83K\x83M\x83p\x83" "A", "\xa5\xac\xa5\xae\xa5\xd1\xa5\xa2", "\x1b$B%,%.%Q%\x22\x1b(B"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert("-s", c.utf8), c.cp932);
        EXPECT_EQ(convert("-e", c.utf8), c.euc_jp);
        EXPECT_EQ(convert("-j", c.utf8), c.iso2022_jp);
    }
}

TEST_F(NkfTest, OptionsRewriteTheText)
{
    struct Case { const char* options; std::string in, out; };
    const Case cases[] = {
        {"-w", "ｶﾞｳﾞﾎﾟﾞｰ", "ガヴポ゛ー"},
        {"-wx", "ｶﾞｱ", "ｶﾞｱ"},
        {"-w8", "a", "\xef\xbb\xbf" "a"},
        {"-w -Z", "ＡＢｃ１２　！", "ABc12　！"},
        {"-w -Z0", "Ｚ９", "Z9"},
        {"-w -Z1", "Ａ　Ｂ", "A B"},
        {"-w -Lu", "a\r\nb\rc\nd", "a\nb\nc\nd"},
        {"-w -Lw", "a\r\nb\rc\nd", "a\r\nb\r\nc\r\nd"},
        {"-w -Lm", "a\r\nb\rc\nd", "a\rb\rc\rd"},
        {"-w", "a\r\nb\rc\n", "a\r\nb\rc\n"},
        {"-w", "\xef\xbb\xbf" "a", "a"},
        {"-S -w", "\xb1", "ア"},
        {"-E -w", "\x8e\xb1\xa4\xa2", "アあ"},
        {"-J -w", "\x1b$B$\"\x1b(B", "あ"},
        {"-S -e", "\x82\xa0", "\xa4\xa2"},
        {"-j -x", "ｱ", "\x1b(I1\x1b(B"},
        {"-j -x", "あｱ?", "\x1b$B$\"\x1b(I1\x1b(B?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(convert(c.options, c.in), c.out) << c.options << " " << c.in;
}

TEST_F(NkfTest, GuessesEachEncodingOfLongerTexts)
{
    std::string text;
    while (text.size() < 300)
        text += "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。\n";
    for (const Output& o : {Output{"-s", "CP932", false}, Output{"-e", "EUC-JP", false},
                            Output{"-j", "ISO-2022-JP", false}, Output{"-w", "UTF-8", false}}) {
        std::string encoded = iconv_command(text, o.iconv_name);
        ASSERT_GE(encoded.size(), 200u);
        EXPECT_EQ(convert("-w", encoded), text) << o.iconv_name;
    }
}

TEST_F(NkfTest, ShortAmbiguousTextIsTakenAsShiftJis)
{
    // "ア" in EUC-JP is also two half-width characters of Shift_JIS ("･｢").
    EXPECT_EQ(convert("-w", "\xa5\xa2"), "・「");
    EXPECT_EQ(convert("-w -x", "\xa5\xa2"), "･｢");
}

}  // namespace
