// Face-name substitution (see font_faces.h). The lookup of installed families is
// done once per face name.
#include "platform/gdi/font_faces.h"

#include <QFontDatabase>
#include <QStringList>
#include <map>
#include <string>

namespace {

bool installed(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QString first_installed(std::initializer_list<const char*> names, const QString& fallback)
{
    for (const char* n : names)
        if (installed(QString::fromUtf8(n)))
            return QString::fromUtf8(n);
    return fallback;
}

struct FaceRule {
    std::initializer_list<const char*> faces;
    std::initializer_list<const char*> families;   // first installed wins
    QFontDatabase::SystemFont fallback;
};

QString substitute(const std::string& face)
{
    static const FaceRule rules[] = {
        {{"ＭＳ ゴシック", "MS Gothic", "Terminal", "FixedSys"},
         {"IPAGothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP"},
         QFontDatabase::FixedFont},
        {{"ＭＳ Ｐゴシック", "MS PGothic"}, {"IPAPGothic", "Noto Sans CJK JP", "IPAGothic"}, QFontDatabase::GeneralFont},
        {{"ＭＳ 明朝", "MS Mincho"}, {"IPAMincho", "Noto Serif CJK JP", "IPAGothic"}, QFontDatabase::GeneralFont},
    };
    const QString sans = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (face.empty() || face == "System")
        return sans;
    for (const FaceRule& r : rules)
        for (const char* f : r.faces)
            if (face == f)
                return first_installed(r.families, QFontDatabase::systemFont(r.fallback).family());
    QString f = QString::fromUtf8(face.c_str());
    if (f.compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) == 0 ||
        f.compare(QStringLiteral("Courier"), Qt::CaseInsensitive) == 0)
        return installed(f) ? f : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    return installed(f) ? f : sans;
}

} // namespace

QString platform_font_family(const char* face)
{
    static std::map<std::string, QString> cache;
    std::string key = face ? face : "";
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    QString f = substitute(key);
    cache.emplace(key, f);
    return f;
}
