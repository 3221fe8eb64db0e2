// Metafile record numbers: the function word that starts every record of a
// Windows metafile, named as GDI names them. The recorder, the writer, the reader
// and the player speak of records only through these names, so a number lives in
// one place. Values are those of the Windows API.
#pragma once
#include "platform/win_types.h"

// ---- state ----
inline constexpr WORD META_SETBKCOLOR = 0x0201;
inline constexpr WORD META_SETBKMODE = 0x0102;
inline constexpr WORD META_SETMAPMODE = 0x0103;
inline constexpr WORD META_SETROP2 = 0x0104;
inline constexpr WORD META_SETRELABS = 0x0105;
inline constexpr WORD META_SETPOLYFILLMODE = 0x0106;
inline constexpr WORD META_SETSTRETCHBLTMODE = 0x0107;
inline constexpr WORD META_SETTEXTCHAREXTRA = 0x0108;
inline constexpr WORD META_SETTEXTCOLOR = 0x0209;
inline constexpr WORD META_SETTEXTJUSTIFICATION = 0x020A;
inline constexpr WORD META_SETTEXTALIGN = 0x012E;
inline constexpr WORD META_SETMAPPERFLAGS = 0x0231;
inline constexpr WORD META_SETLAYOUT = 0x0149;
inline constexpr WORD META_SAVEDC = 0x001E;
inline constexpr WORD META_RESTOREDC = 0x0127;

// ---- mapping ----
inline constexpr WORD META_SETWINDOWORG = 0x020B;
inline constexpr WORD META_SETWINDOWEXT = 0x020C;
inline constexpr WORD META_SETVIEWPORTORG = 0x020D;
inline constexpr WORD META_SETVIEWPORTEXT = 0x020E;
inline constexpr WORD META_OFFSETWINDOWORG = 0x020F;
inline constexpr WORD META_SCALEWINDOWEXT = 0x0410;
inline constexpr WORD META_OFFSETVIEWPORTORG = 0x0211;
inline constexpr WORD META_SCALEVIEWPORTEXT = 0x0412;

// ---- clipping and regions ----
inline constexpr WORD META_EXCLUDECLIPRECT = 0x0415;
inline constexpr WORD META_INTERSECTCLIPRECT = 0x0416;
inline constexpr WORD META_OFFSETCLIPRGN = 0x0220;
inline constexpr WORD META_SELECTCLIPREGION = 0x012C;
inline constexpr WORD META_FILLREGION = 0x0228;
inline constexpr WORD META_FRAMEREGION = 0x0429;
inline constexpr WORD META_INVERTREGION = 0x012A;
inline constexpr WORD META_PAINTREGION = 0x012B;

// ---- drawing ----
inline constexpr WORD META_LINETO = 0x0213;
inline constexpr WORD META_MOVETO = 0x0214;
inline constexpr WORD META_ARC = 0x0817;
inline constexpr WORD META_ELLIPSE = 0x0418;
inline constexpr WORD META_FLOODFILL = 0x0419;
inline constexpr WORD META_EXTFLOODFILL = 0x0548;
inline constexpr WORD META_PIE = 0x081A;
inline constexpr WORD META_RECTANGLE = 0x041B;
inline constexpr WORD META_ROUNDRECT = 0x061C;
inline constexpr WORD META_CHORD = 0x0830;
inline constexpr WORD META_SETPIXEL = 0x041F;
inline constexpr WORD META_POLYGON = 0x0324;
inline constexpr WORD META_POLYLINE = 0x0325;
inline constexpr WORD META_POLYPOLYGON = 0x0538;
inline constexpr WORD META_TEXTOUT = 0x0521;
inline constexpr WORD META_EXTTEXTOUT = 0x0A32;
inline constexpr WORD META_ESCAPE = 0x0626;

// ---- blits and device-independent bitmaps ----
inline constexpr WORD META_PATBLT = 0x061D;
inline constexpr WORD META_BITBLT = 0x0922;
inline constexpr WORD META_STRETCHBLT = 0x0B23;
inline constexpr WORD META_DIBBITBLT = 0x0940;
inline constexpr WORD META_DIBSTRETCHBLT = 0x0B41;
inline constexpr WORD META_STRETCHDIB = 0x0F43;
inline constexpr WORD META_SETDIBTODEV = 0x0D33;

// ---- objects ----
inline constexpr WORD META_SELECTOBJECT = 0x012D;
inline constexpr WORD META_DELETEOBJECT = 0x01F0;
inline constexpr WORD META_CREATEPENINDIRECT = 0x02FA;
inline constexpr WORD META_CREATEBRUSHINDIRECT = 0x02FC;
inline constexpr WORD META_CREATEFONTINDIRECT = 0x02FB;
inline constexpr WORD META_DIBCREATEPATTERNBRUSH = 0x0142;
inline constexpr WORD META_CREATEPATTERNBRUSH = 0x01F9;
inline constexpr WORD META_CREATEPALETTE = 0x00F7;
inline constexpr WORD META_CREATEREGION = 0x06FF;

// ---- palettes ----
inline constexpr WORD META_SELECTPALETTE = 0x0234;
inline constexpr WORD META_REALIZEPALETTE = 0x0035;
inline constexpr WORD META_ANIMATEPALETTE = 0x0436;
inline constexpr WORD META_SETPALENTRIES = 0x0037;
inline constexpr WORD META_RESIZEPALETTE = 0x0139;
