#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files the program rewrites as a whole (settings, pick lists, report
// definitions): the new content goes to a temporary file beside the old one,
// under a name no other process uses, is flushed to the disk and renamed over
// the old file. A crash leaves the old file or the new one, never a mixture, and
// a failure leaves the old file as it was.
namespace WholeFile {

// Throws FileError naming the file and the cause.
void replace(const QString &path, const QByteArray &bytes);

// Removes the temporary files that programs killed while replacing `path`
// left beside it (those of running programs stay); answers their paths.
QStringList removeLeftovers(const QString &path);

} // namespace WholeFile
