// Internal records of the GDI layer: drawing objects, device contexts with their
// state and mapping, and the recording (our display list of GDI calls with
// 32-bit parameters). Shared by the files of platform/gdi only.
#pragma once
#include "platform/gdi/meta_records.h"
#include "platform/gdi/record_params.h"
#include "platform/gdi/shared_rows.h"
#include "platform/gdi/wingdi.h"

#include <QImage>
#include <QRegion>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

class QPaintDevice;
class QPainter;

// ---- drawing objects ----
struct GdiObject {
    enum Kind { Pen, Brush, Font, Bitmap, Region, Palette } kind;
    bool stock = false;
    bool deleted = false;       // DeleteObject was called; freed when no DC refers to it
    int refs = 0;               // DC states (current and saved) that hold it
    // pen
    int penStyle = PS_SOLID;
    int penWidth = 0;
    COLORREF penColor = 0;
    // brush
    UINT brushStyle = BS_SOLID;
    COLORREF brushColor = 0;
    int hatch = 0;
    QImage pattern;             // BS_PATTERN: RGB32 pixels
    bool patternMono = false;   // 1-bpp source: 0 bits in the text colour, 1 bits in the background
    // font
    LOGFONTA lf{};
    // bitmap (RGB32 pixels; 1-bpp bitmaps keep black and white pixels)
    QImage image;
    int bpp = 32;
    // region (device rectangle)
    RECT rect{};

    explicit GdiObject(Kind k) : kind(k) {}
};

bool gdi_valid_object(HGDIOBJ obj);
GdiObject* gdi_new_object(GdiObject::Kind k);
void gdi_retain(GdiObject* o);
void gdi_release(GdiObject* o);
GdiObject* gdi_stock(int which);

// ---- recording ----
// A payload shared between recordings (copies of a content share it): text bytes,
// a font face, or a picture. Pictures keep the DIB bytes and/or the decoded image,
// each made once on first use.
struct MetaBlob {
    std::vector<BYTE> bytes;                 // packed DIB (header, colours, rows) or text
    // A DIB whose rows stay in a bitmap's shared rows: `bytes` holds the header and
    // colours, the rows are `apartSize` bytes at `apartAt` in this view.
    std::shared_ptr<const SharedRowsView> apart;
    std::size_t apartAt = 0, apartSize = 0;
    mutable QImage image;                    // decoded picture (top-down, RGB32)
    mutable bool decoded = false;
    mutable bool mono = false;               // decoded from a two-colour 1-bpp DIB
    mutable bool bottomUp = false;           // the DIB's rows run bottom-up
    const QImage& picture() const;           // decodes the DIB once (null image on bad data)
    // A plain 24-bit DIB read in place, without decoding: its rows as a BGR888 image
    // over `bytes` (row 0 the DIB's first row) and their order. False for other DIBs.
    bool rows24(QImage& view, bool& rowsBottomUp) const;
    const std::vector<BYTE>& dib() const;    // makes a 24-bit DIB from the image once; without the rows kept apart
    // The rows after a DIB header and colours of `infoSize` bytes (null past the end).
    const BYTE* rows_after(std::size_t infoSize, std::size_t& size) const;
};
using BlobPtr = std::shared_ptr<MetaBlob>;

// One recorded call. `fn` is the Windows metafile function number; parameters
// are kept in call order with their full 32-bit values.
struct MetaRecord {
    WORD fn = 0;
    RecordParams p;
    BlobPtr blob;
};

struct MetaFile {
    std::vector<MetaRecord> recs;
    int objects = 0;      // largest object table the calls need
    // read from a placeable file: its bounding box and units per inch
    bool placeable = false;
    RECT bbox{};
    int inch = 0;
};

bool gdi_valid_metafile(HMETAFILE mf);

// Object table of an open recording (first free slot, as the file format does).
struct RecordTable {
    std::vector<GdiObject*> entries;
    int max_used = 0;
};

// ---- device contexts ----
struct DcState {
    GdiObject* pen = nullptr;
    GdiObject* brush = nullptr;
    GdiObject* font = nullptr;
    GdiObject* bitmap = nullptr;    // memory DCs
    COLORREF text = 0;
    COLORREF bk = 0xFFFFFF;
    int bkMode = OPAQUE;
    UINT align = TA_LEFT | TA_TOP;
    POINT cur{0, 0};
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFill = ALTERNATE;
    int mapMode = MM_TEXT;
    POINT wOrg{0, 0}, vOrg{0, 0};
    SIZE wExt{1, 1}, vExt{1, 1};
    bool hasClip = false;
    QRegion clip;                   // device pixels
};

