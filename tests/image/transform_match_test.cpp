// The reductions and rotations against plain per-pixel implementations written here,
// over odd sizes, many scales and every turn, byte for byte: the fast paths (strips,
// tiles, wide loads, fused passes) must never move a pixel value. The area reference
// keeps the runtime's order of single-precision operations (whole rows as integers,
// edge rows weighted, then across the footprint columns), since another order can
// round a byte differently. Checksums of every result, taken from the first
// implementation, also pin the references themselves.
#include "image_test_util.h"
#include "runtime/image/bmap_rotate.h"
#include "runtime/image/image_threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Noise: every byte value, no structure a wrong offset could hide behind.
BmapPtr noise(int w, int h, std::uint32_t seed)
{
    std::uint32_t s = seed * 2654435761u + 1;
    return make_bmap(w, h, [&](int, int) {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    });
}

BmapPtr flat(int w, int h, std::uint32_t c)
{
    return make_bmap(w, h, [c](int, int) { return c; });
}

unsigned char at(const _bmap* bm, int x, int y, int c)
{
    return bm->bits[static_cast<std::ptrdiff_t>(y) * bm->stride + x * 3 + c];
}

// The reductions' result bitmap and where the unrotated pixel (x, y) goes.
BmapPtr turned(int W, int H, int turn)
{
    const bool odd = turn == 1 || turn == -1;
    BmapPtr r(new _bmap(odd ? H : W, odd ? W : H, 24));
    std::memset(r->bits, 0, static_cast<std::size_t>(r->size));
    return r;
}
unsigned char* place(_bmap* r, int turn, int x, int y, int W, int H)
{
    int col = x, row = y;
    if (turn)
        rotated_place(turn == 1 ? 90 : turn == -1 ? -90 : 180, x, y, W, H, &col, &row);
    return r->bits + static_cast<std::ptrdiff_t>(row) * r->stride + col * 3;
}

BmapPtr ref_box(const _bmap* src, int n, int turn)
{
    int W, H;
    if (!_shrink_size(src->width, src->height, 1.0 / n, &W, &H))
        return nullptr;
    BmapPtr r = turned(W, H, turn);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < 3; ++c) {
                std::uint32_t sum = 0;
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i)
                        sum += at(src, x * n + i, y * n + j, c);
                place(r.get(), turn, x, y, W, H)[c] = static_cast<unsigned char>(sum / std::uint32_t(n * n));
            }
    return r;
}

BmapPtr ref_area(const _bmap* src, double s, int turn)
{
    int W, H;
    if (!_shrink_size(src->width, src->height, s, &W, &H))
        return nullptr;
    const float kf = static_cast<float>(1.0 / s);
    const float norm = 1.0f / (kf * kf);
    auto pos = [&](int i) { return static_cast<int>(static_cast<float>(i) * kf); };
    auto frac = [&](int i) {
        const float p = static_cast<float>(i) * kf;
        return p - static_cast<float>(static_cast<int>(p));
    };
    BmapPtr r = turned(W, H, turn);
    std::vector<float> col;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int y0 = pos(y), y1 = pos(y + 1), x0 = pos(x), x1 = pos(x + 1);
            const float wt = 1.0f - frac(y), wb = frac(y + 1), wl = 1.0f - frac(x), wr = frac(x + 1);
            for (int c = 0; c < 3; ++c) {
                // each footprint column: its whole rows as an integer, plus its two edge rows
                col.assign(static_cast<std::size_t>(x1 - x0 + 1), 0.0f);
                for (int sx = x0; sx <= x1; ++sx) {
                    std::uint32_t whole = 0;
                    for (int sy = y0 + 1; sy < y1; ++sy)
                        whole += at(src, sx, sy, c);
                    float v = static_cast<float>(whole);
                    v = v + wt * static_cast<float>(at(src, sx, y0, c));
                    v = v + wb * static_cast<float>(at(src, sx, y1, c));
                    col[sx - x0] = v;
                }
                float t = wl * col[0];
                t = t + wr * col[x1 - x0];
                for (int i = 1; i < x1 - x0; ++i)
                    t = t + col[i];
                const float v = t * norm;
                place(r.get(), turn, x, y, W, H)[c] =
                    static_cast<unsigned char>(v >= 255.0f ? 255 : (v <= 0.0f ? 0 : static_cast<int>(v)));
            }
        }
    return r;
}

