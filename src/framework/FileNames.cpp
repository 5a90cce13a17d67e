#include "FileNames.h"

#include <QDir>
#include <QFileInfo>

namespace FileNames {

QString base(const QString &path)
{
    const QFileInfo info(path);
    QString name = info.fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return QDir(info.absolutePath()).filePath(name);
}

QString companion(const QString &path, const QString &extension)
{
    const QString preferred = base(path) + QLatin1Char('.') + extension;
    if (QFileInfo::exists(preferred))
        return preferred;
    const QFileInfo info(preferred);
    const QDir dir = info.absoluteDir();
    const QString wanted = info.fileName();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return preferred;
}

} // namespace FileNames