struct DeviceContext {
    enum Kind { Image, Memory, Device, Record } kind = Image;
    QImage* image = nullptr;        // Image: the caller's image
    QPaintDevice* device = nullptr; // Device: printer or other paint device
    QPainter* painter = nullptr;    // Device: open between StartDoc and EndDoc
    bool ownsDevice = false;        // Device: deleted with the DC (a printer from PrintDlgA)
    bool docStarted = false, pageOpen = false, pagesDone = false;
    HWND owner = nullptr;
    DcState st;
    std::vector<DcState> saved;
    // Record
    std::shared_ptr<MetaFile> rec;
    RecordTable table;
    std::string file;               // Record: written as a metafile file when closed
    int dpiX = 96, dpiY = 96;
};

bool gdi_valid_dc(HDC dc);
HDC gdi_new_dc(DeviceContext::Kind k);
void gdi_free_dc(HDC dc);
int gdi_screen_dpi_x();
int gdi_screen_dpi_y();

// The pixels a raster DC draws on (image DCs and memory DCs), or null.
QImage* gdi_target_image(HDC dc);
// Before a window DC's pixels in `r` (device pixels) are read or written (gdi_surface.h).
void gdi_reach_pixels(HDC dc, const QRect& r);
// Selects into the state with reference counting; returns the previous object.
GdiObject* gdi_state_select(DcState& st, GdiObject* o);
void gdi_state_retain(DcState& st);
void gdi_state_release(DcState& st);

// ---- mapping (logical to device) ----
struct Mapping {
    double sx = 1, sy = 1, ox = 0, oy = 0;  // device = logical * s + o
    double dx(double lx) const { return lx * sx + ox; }
    double dy(double ly) const { return ly * sy + oy; }
};
Mapping gdi_mapping(const DcState& st, int dpiX, int dpiY);
int gdi_round(double v);
QPoint gdi_to_device(HDC dc, int x, int y);

// ---- recording helpers ----
void rec_add(HDC dc, WORD fn, std::initializer_list<std::int32_t> p, BlobPtr blob = nullptr);
void rec_add_vec(HDC dc, WORD fn, std::vector<std::int32_t> p, BlobPtr blob = nullptr);
// Puts an object into the recording's table (records its creation when new) and
// records its selection.
void rec_select(HDC dc, GdiObject* o);
// An object is being deleted: record its deletion in every open recording.
void rec_object_deleted(GdiObject* o);
// Packed DIB (header, colour table, rows) of a QImage, 24 bits per pixel, bottom-up.
std::vector<BYTE> gdi_image_to_dib24(const QImage& img);
// Decodes a packed DIB (40-byte or 12-byte header, 1/4/8/16/24/32 bits, RLE4/RLE8)
// of `size` bytes into a top-down RGB32 image; a null image on bad data.
// `rows`/`rowsSize` give the rows separately when not packed after the header.
QImage gdi_dib_to_image(const BYTE* info, std::size_t infoSize, const BYTE* rows, std::size_t rowsSize,
                        UINT usage, bool* mono = nullptr, bool* bottomUp = nullptr);
// Bytes the colour table of a DIB header occupies (0 for invalid headers).
std::size_t gdi_dib_colors_bytes(const BITMAPINFOHEADER& h, UINT usage);
std::size_t gdi_dib_rows_bytes(const BITMAPINFOHEADER& h);

// ---- raster drawing (device pixels) ----
QRgb gdi_qrgb(COLORREF c);
COLORREF gdi_colorref(QRgb c);
// The brush pattern of the state resolved to colours, or a null image for a null brush
// (solid brushes give a 1 x 1 image).
QImage gdi_brush_image(const DcState& st);

std::vector<HDC> gdi_all_record_dcs();
// Registers a closed recording and gives its handle.
HMETAFILE gdi_register_metafile(std::shared_ptr<MetaFile> mf);
std::shared_ptr<MetaFile> gdi_metafile(HMETAFILE mf);
// The Windows metafile bytes of a recording (empty when a value does not fit a
// 16-bit record) and the reverse (null on malformed input). With `scale` > 1 every
// logical coordinate and size is divided by it (rounded): for self-contained
// pictures whose own window extent scales with them.
std::vector<BYTE> wmf_write(const MetaFile& mf, int scale = 1);
std::shared_ptr<MetaFile> wmf_read(const BYTE* data, std::size_t size);

// ---- playback ----
BOOL gdi_play_record(HDC dc, const MetaRecord& r, std::vector<GdiObject*>& table);
// StretchBlt from the rows of a plain 24-bit DIB (MetaBlob::rows24) in source pixels
// counted top-down, as the decoded picture would give. -1 where the target is not a
// pixel surface (recordings, printers): the caller then blits the decoded picture.
int gdi_blit_rows24(HDC dst, int x, int y, int w, int h, const QImage& rows, bool rowsBottomUp, int sx, int sy,
                    int sw, int sh, DWORD rop);

OSTREL_INTERNAL_EXPORT_END
