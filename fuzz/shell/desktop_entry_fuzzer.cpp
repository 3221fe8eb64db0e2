// Reads arbitrary bytes as a desktop entry and its Exec value, splits them as a
// command line, and checks that what the writer produces reads back unchanged:
// an argument through the Exec quoting, a value through the string escapes.
#include "sysutil/shell_internal.h"

#include <cstdint>
#include <cstring>
#include <string>

using namespace shell_detail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    DesktopEntry entry;
    if (parse_desktop_entry(text, size, entry)) {
        std::vector<std::string> args;
        if (const std::string* exec = entry.find("Exec"))
            (void)split_exec(*exec, args);
    }
    std::string raw(text, size);
    std::vector<std::string> words;
    (void)split_words(raw.c_str(), words);

    // the writer's side: any text without a terminator survives a round trip
    raw.resize(std::strlen(raw.c_str()));
    std::vector<std::string> back;
    if (!split_exec(quote_exec_argument(raw), back) || back.size() != 1 || back[0] != raw)
        __builtin_trap();
    const std::string file = "[Desktop Entry]\nExec=" + escape_value(raw) + "\n";
    if (!parse_desktop_entry(file.data(), file.size(), entry) || !entry.find("Exec") || *entry.find("Exec") != raw)
        __builtin_trap();
    return 0;
}
