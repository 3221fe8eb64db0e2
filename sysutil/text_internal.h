// Private helpers of the text functions: stepping over whole UTF-8 sequences
// without ever passing a terminator, and cutting a text back to whole sequences.
#pragma once
#include <cstddef>

namespace sysutil_detail {

// The character after p (p must not point at the terminator). Only real
// continuation bytes are taken into the character, so a broken sequence never
// swallows the terminator or an ASCII byte such as a quote.
const char* next_char(const char* p);

// Removes an incomplete UTF-8 sequence from the end of s (after a cut).
void cut_incomplete_tail(char* s);

inline bool is_trim_space(char c) { return c == ' ' || c == '\r' || c == '\n'; }

} // namespace sysutil_detail
