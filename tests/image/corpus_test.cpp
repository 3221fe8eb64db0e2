// Real BMP files written by others (the BMP Suite in the shared corpus) against a
// reference decoder: every good file must match it pixel for pixel; questionable and
// bad files must be read or refused without harm. Skips when the corpus is absent.
#include "image_test_util.h"
#include "ostrel/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

fs::path corpus()
{
    const char* src = std::getenv("OSTREL_SOURCE_DIR");
    fs::path root = src ? fs::path(src) : fs::current_path();
    return root / ".." / "shared" / "corpus" / "bmpsuite";
}

struct Tally {
    int files = 0, pil = 0, magick = 0, suite = 0, refused = 0, differ = 0;
    std::vector<std::string> refused_names, differ_names;
};

bool matches(const _bmap* bm, const char* tool, const std::string& path, int tolerance)
{
    int w = 0, h = 0;
    std::vector<std::uint32_t> ref;
    if (!reference_decode(tool, path, &w, &h, &ref) || w != bm->width || h != bm->height)
        return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 24; c += 8)
                if (std::abs(int((ref[y * w + x] >> c) & 0xFF) - int((px(bm, x, y) >> c) & 0xFF)) > tolerance)
                    return false;
    return true;
}

// The suite's own rendering of a picture (html/<name>.png, or -0.png where the
// undefined pixels show colour 0), read with Pillow.
bool matches_suite_rendering(const _bmap* bm, const std::string& stem)
{
    for (const std::string& png : {stem + ".png", stem + "-0.png"}) {
        const fs::path p = corpus() / "html" / png;
        if (fs::exists(p) && matches(bm, "pil", p.string(), 1))
            return true;
    }
    return false;
}

// Decodes every file of a folder and compares it with Pillow, and where Pillow refuses
// the file or reads it otherwise, with ImageMagick (which widens 5- and 6-bit channels
// by repeating their top bits: one step of tolerance).
Tally run_folder(const std::string& sub)
{
    Tally t;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(corpus() / sub))
        if (e.path().extension() == ".bmp")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    const bool pil = have_tool("pil"), magick = have_tool("magick");
    for (const auto& f : files) {
        ++t.files;
        Bytes data = read_file(f.string());
        BmapPtr bm(_bmpfile_decode(data.data(), data.size()));
        if (!bm) {
            ++t.refused;
            t.refused_names.push_back(f.filename().string());
            continue;
        }
        EXPECT_LE(static_cast<long long>(bm->stride) * bm->height, bm->size);
        if (pil && matches(bm.get(), "pil", f.string(), 0))
            ++t.pil;
        else if (magick && matches(bm.get(), "magick", f.string(), 1))
            ++t.magick;
        else if (pil && matches_suite_rendering(bm.get(), f.stem().string()))
            ++t.suite;
        else {
            ++t.differ;
            t.differ_names.push_back(f.filename().string());
        }
    }
    std::printf("bmpsuite/%s: %d files: %d match Pillow, %d match ImageMagick only, %d match only the suite's "
                "own rendering, %d refused, %d differ\n",
                sub.c_str(), t.files, t.pil, t.magick, t.suite, t.refused, t.differ);
    for (const auto& n : t.refused_names)
        std::printf("  refused: %s\n", n.c_str());
    for (const auto& n : t.differ_names)
        std::printf("  differs: %s\n", n.c_str());
    return t;
}

} // namespace

// Good files (g) must all match a reference; questionable (q) and bad (b) ones are read
// or refused without harm, most of the questionable ones read as some reference does.
TEST(BmpSuite, FilesMatchAReferenceOrAreRefusedCleanly)
{
    if (!fs::exists(corpus() / "g"))
        GTEST_SKIP() << "no BMP Suite at " << corpus().string() << " (the shared corpus is absent)";
    if (!have_tool("pil") && !have_tool("magick"))
        GTEST_SKIP() << "neither Pillow nor ImageMagick is installed";
    const Tally g = run_folder("g");
    EXPECT_EQ(g.refused, 0);
    EXPECT_EQ(g.pil + g.magick, g.files);
    const Tally q = run_folder("q");
    EXPECT_EQ(q.files, q.pil + q.magick + q.suite + q.refused + q.differ);
    EXPECT_GE(q.pil + q.magick + q.suite, q.files * 2 / 3);
    const Tally b = run_folder("b");
    EXPECT_EQ(b.files, b.pil + b.magick + b.suite + b.refused + b.differ);
    EXPECT_GT(b.files, 0);
}
