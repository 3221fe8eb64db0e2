// Fuzzer support: nothing may print, block or exit while inputs are tried.
#include "fuzz_io.h"

#include "app_io.h"

#include <cstdio>
#include <unistd.h>

void fuzz_silence_io()
{
    AppIo io;
    io.print = [](const char*) {};
    io.info = [](const char*, const char*) { return 1; };
    io.yesno = [](const char*, const char*) { return 1; };
    io.getkey = []() { return int('\n'); };
    io.quit = [](int) {};
    app_io_set(io);
}

const std::string& fuzz_scratch_file(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/ostrel-apps-fuzz-" + std::to_string(getpid()) + ".txt";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}
