// Fuzzer support: a silent output table and a scratch file for the input.
#ifndef OSTREL_FUZZ_APPS_IO_H
#define OSTREL_FUZZ_APPS_IO_H

#include <cstddef>
#include <cstdint>
#include <string>

void fuzz_silence_io();
/* Writes the bytes to a per-process scratch file and returns its path. */
const std::string& fuzz_scratch_file(const uint8_t* data, size_t size);

#endif
