// Face-name substitution (see font_faces.h). The lookup of installed families is
// done once per face name.
#include "platform/win/font_faces.h"
#include "platform/win/win_internal.h"

#include <QFontDatabase>
#include <map>
#include <string>

namespace {

QString first_installed(std::initializer_list<const char*> names, QFontDatabase::SystemFont fallback)
{
    const QStringList fams = QFontDatabase::families();
    for (const char* n : names)
        if (fams.contains(QString::fromUtf8(n), Qt::CaseInsensitive))
            return QString::fromUtf8(n);
    return QFontDatabase::systemFont(fallback).family();
}

QString substitute(const std::string& face)
{
    static const char* gothic[] = {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS Gothic", "MS PGothic", "ＭＳ 明朝", "MS Mincho"};
    for (const char* g : gothic)
        if (face == g)
            return first_installed({"IPAGothic", "Noto Sans Mono CJK JP"}, QFontDatabase::FixedFont);
    if (face == "System" || face.empty())
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    return QString::fromUtf8(face.c_str());
}

} // namespace

QString platform_font_family(const char* face)
{
    platform_ensure_application();
    static std::map<std::string, QString> cache;
    std::string key = face ? face : "";
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    QString f = substitute(key);
    cache.emplace(key, f);
    return f;
}
