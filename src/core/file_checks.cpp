#include "core/file_checks.h"

#include <QFile>
#include <QFileInfo>

namespace nubivista::core {

int DirMissing(const QString& path) {
    if (path.isEmpty())
        return kPathNotFound;
    const QFileInfo info(path);
    if (!info.exists())
        return kPathNotFound;
    return info.isDir() ? 0 : kNotADirectory;
}

int FileMissing(const QString& path) {
    if (path.isEmpty())
        return kFileNotFound;
    const QFileInfo info(path);
    if (!info.exists())
        return kFileNotFound;
    if (info.isDir())
        return kPermissionDenied;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return kPermissionDenied;
    return 0;
}

QString CutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

} // namespace nubivista::core
