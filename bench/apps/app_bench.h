// What the program benchmarks share: the programs' messages and questions answered
// silently, and a process entry that gives them a temporary folder.
#pragma once

#include <string>

// Every message of the programs goes nowhere, every question is answered yes, and a
// wait for a key gets `key`.
void app_bench_silence(int key);

// Runs the benchmarks of the command line in a fresh temporary folder, `*dir`, named
// after `tag`, after set_up (when given) succeeded; removes the folder and ends the
// process without tearing the runtime's windows down one by one.
[[noreturn]] void app_bench_main(int argc, char** argv, const char* tag, std::string* dir, bool (*set_up)());