BmapPtr ref_bilinear(const _bmap* src, double s, int turn)
{
    int W, H;
    if (!_shrink_size(src->width, src->height, s, &W, &H))
        return nullptr;
    const float kf = static_cast<float>(1.0 / s);
    auto pos = [&](int i) { return static_cast<int>(static_cast<float>(i) * kf); };
    auto wgt = [&](int i) {
        const float p = static_cast<float>(i) * kf;
        const float keep = (1.0f - (p - static_cast<float>(static_cast<int>(p)))) * 256.0f;
        return static_cast<std::uint32_t>(std::clamp(static_cast<double>(keep) * s, 0.0, 256.0));
    };
    BmapPtr r = turned(W, H, turn);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::uint32_t wx = wgt(x), wy = wgt(y);
            const int sx = pos(x), sy = pos(y);
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t v = wx * wy * at(src, sx, sy, c) + wx * (256 - wy) * at(src, sx, sy + 1, c) +
                                        (256 - wx) * wy * at(src, sx + 1, sy, c) +
                                        (256 - wx) * (256 - wy) * at(src, sx + 1, sy + 1, c);
                place(r.get(), turn, x, y, W, H)[c] = static_cast<unsigned char>((v >> 16) & 0xFF);
            }
        }
    return r;
}

BmapPtr ref_rotate(const _bmap* src, int angle)
{
    const int w = src->width, h = src->height;
    const bool quarter = angle == 90 || angle == -90;
    BmapPtr r(new _bmap(quarter ? h : w, quarter ? w : h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int col, row;
            rotated_place(angle, x, y, w, h, &col, &row);
            std::memcpy(r->bits + static_cast<std::ptrdiff_t>(row) * r->stride + col * 3,
                        src->bits + static_cast<std::ptrdiff_t>(y) * src->stride + x * 3, 3);
        }
    return r;
}

// Pixels (padding left out) into a running FNV-1a checksum.
void mix(std::uint64_t* hash, const _bmap* bm)
{
    auto add = [hash](unsigned v) {
        *hash ^= v;
        *hash *= 1099511628211ull;
    };
    add(static_cast<unsigned>(bm->width));
    add(static_cast<unsigned>(bm->height));
    for (int y = 0; y < bm->height; ++y)
        for (int i = 0; i < bm->width * 3; ++i)
            add(bm->bits[static_cast<std::ptrdiff_t>(y) * bm->stride + i]);
}

// The first differing byte, for the failure message.
std::string first_difference(const _bmap* a, const _bmap* b)
{
    if (a->width != b->width || a->height != b->height)
        return "sizes differ";
    for (int y = 0; y < a->height; ++y)
        for (int i = 0; i < a->width * 3; ++i) {
            const int u = a->bits[static_cast<std::ptrdiff_t>(y) * a->stride + i];
            const int v = b->bits[static_cast<std::ptrdiff_t>(y) * b->stride + i];
            if (u != v)
                return testing::PrintToString(i / 3) + "," + testing::PrintToString(y) + " byte " +
                       testing::PrintToString(i % 3) + ": " + testing::PrintToString(u) + " vs " +
                       testing::PrintToString(v);
        }
    return "";
}

struct Size { int w, h; };

// Odd sizes, sizes around the tile and strip widths, single rows and columns, and one
// wide enough for several strips of the area method.
const Size kSizes[] = {{1, 1},  {2, 3},   {7, 5},    {31, 33},  {64, 64}, {65, 63},
                       {97, 1}, {1, 130}, {129, 70}, {203, 41}, {1001, 23}};
const int kTurns[] = {0, 1, -1, 2, -2};

constexpr std::uint64_t kFnvStart = 1469598103934665603ull;

// Every size of kSizes, parameter and turn: `method` against `ref`, byte for byte (both
// may refuse, but alike), up to the first difference. Returns the checksum of all
// results; counts the comparisons.
template <class Param, class Seed, class Method, class Ref>
std::uint64_t compare_all(std::initializer_list<Param> params, Seed seed, Method method, Ref ref, int* compared)
{
    std::uint64_t hash = kFnvStart;
    for (const Size& sz : kSizes) {
        BmapPtr src = noise(sz.w, sz.h, static_cast<std::uint32_t>(seed(sz.w, sz.h)));
        for (Param p : params)
            for (int turn : kTurns) {
                SCOPED_TRACE(testing::Message() << sz.w << "x" << sz.h << " parameter " << p << " turn " << turn);
                BmapPtr got(method(src.get(), p, turn));
                BmapPtr want = ref(src.get(), p, turn);
                EXPECT_EQ(!got, !want);
                if (got && want) {
                    EXPECT_TRUE(same_pixels(got.get(), want.get())) << first_difference(got.get(), want.get());
                }
                if (::testing::Test::HasFailure())
                    return hash;  // the first difference says enough
                if (!got)
                    continue;
                mix(&hash, got.get());
                ++*compared;
            }
    }
    return hash;
}

// The reductions split large pictures between threads by runs of result rows. Each
// reduction runs as the size chooses (one thread at these sizes) and forced onto three
// threads, so that runs start and end mid-picture, even with one row each: the same
// pixels, the same checksums.
class TransformThreads : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { image_force_threads(GetParam()); }
    void TearDown() override { image_force_threads(0); }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Split, TransformThreads, ::testing::Values(0, 3),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return i.param ? "threads" + std::to_string(i.param) : std::string("chosen");
                         });

