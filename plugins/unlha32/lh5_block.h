// One -lh5- block: the symbols the match finder produced, turned into Huffman code
// tables and written with the block's code-length tables in front. Kept apart from
// the match finder so that each can be read on its own.
#pragma once

#include <cstdint>
#include <vector>

namespace ostrel::lzh {

// Bit output, most significant bit first, as LZH decoders read it.
class BitWriter {
public:
    void put(int bits, std::uint32_t value);
    // Moves the whole bytes out, keeping a partial last byte.
    std::vector<std::uint8_t>& bytes() { return out_; }
    // Pads the last byte with zero bits.
    void finish();

private:
    std::vector<std::uint8_t> out_;
    std::uint64_t acc_ = 0;
    int count_ = 0;
};

class Lh5Block {
public:
    // The format allows 65535; shorter blocks follow data that changes character
    // (text, then machine code) with fresh tables, for about 1% less output.
    static constexpr int kMaxSymbols = 16384;

    void literal(std::uint8_t byte) { symbols_.push_back(byte); }
    void match(unsigned length, unsigned distance);  // length 3..256, distance 1..8192
    bool full() const { return symbols_.size() >= kMaxSymbols; }
    bool empty() const { return symbols_.empty(); }
    // Writes the block and starts a new one.
    void flush(BitWriter& out);

private:
    std::vector<std::uint16_t> symbols_;  // 0-255 bytes, 256-509 match lengths
    std::vector<std::uint16_t> offsets_;  // distance - 1 of each match, in order
};

// Huffman code lengths limited to `max_bits`; 0 for an unused symbol. A lone used
// symbol gets a one-bit code with a partner, so every table is a complete code.
void huffman_lengths(const std::uint32_t* freq, int count, int max_bits, std::uint8_t* lengths);
// Canonical codes for the lengths (shorter codes first, then symbol order).
void canonical_codes(const std::uint8_t* lengths, int count, std::uint16_t* codes);

}  // namespace ostrel::lzh
