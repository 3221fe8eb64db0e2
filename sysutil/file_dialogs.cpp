// The open, save and folder dialogs on Qt's own file dialog (not a desktop
// portal, so that every platform, the offscreen one included, shows the same
// widgets). Filters arrive as "Text|*.txt|All|*.*|", the last character being
// the separator.
#include "ostrel/sysutil.h"
#include "sysutil/hooks_internal.h"
#include "sysutil/open_files_answer.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <cstring>
#include <string>
#include <vector>

namespace {

QString qs(const char* s)
{
    return QString::fromUtf8(s ? s : "");
}

// Windows patterns are ';'-separated and "*.*" means every file; Qt separates
// by spaces and takes "*.*" literally (names with a dot).
QStringList name_filters(const char* filter)
{
    QStringList out;
    if (!filter || !*filter)
        return out;
    const std::string f = filter;
    const char sep = f.back();
    std::vector<std::string> items;
    std::size_t i = 0;
    while (i < f.size()) {
        std::size_t j = f.find(sep, i);
        if (j == std::string::npos)
            j = f.size();
        items.push_back(f.substr(i, j - i));
        i = j + 1;
    }
    for (std::size_t k = 0; k + 1 < items.size(); k += 2) {
        QStringList patterns = qs(items[k + 1].c_str()).split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        out << qs(items[k].c_str()) + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out;
}

void prepare(QFileDialog& dlg, const char* initial_dir, const char* filter, const char* title,
             const char* default_ext)
{
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setWindowTitle(qs(title));
    dlg.setDirectory(initial_dir && *initial_dir ? qs(initial_dir) : QDir::currentPath());
    QStringList filters = name_filters(filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters.first());   // filter index 1
    }
    QString ext = qs(default_ext);
    while (ext.startsWith(u'.'))
        ext.remove(0, 1);
    dlg.setDefaultSuffix(ext);
}

bool copy_path(const QString& path, char* out, std::size_t capacity)
{
    QByteArray b = QDir::toNativeSeparators(path).toUtf8();
    if (b.isEmpty() || static_cast<std::size_t>(b.size()) >= capacity)
        return false;
    std::memcpy(out, b.constData(), b.size() + 1);
    return true;
}

// The answer as the Windows dialog gives it: one full path, or the directory
// followed by the names. Files from several directories cannot be said that
// way and are refused.
bool raw_answer(const QStringList& files, char* buffer, std::size_t capacity)
{
    std::string raw;
    if (files.size() == 1) {
        raw = QDir::toNativeSeparators(files.first()).toStdString();
        raw.push_back('\0');
    } else {
        QString dir = QFileInfo(files.first()).absolutePath();
        raw = dir.toStdString();
        raw.push_back('\0');
        for (const QString& f : files) {
            QFileInfo fi(f);
            if (fi.absolutePath() != dir)
                return false;
            raw += fi.fileName().toStdString();
            raw.push_back('\0');
        }
    }
    raw.push_back('\0');
    if (raw.size() > capacity)
        return false;
    std::memcpy(buffer, raw.data(), raw.size());
    return true;
}

} // namespace

// Widgets need the application object that the runtime's entry makes; without
// one a dialog fails like a cancelled one instead of aborting the process.
bool sysutil_can_show_dialogs()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

int open_files_dialog(char* buffer, const char* initial_dir, const char* filter, const char* title,
                      const char* default_ext, HWND owner)
{
    if (!buffer)
        return 0;
    buffer[0] = '\0';
    buffer[1] = '\0';
    if (!sysutil_can_show_dialogs()) {
        open_files_clear_selection();
        return 0;
    }
    QFileDialog dlg(sysutil_owner_widget(owner));
    prepare(dlg, initial_dir, filter, title, default_ext);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()
        || !raw_answer(dlg.selectedFiles(), buffer, SYSUTIL_OPEN_FILES_BUFFER)) {
        buffer[0] = '\0';
        open_files_clear_selection();
        return 0;
    }
    return open_files_take_answer(buffer, SYSUTIL_OPEN_FILES_BUFFER);
}

int save_file_dialog(char* path, const char* initial_dir, const char* filter, const char* title,
                     const char* default_ext, HWND owner)
{
    if (!path || !sysutil_can_show_dialogs())
        return 0;
    QFileDialog dlg(sysutil_owner_widget(owner));
    prepare(dlg, initial_dir, filter, title, default_ext);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    // No overwrite question: the caller decides what to do with an existing file.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (*path)
        dlg.selectFile(QString::fromUtf8(path, static_cast<int>(strnlen(path, SYSUTIL_MAX_PATH))));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return 0;
    return copy_path(dlg.selectedFiles().first(), path, SYSUTIL_MAX_PATH) ? 1 : 0;
}

int browse_folder(const char* title, char* path, HWND owner)
{
    if (!path || !sysutil_can_show_dialogs())
        return 0;
    QFileDialog dlg(sysutil_owner_widget(owner));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setWindowTitle(qs(title));
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    if (*path) {
        QString start = QString::fromUtf8(path, static_cast<int>(strnlen(path, SYSUTIL_MAX_PATH)));
        dlg.setDirectory(start);
        dlg.selectFile(start);
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return 0;
    return copy_path(dlg.selectedFiles().first(), path, SYSUTIL_MAX_PATH) ? 1 : 0;
}
