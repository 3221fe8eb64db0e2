// Block coding of -lh5-: symbol counts, length-limited Huffman codes, the three
// code-length tables (lengths of the length codes, of the byte/length codes, of the
// position codes) and the coded symbols.
#include "plugins/unlha32/lh5_block.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace ostrel::lzh {
namespace {

constexpr int kNC = 510;  // 256 bytes + 254 match lengths (3..256)
constexpr int kNT = 19;   // codes of the byte/length code lengths
constexpr int kNP = 14;   // position codes for an 8 KiB dictionary
constexpr int kCBits = 9;
constexpr int kTBits = 5;
constexpr int kPBits = 4;
constexpr int kMaxCodeBits = 16;

int bit_length(unsigned v)
{
    int n = 0;
    while (v) {
        v >>= 1;
        ++n;
    }
    return n;
}

bool none_used(const std::uint32_t* freq, int count)
{
    return std::all_of(freq, freq + count, [](std::uint32_t f) { return f == 0; });
}

// Lengths of the length codes: up to 6 in three bits, longer ones as a run of ones.
// With `skip_after` set, two bits after that many entries say how many of the
// following (at most three) are zero.
void write_pt_lengths(BitWriter& out, const std::uint8_t* len, int count, int nbits, int skip_after)
{
    int n = count;
    while (n > 0 && len[n - 1] == 0)
        --n;
    out.put(nbits, static_cast<std::uint32_t>(n));
    int i = 0;
    while (i < n) {
        const int k = len[i++];
        if (k <= 6)
            out.put(3, static_cast<std::uint32_t>(k));
        else
            out.put(k - 3, (1u << (k - 3)) - 2);
        if (i == skip_after) {
            int j = i;
            while (j < 6 && j < n && len[j] == 0)
                ++j;
            out.put(2, static_cast<std::uint32_t>(j - i));
            i = j;
        }
    }
}

// Walks the byte/length code lengths as the run-length symbols that describe them
// (0: one zero, 1: 3-18 zeros, 2: 20 or more zeros, k+2: length k) and hands each
// to `emit(symbol, extra bits, extra value)`.
template <typename Emit>
void walk_c_lengths(const std::uint8_t* len, int n, Emit emit)
{
    int i = 0;
    while (i < n) {
        const int k = len[i++];
        if (k != 0) {
            emit(k + 2, 0, 0);
            continue;
        }
        int run = 1;
        while (i < n && len[i] == 0) {
            ++i;
            ++run;
        }
        if (run <= 2) {
            for (int r = 0; r < run; ++r)
                emit(0, 0, 0);
        } else if (run <= 18) {
            emit(1, 4, run - 3);
        } else if (run == 19) {
            emit(0, 0, 0);
            emit(1, 4, 15);
        } else {
            emit(2, kCBits, run - 20);
        }
    }
}

}  // namespace

void BitWriter::put(int bits, std::uint32_t value)
{
    acc_ = (acc_ << bits) | (value & ((1u << bits) - 1));
    count_ += bits;
    while (count_ >= 8) {
        count_ -= 8;
        out_.push_back(static_cast<std::uint8_t>(acc_ >> count_));
    }
    acc_ &= (std::uint64_t{1} << count_) - 1;
}

void BitWriter::finish()
{
    if (count_ > 0)
        put(8 - count_, 0);
}

void huffman_lengths(const std::uint32_t* freq, int count, int max_bits, std::uint8_t* lengths)
{
    std::fill(lengths, lengths + count, std::uint8_t{0});
    std::vector<int> used;
    for (int i = 0; i < count; ++i)
        if (freq[i] != 0)
            used.push_back(i);
    if (used.empty() || count < 2)
        return;
    // A table of one code is written as two codes of one bit: readers handle the
    // short form of a lone byte/length code badly.
    if (used.size() == 1) {
        lengths[used[0]] = 1;
        lengths[used[0] == 0 ? 1 : 0] = 1;
        return;
    }

    // Plain Huffman tree over the used symbols: nodes 0..n-1 are leaves.
    const int n = static_cast<int>(used.size());
    std::vector<std::uint64_t> weight(2 * n);
    std::vector<int> parent(2 * n, -1);
    for (int i = 0; i < n; ++i)
        weight[i] = freq[used[i]];
    auto heavier = [&](int a, int b) { return weight[a] > weight[b] || (weight[a] == weight[b] && a > b); };
    std::vector<int> heap(n);
    std::iota(heap.begin(), heap.end(), 0);
    std::make_heap(heap.begin(), heap.end(), heavier);
    int next = n;
    while (heap.size() > 1) {
        std::pop_heap(heap.begin(), heap.end(), heavier);
        const int a = heap.back();
        heap.pop_back();
        std::pop_heap(heap.begin(), heap.end(), heavier);
        const int b = heap.back();
        heap.pop_back();
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = next;
        heap.push_back(next);
        std::push_heap(heap.begin(), heap.end(), heavier);
        ++next;
    }

    // Depth histogram, deeper leaves counted at max_bits; then the Kraft sum is
    // brought back to exactly one by pushing leaves down from the deepest level
    // that still has room.
    std::array<int, 33> at_depth{};
    for (int i = 0; i < n; ++i) {
        int d = 0;
        for (int p = parent[i]; p >= 0; p = parent[p])
            ++d;
        ++at_depth[std::min(d, max_bits)];
    }
    std::uint64_t kraft = 0;
    for (int d = 1; d <= max_bits; ++d)
        kraft += static_cast<std::uint64_t>(at_depth[d]) << (max_bits - d);
    while (kraft > (std::uint64_t{1} << max_bits)) {
        --at_depth[max_bits];
        for (int d = max_bits - 1; d > 0; --d) {
            if (at_depth[d] != 0) {
                --at_depth[d];
                at_depth[d + 1] += 2;
                break;
            }
        }
        --kraft;
    }

    // Shortest codes to the most frequent symbols.
    std::vector<int> order(used);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return freq[a] > freq[b]; });
    std::size_t k = 0;
    for (int d = 1; d <= max_bits; ++d)
        for (int c = 0; c < at_depth[d]; ++c)
            lengths[order[k++]] = static_cast<std::uint8_t>(d);
}

