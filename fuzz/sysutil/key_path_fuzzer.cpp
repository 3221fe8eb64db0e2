// The key-path parser and the verb texts on arbitrary input: a path is refused
// or gives non-empty words without quotes that parse the same once quoted
// again; the Exec line made of a command line is one line naming the file.
//
// Input: a key path, then (after the first 0x01) a verb text and a command line
// separated by 0x02.
#include "sysutil/registry_internal.h"

#include <cstdint>
#include <cstring>
#include <string>

using namespace registry_sysutil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = all.find('\x01');
    const std::string path = all.substr(0, cut).c_str();   // a C text ends at its terminator
    const std::string rest = cut == std::string::npos ? "" : all.substr(cut + 1);

    std::vector<std::string> words;
    if (key_path_words(path.c_str(), &words)) {
        if (path.size() > SYSUTIL_MAX_KEY_PATH || words.empty())
            __builtin_trap();
        std::string again;
        for (const std::string& w : words) {
            if (w.empty() || w.find('"') != std::string::npos || w.size() > path.size())
                __builtin_trap();
            again += (again.empty() ? "\"" : " \"") + w + "\"";
        }
        std::vector<std::string> reparsed;
        if (again.size() <= SYSUTIL_MAX_KEY_PATH
            && (!key_path_words(again.c_str(), &reparsed) || reparsed != words))
            __builtin_trap();
    } else if (!words.empty()) {
        __builtin_trap();
    }

    const std::size_t split = rest.find('\x02');
    const std::string verb_text = rest.substr(0, split).c_str();
    const std::string command = split == std::string::npos ? "" : rest.substr(split + 1).c_str();
    const Verb verb = derive_verb(verb_text.c_str(), nullptr);
    if (verb.key.find('&') != std::string::npos || verb.menu.size() > verb_text.size())
        __builtin_trap();
    const std::string exec = exec_line_of(command);
    if (exec.find('\n') != std::string::npos || exec.find("%f") == std::string::npos)
        __builtin_trap();
    return 0;
}
