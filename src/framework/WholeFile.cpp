#include "WholeFile.h"

#include "Error.h"
#include "framework/dbase/PosixFile.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace WholeFile {

void replace(const QString &path, const QByteArray &bytes)
{
    // A file made read-only stays as it is, although its folder would take a new one.
    if (::access(QFile::encodeName(path).constData(), F_OK) == 0 &&
        ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        throw FileError(QStringLiteral("The file \"%1\" is read-only; it could not be written.")
                            .arg(QDir::toNativeSeparators(path)));
    try {
        ReplacementFile replacement(path);
        replacement.file().writeAt(0, bytes.constData(), std::size_t(bytes.size()));
        replacement.file().sync();
        replacement.commit("file:written");
    } catch (const DbfError &e) {
        throw FileError(
            QStringLiteral("The file \"%1\" could not be written: %2").arg(QDir::toNativeSeparators(path), e.message()));
    }
}

QStringList removeLeftovers(const QString &path)
{
    return ReplacementFile::removeStale(path);
}

} // namespace WholeFile
