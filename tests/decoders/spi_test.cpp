// Plug-in bridge: choosing a plug-in by extension, loading "iftiff6.spi" from the
// program's directory, and reading TIFF pictures through it.
#include "decoder_test_support.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>

using namespace fixtures;

namespace {

class PluginBridge : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(PluginBridge, ExtensionsChooseTheirPlugins)
{
    struct Row { const char* name; int plugin; };
    for (const Row& r : {Row{"a.TIF", 2}, Row{"a.tiff", 2}, Row{"a.Png", 3}, Row{"a.pi", 4}, Row{"a.MAG", 5},
                         Row{"a.q4", 6}, Row{"a.pic", 7}, Row{"a.p2", 8}, Row{"a.tar.gz", 0}, Row{"noext", 0},
                         Row{"dir.tif/x", 0}})
        EXPECT_EQ(_spi_select(r.name), r.plugin) << r.name;
}

TEST_F(PluginBridge, MissingPluginsFailQuietly)
{
    EXPECT_EQ(_spi_load(3), 0);
    EXPECT_EQ(_spi_load(0), 0);
    EXPECT_EQ(_spi_load(9), 0);
    int w, h, xd, yd;
    std::string path = write(dir, "a.mag", {1, 2, 3});
    EXPECT_EQ(_getspi_size(path.c_str(), &w, &h, &xd, &yd), 0);
    EXPECT_EQ(_getspi_bmap(path.c_str()), nullptr);
    EXPECT_EQ(_getspi_bmap(write(dir, "b.gz", {1}).c_str()), nullptr);
}

TEST_F(PluginBridge, TiffThroughTheShippedPlugin)
{
    picture p = gradient(21, 13);
    std::string path = write(dir, "c.tif", tiff(p, 300));
    int w = 0, h = 0, xd = 0, yd = 0;
    ASSERT_EQ(_getspi_size(path.c_str(), &w, &h, &xd, &yd), 1);
    EXPECT_EQ(w, 21);
    EXPECT_EQ(h, 13);
    EXPECT_EQ(xd, 300);
    EXPECT_EQ(yd, 300);
    bitmap_ptr bm(_getspi_bmap(path.c_str()));
    ASSERT_TRUE(bm);
    EXPECT_EQ(max_difference(bm.get(), p), 0);
    EXPECT_EQ(bm->info.bmiHeader.biXPelsPerMeter, 11811);
}

TEST_F(PluginBridge, TransparentTiffPartsAreWhite)
{
    picture p = flat(2, 1, 10, 20, 30);
    bitmap_ptr bm(_getspi_bmap(write(dir, "d.tiff", tiff(p, 0, true)).c_str()));
    ASSERT_TRUE(bm);
    EXPECT_EQ(rgb_at(bm.get(), 0, 0), (std::array<int, 3>{10, 20, 30}));
    EXPECT_EQ(rgb_at(bm.get(), 1, 0), (std::array<int, 3>{255, 255, 255}));
}

TEST_F(PluginBridge, GetPictureHandsOverTheBlocks)
{
    std::string path = write(dir, "e.tif", tiff(gradient(3, 2)));
    void* info = nullptr;
    void* bits = nullptr;
    ASSERT_EQ(_spi_getpicture(path.c_str(), &info, &bits), 1);
    ASSERT_TRUE(info);
    ASSERT_TRUE(bits);
    const auto* hdr = static_cast<const unsigned char*>(info);
    EXPECT_EQ(hdr[0], 40);
    EXPECT_EQ(hdr[4], 3);
    std::free(info);
    std::free(bits);
    EXPECT_EQ(_spi_getpicture(write(dir, "f.tif", {'I', 'I', 42, 0, 9}).c_str(), &info, &bits), 0);
    EXPECT_EQ(info, nullptr);
}

TEST_F(PluginBridge, BrokenTiffFailsQuietly)
{
    std::vector<std::uint8_t> bytes = tiff(gradient(30, 30));
    for (std::size_t cut : {std::size_t(8), bytes.size() / 2, bytes.size() - 10}) {
        std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        bitmap_ptr bm(_getspi_bmap(write(dir, "g.tif", part).c_str()));
        (void)bm;   // any outcome but a crash; libtiff fills what it can
    }
    EXPECT_EQ(_getspi_bmap(write(dir, "h.tif", {'M', 'M', 0, 42}).c_str()), nullptr);
}

TEST_F(PluginBridge, TiffFallsBackToTheOlderPluginName)
{
    // a component directory holding only "iftiff.spi" (the shipped plug-in under the older name)
    const std::string components = dir.path().toStdString() + "/plugins";
    const std::string shipped = std::string(std::getenv("OSTREL_BINARY_DIR")) + "/bin/iftiff6.spi";
    if (!std::filesystem::exists(shipped))
        GTEST_SKIP() << "the TIFF plug-in was not built (" << shipped << ")";
    std::filesystem::create_directories(components);
    std::filesystem::copy_file(shipped, components + "/iftiff.spi");
    setenv("OSTREL_COMPONENT_DIR", components.c_str(), 1);
    _spi_unload_all();
    EXPECT_EQ(_spi_load(2), 0);
    EXPECT_EQ(_spi_select("a.tif"), 1);
    picture p = gradient(4, 3);
    bitmap_ptr bm(_getspi_bmap(write(dir, "older.tif", tiff(p)).c_str()));
    EXPECT_EQ(max_difference(bm.get(), p), 0);
    unsetenv("OSTREL_COMPONENT_DIR");
    _spi_unload_all();
    EXPECT_EQ(_spi_select("a.tif"), 2);   // both present: the newer one
}

TEST_F(PluginBridge, UnloadFreesEveryLoadedPlugin)
{
    ASSERT_EQ(_spi_load(2), 1);
    EXPECT_EQ(_spi_load(2), 1);   // reused
    EXPECT_EQ(_spi_unload_all(), 1);
    EXPECT_EQ(_spi_unload_all(), 0);
    EXPECT_EQ(_spi_select("x.tif"), 2);   // loads again
}

} // namespace
