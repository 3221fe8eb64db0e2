// The recording: metafile device contexts append GDI calls to our own display
// list (32-bit parameters, payloads shared between copies), with the object
// table of the Windows metafile format (first free slot, create, select,
// delete). Closing gives an HMETAFILE; handles are checked against a registry.
#include "platform/gdi/gdi_internal.h"

#include <QFile>

#include <cstring>
#include <unordered_map>

namespace {
std::unordered_map<MetaFile*, std::shared_ptr<MetaFile>>& registry()
{
    static std::unordered_map<MetaFile*, std::shared_ptr<MetaFile>> r;
    return r;
}

// The creation record of an object, with the object's full description.
MetaRecord create_record(const GdiObject* o)
{
    MetaRecord r;
    switch (o->kind) {
    case GdiObject::Pen:
        r.fn = META_CREATEPENINDIRECT;
        r.p = {o->penStyle, o->penWidth, std::int32_t(o->penColor)};
        break;
    case GdiObject::Brush:
        if (o->brushStyle == BS_PATTERN) {
            r.fn = META_DIBCREATEPATTERNBRUSH;
            r.p = {DIB_RGB_COLORS, o->patternMono ? 1 : 0};
            r.blob = std::make_shared<MetaBlob>();
            r.blob->image = o->pattern;
            r.blob->decoded = true;
            r.blob->mono = o->patternMono;
        } else {
            r.fn = META_CREATEBRUSHINDIRECT;
            r.p = {std::int32_t(o->brushStyle), std::int32_t(o->brushColor), o->hatch};
        }
        break;
    case GdiObject::Font: {
        const LOGFONTA& f = o->lf;
        r.fn = META_CREATEFONTINDIRECT;
        r.p = {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight, f.lfItalic, f.lfUnderline,
               f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision, f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily};
        r.blob = std::make_shared<MetaBlob>();
        std::size_t n = strnlen(f.lfFaceName, LF_FACESIZE);
        r.blob->bytes.assign(f.lfFaceName, f.lfFaceName + n);
        break;
    }
    default:
        break;
    }
    return r;
}

int first_free(RecordTable& t)
{
    for (std::size_t i = 0; i < t.entries.size(); ++i)
        if (!t.entries[i]) return int(i);
    t.entries.push_back(nullptr);
    return int(t.entries.size() - 1);
}

bool is_create(WORD fn)
{
    switch (fn) {
    case META_CREATEPENINDIRECT: case META_CREATEBRUSHINDIRECT: case META_DIBCREATEPATTERNBRUSH: case META_CREATEFONTINDIRECT: case META_CREATEPALETTE: case META_CREATEREGION: case META_CREATEPATTERNBRUSH:
        return true;
    default:
        return false;
    }
}
}  // namespace

HMETAFILE gdi_register_metafile(std::shared_ptr<MetaFile> mf)
{
    MetaFile* h = mf.get();
    registry()[h] = std::move(mf);
    return h;
}

std::shared_ptr<MetaFile> gdi_metafile(HMETAFILE mf)
{
    auto it = registry().find(mf);
    return it == registry().end() ? nullptr : it->second;
}

bool gdi_valid_metafile(HMETAFILE mf) { return mf && registry().count(mf); }

void rec_add(HDC dc, WORD fn, std::initializer_list<std::int32_t> p, BlobPtr blob)
{
    dc->rec->recs.push_back(MetaRecord{fn, RecordParams(p), std::move(blob)});
}

void rec_add_vec(HDC dc, WORD fn, std::vector<std::int32_t> p, BlobPtr blob)
{
    dc->rec->recs.push_back(MetaRecord{fn, RecordParams(p), std::move(blob)});
}

void rec_select(HDC dc, GdiObject* o)
{
    RecordTable& t = dc->table;
    int slot = -1;
    for (std::size_t i = 0; i < t.entries.size(); ++i)
        if (t.entries[i] == o) slot = int(i);
    if (slot < 0) {
        MetaRecord cr = create_record(o);
        if (!cr.fn) return;
        slot = first_free(t);
        t.entries[slot] = o;
        gdi_retain(o);
        t.max_used = std::max(t.max_used, slot + 1);
        dc->rec->recs.push_back(std::move(cr));
    }
    rec_add(dc, META_SELECTOBJECT, {slot});
}

