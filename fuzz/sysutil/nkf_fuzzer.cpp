// Runs the converter on arbitrary bytes and options through nkf_convert_n, into
// heap buffers of exactly the size given (and through nkf_convert into exactly
// the documented 4 x + 8 bytes), so a write past either is an AddressSanitizer
// report; a result that claims to fit must be there, terminated; UTF-8 converted
// directly equals UTF-8 converted through its checked form.
//
// Input: one size byte, then the option text up to the first line feed (at most
// 24 bytes), then the text to convert (cut at its first zero byte).
#include "ostrel/sysutil.h"
#include "platform/win/winbase.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv(OSTREL_COMPONENT_DIR_VARIABLE, OSTREL_FUZZ_COMPONENT_DIR, 0);
    // Held for the whole run: libFuzzer keeps reading the component's coverage
    // counters, so the bridge's free must never unmap it.
    if (!LoadLibraryA("nkf32.dll"))
        std::abort();
    return 0;
}

namespace {

std::string converted(const char* options, const std::string& in)
{
    long n = nkf_convert_n(options, in.c_str(), nullptr, 0);
    if (n < 0)
        return "<failed>";
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    nkf_convert_n(options, in.c_str(), out.data(), out.size());
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::size_t out_size = data[0];
    const char* rest = reinterpret_cast<const char*>(data + 1);
    std::size_t left = size - 1;
    const void* nl = std::memchr(rest, '\n', left < 24 ? left : 24);
    std::size_t options_len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - rest) : 0;
    std::string options(rest, options_len);
    options = options.c_str();  // cut at a zero byte
    if (options.empty())
        options = "-w";
    std::string input(rest + (nl ? options_len + 1 : 0), rest + left);
    input = input.c_str();

    std::unique_ptr<char[]> small(new char[out_size ? out_size : 1]);
    long n = nkf_convert_n(options.c_str(), input.c_str(), small.get(), out_size);
    if (n >= 0 && static_cast<std::size_t>(n) < out_size && small[static_cast<std::size_t>(n)] != '\0')
        __builtin_trap();

    std::size_t bound = nkf_output_size(input.size());
    std::unique_ptr<char[]> exact(new char[bound]);
    if (nkf_convert(options.c_str(), input.c_str(), exact.get()) == 1 && !std::memchr(exact.get(), '\0', bound))
        __builtin_trap();
    // UTF-8 going straight into another encoding (broken bytes met by iconv) must
    // come out as it does through a checked UTF-8 text first.
    const char* to = data[0] % 3 == 0 ? "-W -s" : data[0] % 3 == 1 ? "-W -e" : "-W -j";
    if (input.size() < 4096 && converted(to, input) != converted(to, converted("-W -w", input)))
        __builtin_trap();
    if (data[0] == 0xff)
        nkf_convert(nullptr, nullptr, nullptr);  // the free-and-load-again path
    return 0;
}
