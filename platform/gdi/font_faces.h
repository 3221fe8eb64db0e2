// Face-name substitution, the one table for the text area and GDI fonts: Windows
// face names that have no Linux font of that name map to an installed equivalent,
// so the console and a page show the same face for the same name.
#pragma once
#include <QString>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// "ＭＳ ゴシック", "MS Gothic", "Terminal", "FixedSys" -> IPAGothic, else Noto Sans
// Mono CJK JP, else Noto Sans CJK JP, else the system's fixed font;
// "ＭＳ Ｐゴシック" -> IPAPGothic, else Noto Sans CJK JP, else IPAGothic;
// "ＭＳ 明朝" -> IPAMincho, else Noto Serif CJK JP, else IPAGothic;
// "Courier"/"Courier New" -> itself if installed, else the fixed font;
// "System", an empty name and any other face not installed -> the default sans face.
QString platform_font_family(const char* face);

OSTREL_INTERNAL_EXPORT_END
