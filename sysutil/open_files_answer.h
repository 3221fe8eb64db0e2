// Seam between the open dialog and the selection it leaves behind: the
// dialog's raw answer (one full path, or a directory followed by names, each
// string terminated, the list ending with an empty string) goes through
// open_files_take_answer, which tests feed directly.
#pragma once
#include <cstddef>

// Rearranges the raw answer in `buffer` (capacity bytes) for next_selected_file
// and remembers it; returns the number of strings, 0 (selection cleared) for
// an empty or unterminated answer.
int open_files_take_answer(char* buffer, std::size_t capacity);
void open_files_clear_selection();
