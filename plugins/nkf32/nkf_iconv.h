// The conversions that glibc's iconv does for the converter, with the converter's
// own answer to bytes iconv refuses (U+FFFD when decoding, '?' when encoding).
#ifndef NKF32_NKF_ICONV_H
#define NKF32_NKF_ICONV_H

#include "nkf_internal.h"

namespace nkf {

// iconv's name for an encoding when decoding it.
const char* charset_name(Encoding e);

// Whether n bytes decode without a refused byte; an incomplete character at the
// end counts as clean when the bytes are a cut-off sample.
bool decodes_cleanly(const char* charset, const char* in, std::size_t n, bool cut);

}  // namespace nkf

#endif
