// nkf_convert and nkf_convert_n: the bridge to "nkf32.dll". The component is
// loaded on the first call with options and kept; a call without options frees it,
// and the next call with options loads it and looks the entry points up again.
// A missing entry point unloads the component rather than being called.
#include "ostrel/text_convert.h"
#include "platform/win/winbase.h"

#include <climits>

namespace {

using set_option_fn = int (*)(const char* options);
using convert_fn = int (*)(char* output, const char* input);
using convert_sized_fn = int (*)(char* output, size_t size, const char* input, size_t* needed);

struct Converter {
    HMODULE module;
    set_option_fn set_option;
    convert_fn convert;
    convert_sized_fn convert_sized;  // a later addition: may be missing
};

Converter nkf{};

void release()
{
    FreeLibrary(nkf.module);
    nkf = Converter{};
}

bool bind()
{
    if (nkf.module)
        return true;
    nkf.module = LoadLibraryA("nkf32.dll");
    if (!nkf.module)
        return false;
    nkf.set_option = reinterpret_cast<set_option_fn>(GetProcAddress(nkf.module, "SetNkfOption"));
    nkf.convert = reinterpret_cast<convert_fn>(GetProcAddress(nkf.module, "NkfConvert"));
    nkf.convert_sized = reinterpret_cast<convert_sized_fn>(GetProcAddress(nkf.module, "NkfConvertSized"));
    if (!nkf.set_option || !nkf.convert) {
        release();
        return false;
    }
    return true;
}

}  // namespace

int nkf_convert(const char* options, const char* input, char* output)
{
    if (!options || !*options) {
        release();
        return 1;
    }
    if (!input || !output || !bind() || nkf.set_option(options) != 0)
        return 0;
    return nkf.convert(output, input) == 0 ? 1 : 0;
}

long nkf_convert_n(const char* options, const char* input, char* output, size_t size)
{
    if (!options || !*options) {
        release();
        return -1;
    }
    if (!input || (!output && size) || !bind() || !nkf.convert_sized || nkf.set_option(options) != 0)
        return -1;
    size_t needed = 0;
    if (nkf.convert_sized(size ? output : nullptr, size, input, &needed) < 0 || needed > LONG_MAX)
        return -1;
    return static_cast<long>(needed);
}