void canonical_codes(const std::uint8_t* lengths, int count, std::uint16_t* codes)
{
    std::array<unsigned, 18> per_length{};
    for (int i = 0; i < count; ++i)
        ++per_length[lengths[i]];
    per_length[0] = 0;
    std::array<unsigned, 18> next{};
    for (int d = 1; d <= kMaxCodeBits; ++d)
        next[d + 1] = (next[d] + per_length[d]) << 1;
    for (int i = 0; i < count; ++i)
        codes[i] = lengths[i] ? static_cast<std::uint16_t>(next[lengths[i]]++) : 0;
}

void Lh5Block::match(unsigned length, unsigned distance)
{
    symbols_.push_back(static_cast<std::uint16_t>(length + 253));
    offsets_.push_back(static_cast<std::uint16_t>(distance - 1));
}

void Lh5Block::flush(BitWriter& out)
{
    if (symbols_.empty())
        return;
    std::array<std::uint32_t, kNC> c_freq{};
    std::array<std::uint32_t, kNP> p_freq{};
    for (auto s : symbols_)
        ++c_freq[s];
    for (auto o : offsets_)
        ++p_freq[bit_length(o)];

    std::array<std::uint8_t, kNC> c_len{};
    std::array<std::uint16_t, kNC> c_code{};
    std::array<std::uint8_t, kNP> p_len{};
    std::array<std::uint16_t, kNP> p_code{};
    huffman_lengths(c_freq.data(), kNC, kMaxCodeBits, c_len.data());
    huffman_lengths(p_freq.data(), kNP, kMaxCodeBits, p_len.data());
    canonical_codes(c_len.data(), kNC, c_code.data());
    canonical_codes(p_len.data(), kNP, p_code.data());

    out.put(16, static_cast<std::uint32_t>(symbols_.size()));
    {
        int n = kNC;
        while (n > 0 && c_len[n - 1] == 0)
            --n;
        std::array<std::uint32_t, kNT> t_freq{};
        walk_c_lengths(c_len.data(), n, [&](int sym, int, int) { ++t_freq[sym]; });
        std::array<std::uint8_t, kNT> t_len{};
        std::array<std::uint16_t, kNT> t_code{};
        huffman_lengths(t_freq.data(), kNT, kMaxCodeBits, t_len.data());
        canonical_codes(t_len.data(), kNT, t_code.data());
        write_pt_lengths(out, t_len.data(), kNT, kTBits, 3);
        out.put(kCBits, static_cast<std::uint32_t>(n));
        walk_c_lengths(c_len.data(), n, [&](int sym, int bits, int value) {
            out.put(t_len[sym], t_code[sym]);
            if (bits)
                out.put(bits, static_cast<std::uint32_t>(value));
        });
    }
    // No match in the block: the short form, an empty table and a dummy code.
    const bool no_positions = none_used(p_freq.data(), kNP);
    if (no_positions) {
        out.put(kPBits, 0);
        out.put(kPBits, 0);
    } else {
        write_pt_lengths(out, p_len.data(), kNP, kPBits, -1);
    }

    std::size_t next_offset = 0;
    for (auto s : symbols_) {
        out.put(c_len[s], c_code[s]);
        if (s < 256)
            continue;
        const unsigned offset = offsets_[next_offset++];
        const int bits = bit_length(offset);
        out.put(p_len[bits], p_code[bits]);
        if (bits > 1)
            out.put(bits - 1, offset & ((1u << (bits - 1)) - 1));
    }
    symbols_.clear();
    offsets_.clear();
}

}  // namespace ostrel::lzh