TEST_P(TransformThreads, BoxEqualsItsPlainReading)
{
    int compared = 0;
    const std::uint64_t hash = compare_all(
        {1, 2, 3, 4, 5, 7, 8, 16, 17}, [](int w, int h) { return w * 131 + h; },
        [](const _bmap* src, int n, int turn) { return _bmap_shrink_box(src, n, turn); }, ref_box, &compared);
    EXPECT_GT(compared, 200);
    EXPECT_EQ(hash, 0x8d5c947ccdae9762ull);
}

TEST_P(TransformThreads, AreaEqualsItsPlainReading)
{
    int compared = 0;
    const std::uint64_t hash = compare_all(
        {0.5, 0.45, 0.3, 0.29, 0.25, 0.2, 0.123, 0.1, 0.07, 0.031}, [](int w, int h) { return w * 17 + h * 5; },
        [](const _bmap* src, double s, int turn) { return _bmap_shrink_area(src, s, turn); }, ref_area, &compared);
    EXPECT_GT(compared, 200);
    EXPECT_EQ(hash, 0x9a33c01840a015e9ull);
}

TEST(TransformMatch, AreaOfWhiteAndBlackHitsBothEnds)
{
    // white sums land on either side of 255 before the clamp; black stays 0
    for (std::uint32_t c : {0xFFFFFFu, 0x000000u, 0xFF00FFu})
        for (double s : {0.3, 0.37, 0.1}) {
            SCOPED_TRACE(testing::Message() << std::hex << c << std::dec << " scale " << s);
            BmapPtr src = flat(301, 97, c);
            BmapPtr got(_bmap_shrink_area(src.get(), s, 0));
            BmapPtr want = ref_area(src.get(), s, 0);
            ASSERT_TRUE(got && want);
            ASSERT_TRUE(same_pixels(got.get(), want.get())) << first_difference(got.get(), want.get());
        }
}

TEST_P(TransformThreads, BilinearEqualsItsPlainReading)
{
    int compared = 0;
    const std::uint64_t hash = compare_all(
        {0.51, 0.6, 0.75, 0.8, 0.9, 0.99, 1.0}, [](int w, int h) { return w * 3 + h * 101; },
        [](const _bmap* src, double s, int turn) { return _bmap_shrink_bilinear(src, s, turn); }, ref_bilinear,
        &compared);
    EXPECT_GT(compared, 200);
    EXPECT_EQ(hash, 0x0ae3206714976fcbull);
}

TEST_P(TransformThreads, ShrinkChoiceEqualsTheMethodItNames)
{
    // through the public entry: tolerance picks box or area, scale above 1/2 the blend
    BmapPtr src = noise(211, 157, 9);
    for (double s : {0.25, 0.3, 0.34, 0.5, 0.75})
        for (double tol : {0.0, 0.3})
            for (int turn : kTurns) {
                SCOPED_TRACE(testing::Message() << "scale " << s << " tolerance " << tol << " turn " << turn);
                BmapPtr got(_bmap_shrink(src.get(), s, tol, turn));
                const float kf = static_cast<float>(1.0 / s);
                const int n = static_cast<int>(1.0 / s) + 1;
                const float e = 1.0f - kf / static_cast<float>(n);
                BmapPtr want = e < tol ? ref_box(src.get(), static_cast<int>(kf) + 1, turn)
                                       : (s > 0.5 ? ref_bilinear(src.get(), s, turn) : ref_area(src.get(), s, turn));
                ASSERT_TRUE(got && want);
                ASSERT_TRUE(same_pixels(got.get(), want.get())) << first_difference(got.get(), want.get());
            }
}

