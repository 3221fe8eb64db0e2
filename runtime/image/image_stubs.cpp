// Entry points of the image area that are still being written: each answers failure.
#include "ostrel/bmap.h"
#include "ostrel/image.h"


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
