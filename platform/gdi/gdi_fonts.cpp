// Font faces: the names programs ask for mapped to faces installed here. The
// Japanese monospace face "ＭＳ ゴシック" becomes IPAGothic (else Noto Sans Mono
// CJK JP), "System" and an empty name the desktop's default sans face.
#include "platform/gdi/gdi_internal.h"

#include <QFontDatabase>

#include <cstring>

namespace {
bool installed(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QString first_installed(std::initializer_list<const char*> names, const QString& fallback)
{
    for (const char* n : names)
        if (installed(QString::fromUtf8(n))) return QString::fromUtf8(n);
    return fallback;
}
}  // namespace

QString gdi_font_family(const char* face)
{
    static const QString sans = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    static const QString mono = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    if (!face || !*face || std::strcmp(face, "System") == 0) return sans;
    QString f = QString::fromUtf8(face);
    if (f == QStringLiteral("ＭＳ ゴシック") || f == QStringLiteral("MS Gothic") || f == QStringLiteral("Terminal") ||
        f == QStringLiteral("FixedSys")) {
        static const QString jp = first_installed({"IPAGothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP"}, mono);
        return jp;
    }
    if (f == QStringLiteral("ＭＳ Ｐゴシック") || f == QStringLiteral("MS PGothic")) {
        static const QString jp = first_installed({"IPAPGothic", "Noto Sans CJK JP", "IPAGothic"}, sans);
        return jp;
    }
    if (f == QStringLiteral("ＭＳ 明朝") || f == QStringLiteral("MS Mincho")) {
        static const QString jp = first_installed({"IPAMincho", "Noto Serif CJK JP", "IPAGothic"}, sans);
        return jp;
    }
    if (f.compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) == 0 ||
        f.compare(QStringLiteral("Courier"), Qt::CaseInsensitive) == 0)
        return installed(f) ? f : mono;
    return installed(f) ? f : sans;
}
