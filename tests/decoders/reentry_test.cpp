// A decoder called from inside the error box of another: the box pumps messages,
// so a hook that loads an image on a click can run while it is open. Both calls
// must come back whole, each with its own result and its own error state.
#include "decoder_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace fixtures;

namespace {

struct reentry_case {
    const char* outer;   // fails with a box
    const char* inner_bad;
    const char* inner_good;
};

class DecoderReentry : public ::testing::TestWithParam<reentry_case> {
protected:
    void SetUp() override
    {
        const std::vector<std::uint8_t> gif_bad{'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0, 0x99, 0x99};
        write(dir, "bad.jpg", png_rgb(2, 2, 3, std::vector<std::uint8_t>(12, 7)));
        write(dir, "bad.gif", gif_bad);
        write(dir, "good.jpg", jpeg(gradient(24, 16)));
        write(dir, "good.bmp", bmp24(gradient(24, 16), false));
    }
    std::string path(const char* name) const { return dir.path().toStdString() + "/" + name; }
    QTemporaryDir dir;
};

TEST_P(DecoderReentry, EachCallKeepsItsOwnRecoveryAndResult)
{
    const reentry_case& c = GetParam();
    int inner_bad_error = -1, inner_good_error = -1;
    bitmap_ptr inner_bad, inner_good;
    box_watcher watcher([&] {
        inner_bad.reset(_getjpg_bmap(path(c.inner_bad).c_str(), 1, 0));
        inner_bad_error = _imgerr();
        inner_good.reset(_getjpg_bmap(path(c.inner_good).c_str(), 1, 0));
        inner_good_error = _imgerr();
    });
    bitmap_ptr outer(_getjpg_bmap(path(c.outer).c_str(), 1, 0));
    EXPECT_EQ(outer, nullptr);
    EXPECT_EQ(_imgerr(), 1) << "the outer call's error was lost to the inner ones";
    EXPECT_EQ(watcher.boxes().size(), 2u);
    EXPECT_EQ(inner_bad, nullptr);
    EXPECT_EQ(inner_bad_error, 1);
    ASSERT_NE(inner_good, nullptr);
    EXPECT_EQ(inner_good_error, 0);
    EXPECT_EQ(inner_good->width, 24);
    EXPECT_EQ(inner_good->height, 16);
}

INSTANTIATE_TEST_SUITE_P(Decoders, DecoderReentry,
                         ::testing::Values(reentry_case{"bad.jpg", "bad.gif", "good.bmp"},
                                           reentry_case{"bad.gif", "bad.jpg", "good.jpg"},
                                           reentry_case{"bad.jpg", "bad.jpg", "good.jpg"}));

} // namespace
