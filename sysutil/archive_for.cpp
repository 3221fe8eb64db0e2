// archiver_for: the process-wide archiver of each format, made and bound on
// first use and kept; a missing component leaves its format without one.
#include "sysutil/archive_internal.h"

#include <memory>

namespace {

std::unique_ptr<LzhArchiver> lzh;
std::unique_ptr<ZipArchiver> zip;
std::unique_ptr<CabArchiver> cab;
std::unique_ptr<TarArchiver> tar;

template <class Variant>
Archiver* bound(std::unique_ptr<Variant>& slot)
{
    if (!slot) {
        slot = std::make_unique<Variant>();
        slot->bind();
    }
    return slot->loaded() ? slot.get() : nullptr;
}

}  // namespace

Archiver* archiver_for(const char* file)
{
    if (!file)
        return nullptr;
    if (has_extension(file, ".lzh"))
        return bound(lzh);
    if (has_extension(file, ".zip"))
        return bound(zip);
    if (has_extension(file, ".cab"))
        return bound(cab);
    if (has_extension(file, ".gz") || has_extension(file, ".tgz") || has_extension(file, ".z"))
        return bound(tar);
    return nullptr;
}

void archiver_release_all()
{
    lzh.reset();
    zip.reset();
    cab.reset();
    tar.reset();
}
