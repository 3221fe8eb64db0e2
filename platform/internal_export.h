// Internal exports of libostrel. The library hides every symbol that is not part
// of the public headers; the declarations of an internal header between
// OSTREL_INTERNAL_EXPORT_BEGIN and OSTREL_INTERNAL_EXPORT_END stay visible as well,
// for what libostrel-sysutil (the platform layer), the program entry of
// libostrel_main and the tests, benchmarks and fuzzers reach inside the library.
// They are not an API: programs use include/ only, and these may change at any time.
#pragma once

#define OSTREL_INTERNAL_EXPORT_BEGIN _Pragma("GCC visibility push(default)")
#define OSTREL_INTERNAL_EXPORT_END _Pragma("GCC visibility pop")