void rec_object_deleted(GdiObject* o)
{
    for (HDC dc : gdi_all_record_dcs()) {
        RecordTable& t = dc->table;
        for (std::size_t i = 0; i < t.entries.size(); ++i) {
            if (t.entries[i] == o) {
                rec_add(dc, META_DELETEOBJECT, {std::int32_t(i)});
                t.entries[i] = nullptr;
                gdi_release(o);
            }
        }
    }
}

HDC CreateMetaFileA(const char* file)
{
    HDC dc = gdi_new_dc(DeviceContext::Record);
    dc->rec = std::make_shared<MetaFile>();
    if (file) dc->file = file;
    return dc;
}

HMETAFILE CloseMetaFile(HDC dc)
{
    if (!gdi_valid_dc(dc) || dc->kind != DeviceContext::Record) return nullptr;
    std::shared_ptr<MetaFile> mf = dc->rec;
    mf->objects = std::max(mf->objects, dc->table.max_used);
    for (GdiObject* o : dc->table.entries) gdi_release(o);
    dc->table.entries.clear();
    std::string file = dc->file;
    gdi_free_dc(dc);
    if (!file.empty()) {
        std::vector<BYTE> bytes = wmf_write(*mf);
        QFile f(QString::fromUtf8(file.c_str()));
        if (bytes.empty() || !f.open(QIODevice::WriteOnly) ||
            f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
            return nullptr;
    }
    return gdi_register_metafile(std::move(mf));
}

BOOL DeleteMetaFile(HMETAFILE mf)
{
    return registry().erase(mf) ? TRUE : FALSE;
}

// Follows the state a recorded call changes, so that a recording answers queries
// (colours, current position) with the values last recorded.
static void track_state(DcState& st, const MetaRecord& r)
{
    auto p = [&](std::size_t i) { return i < r.p.size() ? r.p[i] : 0; };
    switch (r.fn) {
    case META_SETBKCOLOR: st.bk = COLORREF(p(0)) & 0xFFFFFF; break;
    case META_SETTEXTCOLOR: st.text = COLORREF(p(0)) & 0xFFFFFF; break;
    case META_SETBKMODE: st.bkMode = p(0); break;
    case META_SETTEXTALIGN: st.align = UINT(p(0)); break;
    case META_SETROP2: st.rop2 = p(0); break;
    case META_LINETO: case META_MOVETO: st.cur = POINT{p(0), p(1)}; break;
    case META_SETMAPMODE: st.mapMode = p(0); break;
    case META_SETWINDOWORG: st.wOrg = POINT{p(0), p(1)}; break;
    case META_OFFSETWINDOWORG: st.wOrg.x += p(0); st.wOrg.y += p(1); break;
    default: break;
    }
}

// Playing into a recording appends the content's calls, with its objects moved
// into free entries of the recording's table. Payloads are shared, not copied.
static BOOL play_into_recording(HDC dc, const MetaFile& mf)
{
    RecordTable& t = dc->table;
    std::vector<int> map;   // content slot -> recording slot
    std::vector<int> mine;  // recording entries created by this replay
    bool selected = false;
    std::vector<MetaRecord>& out = dc->rec->recs;
    const std::size_t need = out.size() + mf.recs.size() + 8;
    if (out.capacity() < need) out.reserve(std::max(need, 2 * out.capacity()));
    for (const MetaRecord& r : mf.recs) {
        if (is_create(r.fn)) {
            int slot = first_free(t);
            auto* ph = new GdiObject(GdiObject::Region);   // placeholder owning the slot
            ph->deleted = true;
            gdi_retain(ph);
            t.entries[slot] = ph;
            t.max_used = std::max(t.max_used, slot + 1);
            // the content's slot: its first free one, mirrored in `map`
            std::size_t cs = 0;
            while (cs < map.size() && map[cs] >= 0) ++cs;
            if (cs == map.size()) map.push_back(-1);
            map[cs] = slot;
            mine.push_back(slot);
            dc->rec->recs.push_back(r);
            continue;
        }
        if (r.fn == META_SELECTOBJECT || r.fn == META_DELETEOBJECT) {
            if (r.p.empty() || r.p[0] < 0 || std::size_t(r.p[0]) >= map.size() || map[r.p[0]] < 0) continue;
            int slot = map[r.p[0]];
            rec_add(dc, r.fn, {slot});
            if (r.fn == META_SELECTOBJECT) {
                selected = true;
            } else {
                gdi_release(t.entries[slot]);
                t.entries[slot] = nullptr;
                map[r.p[0]] = -1;
                std::erase(mine, slot);
            }
            continue;
        }
        dc->rec->recs.push_back(r);
        track_state(dc->st, r);
    }
    // the replay's objects end with it; the recording's own objects come back
    if (selected) {
        if (dc->st.pen) rec_select(dc, dc->st.pen);
        if (dc->st.brush) rec_select(dc, dc->st.brush);
        if (dc->st.font) rec_select(dc, dc->st.font);
    }
    for (int slot : mine) {
        rec_add(dc, META_DELETEOBJECT, {slot});
        gdi_release(t.entries[slot]);
        t.entries[slot] = nullptr;
    }
    return TRUE;
}

BOOL PlayMetaFile(HDC dc, HMETAFILE h)
{
    std::shared_ptr<MetaFile> mf = gdi_metafile(h);
    if (!gdi_valid_dc(dc) || !mf) return FALSE;
    if (dc->kind == DeviceContext::Record) return play_into_recording(dc, *mf);

    DcState keep = dc->st;
    gdi_state_retain(keep);
    std::vector<GdiObject*> table;
    for (const MetaRecord& r : mf->recs) gdi_play_record(dc, r, table);
    SelectObject(dc, keep.pen);
    SelectObject(dc, keep.brush);
    SelectObject(dc, keep.font);
    dc->st.hasClip = keep.hasClip;
    dc->st.clip = keep.clip;
    gdi_state_release(keep);
    for (GdiObject* o : table)
        if (o) DeleteObject(o);
    return TRUE;
}

UINT GetMetaFileBitsEx(HMETAFILE h, UINT size, void* out)
{
    std::shared_ptr<MetaFile> mf = gdi_metafile(h);
    if (!mf) return 0;
    std::vector<BYTE> bytes = wmf_write(*mf);
    if (bytes.empty()) return 0;
    if (!out) return UINT(bytes.size());
    if (size < bytes.size()) return 0;
    std::memcpy(out, bytes.data(), bytes.size());
    return UINT(bytes.size());
}

HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data)
{
    if (!data) return nullptr;
    std::shared_ptr<MetaFile> mf = wmf_read(data, size);
    return mf ? gdi_register_metafile(std::move(mf)) : nullptr;
}

HMETAFILE GetMetaFileA(const char* file)
{
    if (!file) return nullptr;
    QFile f(QString::fromUtf8(file));
    if (!f.open(QIODevice::ReadOnly)) return nullptr;
    if (f.size() > (qint64(1) << 31)) return nullptr;
    QByteArray b = f.readAll();
    return SetMetaFileBitsEx(UINT(b.size()), reinterpret_cast<const BYTE*>(b.constData()));
}

HMETAFILE CopyMetaFileA(HMETAFILE h, const char* file)
{
    std::shared_ptr<MetaFile> mf = gdi_metafile(h);
    if (!mf) return nullptr;
    if (file) {
        std::vector<BYTE> bytes = wmf_write(*mf);
        if (bytes.empty()) return nullptr;
        QFile f(QString::fromUtf8(file));
        if (!f.open(QIODevice::WriteOnly)) return nullptr;
        if (f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
            return nullptr;
    }
    return gdi_register_metafile(std::make_shared<MetaFile>(*mf));
}
