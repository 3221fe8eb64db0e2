/* ostrel sysutil: text conversion between Japanese encodings through the
 * converter component "nkf32.dll" (shipped in the plug-in directory).
 *
 * Options (one text, blanks between tokens, letters may be joined: "-s -x" is
 * "-sx"): output -w UTF-8 (the default), -w8 UTF-8 with a byte-order mark, -s
 * Shift_JIS (code page 932), -e EUC-JP, -j ISO-2022-JP; input -W, -S, -E, -J
 * (otherwise guessed; a short text that reads as both Shift_JIS and EUC-JP is
 * taken as Shift_JIS); -x keeps half-width katakana (otherwise full-width); -Lu,
 * -Lw, -Lm line ends LF, CR LF, CR; -Z (-Z0) full-width letters and digits to
 * ASCII, -Z1 the ideographic space too. An unknown option fails the call with
 * nothing written. Bytes that do not decode become U+FFFD in UTF-8 output and
 * '?' in the others, as do characters the output encoding lacks.
 */
#ifndef OSTREL_TEXT_CONVERT_H
#define OSTREL_TEXT_CONVERT_H

#include <stddef.h>

/* The output size the unsized call needs: 4 x the input's length plus 8 bytes
 * (escape sequences and half-width katakana made full-width are the longest
 * expansion). The converter never writes more; a result that would not fit in it
 * fails with nothing written (nkf_convert_n converts it). */
inline size_t nkf_output_size(size_t input_length) { return 4 * input_length + 8; }

/* Converts the terminated `input` into `output`, which must hold
 * nkf_output_size(strlen(input)) bytes. The component is loaded on first use.
 * 1 when converted; 0 with nothing written when the component or an entry point
 * is missing, an option is unknown or an argument is null.
 * Null or empty options free the component instead (1); the next call with
 * options loads it again. */
int nkf_convert(const char* options, const char* input, char* output);

/* The same conversion into `output` of `size` bytes, never written past them.
 * Returns the length of the result without its terminator; the result was
 * written (terminated) only when that is less than `size`, and nothing is
 * written otherwise. -1 with nothing written on the failures of nkf_convert;
 * null or empty options free the component and also give -1. */
long nkf_convert_n(const char* options, const char* input, char* output, size_t size);

#endif
