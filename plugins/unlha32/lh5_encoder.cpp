// The -lh5- match finder and driver. Hash chains over three-byte prefixes find the
// longest earlier match within the 8 KiB dictionary; a match is held back one byte
// to see whether the next position starts a longer one (lazy matching), with the
// chain lengths of a middle compression level, so that speed stays near gzip's.
#include "plugins/unlha32/lh5_encoder.h"

#include "plugins/unlha32/lh5_block.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace ostrel::lzh {
namespace {

constexpr std::uint32_t kWindow = 8192;
constexpr std::uint32_t kMaxDistance = kWindow - 1;  // keeps every chain slot live
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 256;
constexpr std::uint32_t kLookahead = kMaxMatch + kMinMatch + 1;
constexpr std::uint32_t kBufferSize = (1u << 20) + kWindow;
constexpr int kHashBits = 15;
// Search effort: chains walked, the length that ends a search, the length above
// which no lazy look is taken, the length after which chains are walked less.
constexpr unsigned kMaxChain = 128;
constexpr unsigned kNiceLength = 128;
constexpr unsigned kMaxLazy = 16;
constexpr unsigned kGoodLength = 8;
// A three-byte match further back than this costs more than three bytes.
constexpr std::uint32_t kFarShortMatch = 4096;

const std::array<std::uint16_t, 256>& crc_table()
{
    static const auto table = [] {
        std::array<std::uint16_t, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
            t[i] = static_cast<std::uint16_t>(c);
        }
        return t;
    }();
    return table;
}

class MatchFinder {
public:
    MatchFinder(const ByteSource& source, Lh5Result& result)
        : source_(source), result_(result), buffer_(kBufferSize), head_(1u << kHashBits, 0), chain_(kWindow, 0)
    {
    }

    // Keeps at least kLookahead bytes ahead of `pos` unless the input ended.
    bool refill(std::uint32_t pos)
    {
        if (eof_ || end_ - pos >= kLookahead)
            return true;
        const std::uint32_t keep_from = std::max(base_, pos > kWindow ? pos - kWindow : base_);
        const std::uint32_t shift = keep_from - base_;
        if (shift > 0) {
            std::memmove(buffer_.data(), buffer_.data() + shift, end_ - keep_from);
            base_ = keep_from;
        }
        while (!eof_ && end_ - base_ < kBufferSize) {
            std::uint8_t* at = buffer_.data() + (end_ - base_);
            const long long got = source_(at, kBufferSize - (end_ - base_));
            if (got < 0)
                return false;
            if (got == 0) {
                eof_ = true;
                break;
            }
            result_.crc = lzh_crc16(result_.crc, at, static_cast<std::size_t>(got));
            result_.original += static_cast<std::uint64_t>(got);
            if (result_.original > kLh5MaxInput)
                return false;
            end_ += static_cast<std::uint32_t>(got);
        }
        return true;
    }

    std::uint32_t end() const { return end_; }
    std::uint8_t at(std::uint32_t pos) const { return buffer_[pos - base_]; }

    void insert(std::uint32_t pos)
    {
        if (end_ - pos < kMinMatch)
            return;
        const std::uint8_t* p = buffer_.data() + (pos - base_);
        const std::uint32_t key = (p[0] | (p[1] << 8) | (p[2] << 16)) * 2654435761u >> (32 - kHashBits);
        chain_[pos & (kWindow - 1)] = head_[key];
        head_[key] = pos;
    }

    // Longest match at `pos` (already inserted) longer than `better_than`; its length,
    // or `better_than` when there is none.
    unsigned longest(std::uint32_t pos, unsigned better_than, std::uint32_t& distance) const
    {
        const unsigned limit = static_cast<unsigned>(std::min<std::uint32_t>(kMaxMatch, end_ - pos));
        unsigned best = better_than;
        if (limit < kMinMatch || best >= limit)
            return best;
        unsigned chain = best >= kGoodLength ? kMaxChain / 4 : kMaxChain;
        const std::uint8_t* here = buffer_.data() + (pos - base_);
        std::uint32_t cand = chain_[pos & (kWindow - 1)];
        while (cand != 0 && cand < pos && pos - cand <= kMaxDistance && chain-- > 0) {
            const std::uint8_t* there = buffer_.data() + (cand - base_);
            if (there[best] == here[best] && there[0] == here[0] && there[1] == here[1]) {
                unsigned len = 2;
                while (len < limit && there[len] == here[len])
                    ++len;
                if (len > best) {
                    best = len;
                    distance = pos - cand;
                    if (len >= kNiceLength || len == limit)
                        break;
                }
            }
            const std::uint32_t next = chain_[cand & (kWindow - 1)];
            if (next >= cand)
                break;
            cand = next;
        }
        return best;
    }

private:
    const ByteSource& source_;
    Lh5Result& result_;
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint32_t> head_;
    std::vector<std::uint32_t> chain_;
    // Positions count from kWindow, so that 0 in the tables means "none" and every
    // position before the first lies out of reach.
    std::uint32_t base_ = kWindow;
    std::uint32_t end_ = kWindow;
    bool eof_ = false;
};

}  // namespace

std::uint16_t lzh_crc16(std::uint16_t crc, const void* data, std::size_t size)
{
    const auto& table = crc_table();
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc = static_cast<std::uint16_t>(table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8));
    return crc;
}

bool lh5_encode(const ByteSource& source, const ByteSink& sink, Lh5Result& result)
{
    result = {};
    MatchFinder finder(source, result);
    Lh5Block block;
    BitWriter bits;
    auto drain = [&]() {
        auto& out = bits.bytes();
        if (out.empty())
            return true;
        result.packed += out.size();
        const bool ok = sink(out.data(), out.size());
        out.clear();
        return ok;
    };
    auto emit_literal = [&](std::uint8_t byte) {
        block.literal(byte);
        if (block.full())
            block.flush(bits);
    };
    auto emit_match = [&](unsigned length, std::uint32_t distance) {
        block.match(length, distance);
        if (block.full())
            block.flush(bits);
    };

    std::uint32_t pos = kWindow;
    unsigned held_len = kMinMatch - 1;  // the match found one byte back
    std::uint32_t held_dist = 0;
    bool held_literal = false;  // the byte one back is not yet emitted
    for (;;) {
        if (!finder.refill(pos))
            return false;
        if (pos == finder.end())
            break;
        finder.insert(pos);
        unsigned len = kMinMatch - 1;
        std::uint32_t dist = 0;
        if (held_len < kMaxLazy) {
            len = finder.longest(pos, std::max(held_len, kMinMatch - 1), dist);
            if (len <= held_len)
                len = kMinMatch - 1;
            else if (len == kMinMatch && dist > kFarShortMatch)
                len = kMinMatch - 1;
        }
        if (held_len >= kMinMatch && len <= held_len) {
            emit_match(held_len, held_dist);
            const std::uint32_t next = pos - 1 + held_len;
            for (std::uint32_t q = pos + 1; q < next; ++q)
                finder.insert(q);
            pos = next;
            held_literal = false;
            held_len = kMinMatch - 1;
        } else {
            if (held_literal)
                emit_literal(finder.at(pos - 1));
            held_literal = true;
            held_len = len;
            held_dist = dist;
            ++pos;
        }
        if (bits.bytes().size() >= (1u << 16) && !drain())
            return false;
    }
    if (held_literal)
        emit_literal(finder.at(pos - 1));
    block.flush(bits);
    bits.finish();
    return drain();
}

}  // namespace ostrel::lzh
