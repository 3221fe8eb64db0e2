// Hands arbitrary bytes to a component as an archive: lists it, checks it, walks it
// with FindFirst/FindNext and extracts it into a scratch directory through the
// command entry, as the bridge would. Nothing may crash, overrun or land outside
// the scratch directory (a file beside it is checked to be untouched).
#include "ostrel/archive.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#ifdef FUZZ_LZH
#define ENTRY(name) Unlha##name
extern "C" int Unlha(HWND, const char*, char*, DWORD);
#define LIST "l \"%s\""
#define EXTRACT "x -n1 \"%s\" \"%s\\\""
#define EXTENSION ".lzh"
#else
#define ENTRY(name) Cab##name
extern "C" int Cab(HWND, const char*, char*, DWORD);
#define LIST "-l \"%s\""
#define EXTRACT "-x -i -o \"%s\" \"%s\\\" *.*"
#define EXTENSION ".cab"
#endif
extern "C" int ENTRY(CheckArchive)(const char*, int);
extern "C" HARC ENTRY(OpenArchive)(HWND, const char*, DWORD);
extern "C" int ENTRY(CloseArchive)(HARC);
extern "C" int ENTRY(FindFirst)(HARC, const char*, INDIVIDUALINFO*);
extern "C" int ENTRY(FindNext)(HARC, INDIVIDUALINFO*);

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fs::path root = fs::temp_directory_path() / ("archive_read_fuzz_" + std::to_string(getpid()));
    const fs::path archive = root / ("in" EXTENSION);
    const fs::path out = root / "out";
    const fs::path witness = root / "witness";
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(out);
    if (std::FILE* f = std::fopen(witness.c_str(), "wb"))
        std::fclose(f);
    if (std::FILE* f = std::fopen(archive.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    char line[1024], report[4096];
    std::snprintf(line, sizeof line, LIST, archive.c_str());
#ifdef FUZZ_LZH
    Unlha(nullptr, line, report, sizeof report);
#else
    Cab(nullptr, line, report, sizeof report);
#endif
    ENTRY(CheckArchive)(archive.c_str(), 2);
    if (HARC h = ENTRY(OpenArchive)(nullptr, archive.c_str(), 0)) {
        INDIVIDUALINFO info;
        for (int rc = ENTRY(FindFirst)(h, "*", &info), n = 0; rc == 0 && n < 10000; rc = ENTRY(FindNext)(h, &info), ++n) {
        }
        ENTRY(CloseArchive)(h);
    }
    std::snprintf(line, sizeof line, EXTRACT, archive.c_str(), out.c_str());
#ifdef FUZZ_LZH
    Unlha(nullptr, line, report, sizeof report);
#else
    Cab(nullptr, line, report, sizeof report);
#endif
    for (const auto& e : fs::directory_iterator(root))
        if (e.path() != archive && e.path() != out && e.path() != witness)
            std::abort();  // something landed beside the target directory
    if (fs::file_size(witness) != 0)
        std::abort();
    return 0;
}
