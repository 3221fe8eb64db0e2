// Compresses arbitrary bytes with the -lh5- writer (fed in pieces whose sizes the
// input's first byte chooses), wraps them in a level-2 member and reads them back
// through libarchive: the bytes must come back unchanged whenever the member is
// one the writer would keep packed.
#include "plugins/unlha32/lh5_encoder.h"
#include "plugins/unlha32/lzh_header.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ostrel::lzh;
    if (size < 1)
        return 0;
    const std::size_t piece = 1 + data[0] * 37;
    const std::uint8_t* in = data + 1;
    const std::size_t n = size - 1;
    std::size_t at = 0;
    std::vector<std::uint8_t> packed;
    Lh5Result r;
    const bool ok = lh5_encode(
        [&](std::uint8_t* b, std::size_t cap) {
            const std::size_t k = std::min({cap, piece, n - at});
            std::copy_n(in + at, k, b);
            at += k;
            return static_cast<long long>(k);
        },
        [&](const std::uint8_t* d, std::size_t k) {
            packed.insert(packed.end(), d, d + k);
            return true;
        },
        r);
    if (!ok || r.original != n)
        std::abort();
    // The writer stores what does not get smaller (every input of a few bytes),
    // so only packed members reach readers.
    if (packed.size() >= n)
        return 0;
    LzhEntry e{"f", false, "-lh5-", static_cast<std::uint32_t>(packed.size()), static_cast<std::uint32_t>(n), 0,
               r.crc, 0644};
    std::vector<std::uint8_t> archive_bytes = lzh_level2_header(e);
    archive_bytes.insert(archive_bytes.end(), packed.begin(), packed.end());
    archive_bytes.push_back(0);

    archive* a = archive_read_new();
    archive_read_support_format_lha(a);
    std::vector<std::uint8_t> back;
    archive_entry* entry = nullptr;
    if (archive_read_open_memory(a, archive_bytes.data(), archive_bytes.size()) != ARCHIVE_OK
        || archive_read_next_header(a, &entry) != ARCHIVE_OK)
        std::abort();
    std::uint8_t buf[8192];
    la_ssize_t got;
    while ((got = archive_read_data(a, buf, sizeof buf)) > 0)
        back.insert(back.end(), buf, buf + got);
    if (got < 0 || back.size() != n || !std::equal(back.begin(), back.end(), in))
        std::abort();
    archive_read_free(a);
    return 0;
}
