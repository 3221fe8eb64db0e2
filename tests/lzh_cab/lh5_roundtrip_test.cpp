// The -lh5- writer against libarchive's LZH reader: what we write reads back with
// the same bytes, names and times, for data that exercises every table form.
#include "plugins/unlha32/lh5_block.h"
#include "plugins/unlha32/lh5_encoder.h"
#include "plugins/unlha32/lzh_header.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ostrel::lzh;
using Bytes = std::vector<std::uint8_t>;

struct Member {
    std::string path;
    Bytes data;
};

Bytes pack(const std::vector<Member>& members)
{
    Bytes archive;
    for (const auto& m : members) {
        Bytes packed;
        std::size_t at = 0;
        Lh5Result r;
        const bool ok = lh5_encode(
            [&](std::uint8_t* b, std::size_t cap) {
                const std::size_t n = std::min<std::size_t>({cap, m.data.size() - at, 4099});  // odd pieces
                std::copy_n(m.data.data() + at, n, b);
                at += n;
                return static_cast<long long>(n);
            },
            [&](const std::uint8_t* d, std::size_t n) {
                packed.insert(packed.end(), d, d + n);
                return true;
            },
            r);
        EXPECT_TRUE(ok);
        EXPECT_EQ(r.packed, packed.size());
        EXPECT_EQ(r.crc, lzh_crc16(0, m.data.data(), m.data.size()));
        LzhEntry e{m.path, false, "-lh5-", static_cast<std::uint32_t>(packed.size()),
                   static_cast<std::uint32_t>(m.data.size()), 1700000000123456700LL, r.crc, 0644};
        const Bytes h = lzh_level2_header(e);
        archive.insert(archive.end(), h.begin(), h.end());
        archive.insert(archive.end(), packed.begin(), packed.end());
    }
    archive.push_back(0);
    return archive;
}

std::vector<Member> unpack(const Bytes& bytes)
{
    std::vector<Member> out;
    archive* a = archive_read_new();
    archive_read_support_format_lha(a);
    archive_read_set_options(a, "hdrcharset=UTF-8");
    EXPECT_EQ(archive_read_open_memory(a, bytes.data(), bytes.size()), ARCHIVE_OK);
    archive_entry* e = nullptr;
    while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
        Member m{archive_entry_pathname_utf8(e) ? archive_entry_pathname_utf8(e) : "", {}};
        EXPECT_EQ(archive_entry_mtime(e), 1700000000);
        std::uint8_t buf[65536];
        la_ssize_t n;
        while ((n = archive_read_data(a, buf, sizeof buf)) > 0)
            m.data.insert(m.data.end(), buf, buf + n);
        EXPECT_EQ(n, 0) << archive_error_string(a);
        out.push_back(std::move(m));
    }
    archive_read_free(a);
    return out;
}

Bytes text(std::size_t size, unsigned seed)
{
    static const char* words[] = {"archive", "window ", "the ", "of ", "page", "\n", "draws ", "number ", "1998 ", "日本語 "};
    std::mt19937 rng(seed);
    std::geometric_distribution<int> pick(0.3);
    Bytes b;
    while (b.size() < size) {
        const std::string w = words[std::min(pick(rng), 9)];
        b.insert(b.end(), w.begin(), w.end());
    }
    b.resize(size);
    return b;
}

Bytes noise(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(size);
    for (auto& c : b)
        c = static_cast<std::uint8_t>(rng());
    return b;
}

TEST(Lh5Writer, ArchivesReadBackThroughLibarchive)
{
    const Bytes run(16 * 65535 * 17, 'z');  // blocks made only of the longest match
    Bytes mixed = text(300000, 1);
    const Bytes n = noise(200000, 2);
    mixed.insert(mixed.end(), n.begin(), n.end());
    mixed.insert(mixed.end(), mixed.begin(), mixed.begin() + 100000);
    const std::vector<Member> members = {
        {"one", {'x'}},
        {"two", {'x', 'y'}},
        {"dir/sub/日本語.txt", text(5000, 3)},
        {"run", run},
        {"noise", noise(70000, 4)},
        {"mixed", mixed},
    };
    const auto back = unpack(pack(members));
    ASSERT_EQ(back.size(), members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        EXPECT_EQ(back[i].path, members[i].path);
        EXPECT_TRUE(back[i].data == members[i].data) << members[i].path;
    }
}

TEST(Lh5Writer, CodeLengthsStayWithinSixteenBitsAndFormCompleteCodes)
{
    // Fibonacci counts push a plain Huffman tree far deeper than 16.
    std::vector<std::uint32_t> freq(40);
    freq[0] = freq[1] = 1;
    for (std::size_t i = 2; i < freq.size(); ++i)
        freq[i] = freq[i - 1] + freq[i - 2];
    for (int used : {1, 2, 30, 40}) {
        std::vector<std::uint32_t> some(freq);
        std::fill(some.begin(), some.end() - used, 0);
        std::vector<std::uint8_t> len(40);
        huffman_lengths(some.data(), 40, 16, len.data());
        double kraft = 0;
        for (int i = 0; i < 40; ++i) {
            EXPECT_LE(len[i], 16);
            if (len[i])
                kraft += 1.0 / (1u << len[i]);
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0) << used;
    }
}

}  // namespace
