// Face-name substitution shared by the text area and GDI fonts: Windows face
// names that have no Linux font of that name map to an installed equivalent.
#pragma once
#include <QString>
#include "platform/internal_export.h"

OSTREL_INTERNAL_EXPORT_BEGIN

// "ＭＳ ゴシック" (and its relatives) -> IPAGothic, else Noto Sans Mono CJK JP, else
// the system's fixed font; "System" -> the default sans face; anything else as given.
QString platform_font_family(const char* face);

OSTREL_INTERNAL_EXPORT_END
