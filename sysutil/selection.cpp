// The selection of the open dialog: the rearrangement of a multiple answer and
// next_selected_file, which hands the chosen files out in turn.
//
// The selection is kept as the library's own copy of the answer, so a caller
// that reuses or frees its buffer cannot leave it dangling.
#include "ostrel/sysutil.h"
#include "sysutil/open_files_answer.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_strings;   // the rearranged answer
std::size_t g_cursor = 0;
std::string g_joined;                 // result of next_selected_file

} // namespace

void open_files_clear_selection()
{
    g_strings.clear();
    g_cursor = 0;
}

int open_files_take_answer(char* buffer, std::size_t capacity)
{
    open_files_clear_selection();
    if (!buffer || capacity < 2)
        return 0;
    std::vector<std::string> raw;
    std::size_t at = 0;
    for (;;) {
        std::size_t n = strnlen(buffer + at, capacity - at);
        if (at + n >= capacity)
            return 0;   // no terminator inside the buffer
        if (n == 0)
            break;
        raw.emplace_back(buffer + at, n);
        at += n + 1;
    }
    if (raw.empty())
        return 0;
    const int count = static_cast<int>(raw.size());
    std::size_t cursor = 0;
    std::vector<std::string> list;
    if (raw.size() == 1) {
        list = raw;
    } else {
        // d, N1 .. Nk becomes d/N2, N3 .. N(k-1), N1, Nk with the cursor on Nk,
        // so the names come out as Nk, N2 .. N(k-1), N1. With two names this is
        // d/N2, N1 from the first string: Nk is N2 and must not appear twice.
        const std::size_t k = raw.size() - 1;
        char joined[SYSUTIL_OPEN_FILES_BUFFER];
        if (raw[0].size() + raw[2].size() + 2 > sizeof joined)
            return 0;
        list.emplace_back(join_path(joined, raw[0].c_str(), raw[2].c_str()));
        for (std::size_t i = 3; i < k; ++i)
            list.push_back(raw[i]);
        list.push_back(raw[1]);
        if (k >= 3) {
            list.push_back(raw[k]);
            cursor = list.size() - 1;
        }
    }
    std::size_t total = 1;
    for (const std::string& s : list)
        total += s.size() + 1;
    if (total > capacity)
        return 0;
    char* w = buffer;
    for (const std::string& s : list) {
        std::memcpy(w, s.c_str(), s.size() + 1);
        w += s.size() + 1;
    }
    *w = '\0';
    g_strings = std::move(list);
    g_cursor = cursor;
    return count;
}

const char* next_selected_file()
{
    if (g_strings.empty())
        return nullptr;
    if (g_strings.size() == 1)
        return g_strings[0].c_str();
    std::string dir = g_strings[0];
    path_dir_part(dir.data());   // shortens only: "d/N2" keeps "d/"
    dir.resize(std::strlen(dir.c_str()));
    const std::string& name = g_strings[g_cursor];
    std::vector<char> out(dir.size() + name.size() + 2);
    join_path(out.data(), dir.c_str(), path_name_part(name.c_str()));
    g_joined = out.data();
    g_cursor = (g_cursor + 1) % g_strings.size();
    return g_joined.c_str();
}
