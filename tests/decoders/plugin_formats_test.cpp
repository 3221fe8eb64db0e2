// The shipped image plug-ins (Targa, PPM/PGM/PBM, WebP): files written by
// independent encoders decode to the reference decoder's pixels through
// _getfile_bmap with the file's own extension and the decoder table the programs
// register; each plug-in names its extensions and refuses broken files cleanly.
#include "ostrel/image.h"
#include "decoder_test_support.h"
#include "runtime/image/decoders/spi_abi.h"
#include "platform/win/winbase.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

class ShippedPlugins : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // the plug-ins as built, not whatever an installation holds
        setenv("OSTREL_COMPONENT_DIR", OSTREL_PLUGIN_BUILD_DIR, 1);
        _setimg_decoders(_getjpg_size, _getpng_size, _getpsd_size, _getspi_size, _getjpg_bmap, _getpng_bmap,
                         _getpsd_bmap, _getspi_bmap);
    }
    static void TearDownTestSuite()
    {
        _spi_unload_all();
        unsetenv("OSTREL_COMPONENT_DIR");
    }
    QTemporaryDir dir;
};

TEST_F(ShippedPlugins, IndependentEncodersDecodeToTheReferencePixels)
{
    if (QProcess::execute("/usr/bin/python3", {"-c", "import PIL.features as f; assert f.check('webp')"}) != 0)
        GTEST_SKIP() << "Pillow with WebP support (python3-pil) is not installed";
    ASSERT_EQ(QProcess::execute("/usr/bin/python3", {OSTREL_PLUGIN_SCRIPT, dir.path()}), 0);
    std::istringstream list(file_text(dir.path().toStdString() + "/list.txt"));
    std::string name;
    int w = 0, h = 0, files = 0;
    while (list >> name >> w >> h) {
        SCOPED_TRACE(name);
        const std::string path = (dir.path() + "/").toStdString() + name;
        int sw = 0, sh = 0, xd = 0, yd = 0;
        ASSERT_EQ(_getfile_size(path.c_str(), &sw, &sh, &xd, &yd), 1);
        EXPECT_EQ(sw, w);
        EXPECT_EQ(sh, h);
        bitmap_ptr bm(_getfile_bmap(path.c_str(), 1.0, 0));
        ASSERT_TRUE(bm);
        const std::string ref = file_text(path + ".rgb");
        EXPECT_EQ(max_difference(bm.get(), w, h, ref.data(), ref.size()), 0);
        ++files;
    }
    EXPECT_GE(files, 13);   // the Pillow-written ones at least
}

TEST_F(ShippedPlugins, EachNamesItsExtensionsAndIsChosenByThem)
{
    struct Row {
        const char* file;
        int number;
        const char* patterns;
        std::vector<const char*> names;
    };
    const Row rows[] = {
        {"iftga.spi", 9, "*.tga;*.tpic;*.vda;*.icb;*.vst", {"a.tga", "b.TGA"}},
        {"ifpnm.spi", 10, "*.ppm;*.pgm;*.pbm;*.pnm", {"a.ppm", "b.PGM", "c.pbm", "d.pnm"}},
        {"ifwebp.spi", 11, "*.webp", {"a.webp", "b.WebP"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        for (const char* n : r.names)
            EXPECT_EQ(_spi_select(n), r.number) << n;
        void* module = LoadLibraryA(r.file);
        ASSERT_TRUE(module);
        auto info = reinterpret_cast<spi_get_plugin_info>(GetProcAddress(module, "GetPluginInfo"));
        ASSERT_TRUE(info);
        char text[256] = {};
        EXPECT_EQ(info(0, text, sizeof text), 4);
        EXPECT_STREQ(text, "00IN");
        EXPECT_GT(info(2, text, sizeof text), 0);
        EXPECT_STREQ(text, r.patterns);
        EXPECT_EQ(info(4, text, sizeof text), 0);
        EXPECT_EQ(_spi_load(r.number), 1);
        FreeLibrary(module);
    }
}

TEST_F(ShippedPlugins, BrokenFilesFailCleanly)
{
    struct Row {
        const char* name;
        std::string bytes;
    };
    const std::string webp_head = std::string("RIFF\x30\0\0\0WEBPVP8L", 16) + std::string("\x20\0\0\0\x2f\x63\xc0\x7f", 8);
    const Row rows[] = {
        {"empty.webp", ""},
        {"head_only.webp", webp_head},
        {"garbage.webp", std::string(200, '\x55')},
        {"short.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x10\0\x10\0\x18\0", 18)},
        {"huge.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\xff\xff\xff\xff\x18\0", 18) + "abc"},
        {"words.ppm", "P6\nfour three\n255\n"},
        {"short.pgm", "P5 100 100 255\n\x01\x02"},
        {"notpnm.pbm", "hello"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string path = (dir.path() + "/").toStdString() + r.name;
        std::ofstream(path, std::ios::binary) << r.bytes;
        int w = 0, h = 0, xd = 0, yd = 0;
        EXPECT_EQ(_getspi_bmap(path.c_str()), nullptr);
        // the route then falls back to the file's icon: a picture, not the claimed size
        bitmap_ptr bm(_getfile_bmap(path.c_str(), 1.0, 0));
        ASSERT_TRUE(bm);
        EXPECT_LT(bm->width, 1000);
        if (_getspi_size(path.c_str(), &w, &h, &xd, &yd)) {
            EXPECT_TRUE(w > 0 && h > 0);
        }
    }
}

} // namespace
