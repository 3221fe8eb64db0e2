// Entry points of the image area that are still being written: each answers failure.
#include "ostrel/bmap.h"
#include "ostrel/image.h"

_bmap* _dib_to_bmap(const void*, const void*) { return nullptr; }
_bmap* _dib_to_bmap_n(const void*, std::size_t, std::size_t) { return nullptr; }
_bmap* _dib_decode(const void*, std::size_t, std::size_t) { return nullptr; }
_bmap* _bmap_shrink(const _bmap*, double, double, int) { return nullptr; }
_bmap* _bmap_shrink_box(const _bmap*, int, int) { return nullptr; }
_bmap* _bmap_shrink_area(const _bmap*, double, int) { return nullptr; }
_bmap* _bmap_shrink_bilinear(const _bmap*, double, int) { return nullptr; }
int _shrink_size(int, int, double, int*, int*) { return 0; }
_bmap* _bmap_rotate(const _bmap*, int) { return nullptr; }
void* _page_to_dib(int, int*, short) { return nullptr; }
void* _bmap_to_dib(const _bmap*, int*) { return nullptr; }
int _page_to_bmpfile(FILE*, int, int) { return 0; }
int _savebmp(const char*, int, int) { return 0; }
int _bmap_savebmp(const char*, const _bmap*) { return 0; }

void _setimg_decoders(ostrel_size_fn, ostrel_size_fn, ostrel_size2_fn, ostrel_size_fn, ostrel_jpegload_fn,
                      ostrel_load_fn, ostrel_load_fn, ostrel_load_fn) {}
int _getfile_size(const char*, int*, int*, int*, int*) { return 0; }
_bmap* _getfile_bmap(const char*, double, int) { return nullptr; }
int _getbmp_size(const char*, int*, int*, int*, int*) { return 0; }
_bmap* _getbmp_bmap(const char*) { return nullptr; }
_bmap* _readbmp_bmap(const char*) { return nullptr; }
int _geticon_size(const char*, int*, int*, int*, int*) { return 0; }
int _getcursor_size(const char*, int*, int*, int*, int*) { return 0; }
_bmap* _geticon_bmap(const char*) { return nullptr; }
int _getwmf_size(const char*, int*, int*, int*, int*) { return 0; }
_bmap* _getwmf_bmap(const char*, double) { return nullptr; }
int _drawfile_to_page(const char*, int, std::uint32_t) { return 0; }
_bmap* _associated_icon_bmap(const char*) { return nullptr; }

_wmfile::_wmfile() : header{}, mf(nullptr) {}
_wmfile::~_wmfile() {}
int _wmfile::read_header(FILE*) { return 0; }
int _wmfile::load(FILE*) { return 0; }
int _wmfile::extent_width() const { return header.right - header.left; }
int _wmfile::extent_height() const { return header.bottom - header.top; }
int _wmfile::pixel_width() const { return 0; }
int _wmfile::pixel_height() const { return 0; }
const char* _wmfile::tmppath() { return "/tmp/~ostrel.mf"; }