// The quarter turns have a vector path (4 x 4 blocks in wide tiles, chosen at run time)
// and a portable one; both, and the public entry, against the plain reading, over sizes around the block and
// tile edges, single rows and columns, and more than one tile each way.
TEST(TransformMatch, RotationPathsEqualThePlainReading)
{
    const Size sizes[] = {{1, 1},    {4, 4},    {8, 8},    {5, 4},     {4, 5},    {6, 2},   {2, 6},   {1, 9},
                          {9, 1},    {2, 3},    {3, 2},    {3, 300},   {300, 3},  {1, 300}, {300, 1}, {7, 36},
                          {36, 7},   {256, 32}, {257, 33}, {259, 35},  {513, 67}, {97, 203}, {300, 129},
                          {129, 257}, {1030, 9}, {10, 1030}};
    SCOPED_TRACE(image_rotate_has_vectors() ? "vector path present" : "no vector path on this processor");
    for (const Size& sz : sizes) {
        BmapPtr src = noise(sz.w, sz.h, static_cast<std::uint32_t>(sz.w * 5 + sz.h * 3));
        for (int angle : {90, -90, 180, -180}) {
            BmapPtr want = ref_rotate(src.get(), angle);
            for (int path : {0, 1, 2}) {   // portable, vectors, the public entry's choice
                SCOPED_TRACE(testing::Message() << sz.w << "x" << sz.h << " angle " << angle << " path " << path);
                BmapPtr got(path < 2 ? image_rotate_with(src.get(), angle, path == 1, 1) : _bmap_rotate(src.get(), angle));
                ASSERT_TRUE(got);
                ASSERT_TRUE(same_pixels(got.get(), want.get())) << first_difference(got.get(), want.get());
            }
        }
    }
}

// Large results are split between threads (quarter turns by strips of source columns,
// half turns by rows); every split, even and uneven, more threads than parts, must give
// the same pixels as one thread.
TEST(TransformMatch, RotationSplitBetweenThreadsEqualsThePlainReading)
{
    for (const Size& sz : {Size{1030, 9}, Size{769, 40}, Size{300, 3}, Size{5, 7}, Size{2049, 65}})
        for (int threads : {2, 3, 4, 9})
            for (int angle : {90, -90, 180})
                for (bool vectors : {false, true}) {
                    SCOPED_TRACE(testing::Message() << sz.w << "x" << sz.h << " threads " << threads << " angle "
                                                    << angle << (vectors ? " vectors" : " portable"));
                    BmapPtr src = noise(sz.w, sz.h, static_cast<std::uint32_t>(sz.w * 11 + sz.h + threads));
                    BmapPtr got(image_rotate_with(src.get(), angle, vectors, threads));
                    BmapPtr want = ref_rotate(src.get(), angle);
                    ASSERT_TRUE(got);
                    ASSERT_TRUE(same_pixels(got.get(), want.get())) << first_difference(got.get(), want.get());
                }
}

// Rows that end exactly at the end of their block (no padding after the last pixel) and
// rows with a wider stride than needed: the wide loads must stay inside the block (the
// sanitizer build checks that) and the stride must be followed.
TEST(TransformMatch, RotationFollowsTheStrideAndStaysInTheBlock)
{
    for (const Size& sz : {Size{8, 5}, Size{4, 1}, Size{260, 37}, Size{9, 9}, Size{301, 40}})
        for (int extra : {0, 4, 20}) {
            const int stride = (sz.w * 3 + 3) / 4 * 4 + extra;
            BmapPtr packed = noise(sz.w, sz.h, static_cast<std::uint32_t>(sz.w + sz.h * 7 + extra));
            // the same pixels in a block of exactly stride x height bytes
            std::vector<unsigned char> rows(static_cast<std::size_t>(stride) * sz.h, 0xA5);
            for (int y = 0; y < sz.h; ++y)
                std::memcpy(rows.data() + static_cast<std::ptrdiff_t>(y) * stride,
                            packed->bits + static_cast<std::ptrdiff_t>(y) * packed->stride, sz.w * 3);
            _bmap view(*packed);
            view.release();
            view.width = sz.w;
            view.height = sz.h;
            view.depth = 24;
            view.stride = stride;
            view.bits = rows.data();
            view.size = static_cast<std::int32_t>(rows.size());
            view.shared = 1;
            for (int angle : {90, -90, 180, -180})
                for (bool vectors : {false, true}) {
                    SCOPED_TRACE(testing::Message() << sz.w << "x" << sz.h << " stride " << stride << " angle "
                                                    << angle << (vectors ? " vectors" : " portable"));
                    BmapPtr got(image_rotate_with(&view, angle, vectors, 1));
                    BmapPtr want = ref_rotate(packed.get(), angle);
                    ASSERT_TRUE(got);
                    ASSERT_TRUE(same_pixels(got.get(), want.get())) << first_difference(got.get(), want.get());
                }
        }
}
