// "nkf32.dll": the text converter between Japanese encodings that programs load by
// name. SetNkfOption sets the options of the conversions that follow; NkfConvert
// converts a terminated text into an output the caller sized at 4 x the input
// plus 8 bytes (it never writes more: a result that would not fit fails);
// NkfConvertSized is the same conversion into an output of a given size.
#include "nkf_internal.h"

#include <cstring>
#include <new>

#define NKF_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

nkf::Options current;
bool refused = false;

// The longest result, terminator included, that the unsized call may write.
bool within_unsized_bound(std::size_t input, std::size_t result)
{
    if (input > (static_cast<std::size_t>(-1) - 8) / 4)
        return true;
    return result + 1 <= 4 * input + 8;
}

// No exception crosses the component's border: memory running out fails the call.
bool convert_quietly(const char* input, std::size_t n, nkf::Result& result)
{
    try {
        nkf::convert(current, input, n, result);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

// 0 when the options are taken; -1 when the text holds an unknown option (the
// conversions then fail until options are taken again).
NKF_EXPORT int SetNkfOption(const char* options)
{
    refused = !nkf::parse_options(options, current);
    return refused ? -1 : 0;
}

// 0 when converted; -1 with nothing written when the options were refused, an
// argument is null, memory ran out or the result would exceed 4 x strlen(input) + 8 bytes.
NKF_EXPORT int NkfConvert(char* output, const char* input)
{
    if (refused || !output || !input)
        return -1;
    std::size_t n = std::strlen(input);
    nkf::Result result;
    if (!convert_quietly(input, n, result))
        return -1;
    if (!within_unsized_bound(n, result.size))
        return -1;
    std::memcpy(output, result.data, result.size);
    output[result.size] = '\0';
    return 0;
}

// 0 when the result and its terminator fit in `size` bytes (and are written); 1
// when they do not (nothing written); -1 on refused options, a null input or no memory.
// `needed` (when given) receives the result's length without the terminator.
NKF_EXPORT int NkfConvertSized(char* output, std::size_t size, const char* input, std::size_t* needed)
{
    if (refused || !input)
        return -1;
    nkf::Result result;
    if (!convert_quietly(input, std::strlen(input), result))
        return -1;
    if (needed)
        *needed = result.size;
    if (!output || result.size >= size)
        return 1;
    std::memcpy(output, result.data, result.size);
    output[result.size] = '\0';
    return 0;
}
