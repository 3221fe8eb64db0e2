// Placeholder bodies of the decoder entries while the real decoders land.
#include "ostrel/decoders.h"
#include <cstddef>

int _getjpg_size(const char*, int*, int*, int*, int*) { return 0; }
_bmap* _getjpg_bmap(const char*, int, int) { return nullptr; }
void _imgerr_context(const char*, const char*) {}
int _imgerr() { return 0; }
void _imgerr_report(const char*) {}
int _imgerr_showboxes(int) { return 1; }
int _getimg_size(const char*, int*, int*, int*, int*) { return 0; }
_bmap* _getimg_bmap(const char*) { return nullptr; }
int _getpng_size(const char*, int*, int*, int*, int*) { return 0; }
_bmap* _getpng_bmap(const char*) { return nullptr; }
int _getpsd_size(const char*, int*, int*) { return 0; }
_bmap* _getpsd_bmap(const char*) { return nullptr; }
int _spi_select(const char*) { return 0; }
int _spi_load(int) { return 0; }
int _getspi_size(const char*, int*, int*, int*, int*) { return 0; }
int _spi_getpicture(const char*, void**, void**) { return 0; }
_bmap* _getspi_bmap(const char*) { return nullptr; }
int _spi_unload_all() { return 0; }
