#include "FileCopier.h"

#include "framework/Error.h"
#include "framework/ReplacementLog.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/dbase/PosixFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

FileCopier::FreeBytes &freeBytesProbe()
{
    static FileCopier::FreeBytes probe;
    return probe;
}

// Copies `source` block by block into the replacement and flushes it.
void fill(const QString &source, ReplacementFile &target)
{
    PosixFile in(source, O_RDONLY);
    char block[FileCopier::BlockSize];
    std::uint64_t offset = 0;
    for (;;) {
        const ssize_t n = ::read(in.fd(), block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw DbfError(
                QStringLiteral("Cannot read \"%1\": %2.").arg(source, QString::fromLocal8Bit(strerror(errno))));
        if (n == 0)
            break;
        target.file().writeAt(offset, block, std::size_t(n));
        offset += std::uint64_t(n);
        FaultPoint::reach("copy:block-written");
    }
    target.file().sync();
}

// The rename of a finished copy reaches the disk with its directory.
void syncDirectory(const QString &path)
{
    PosixFile directory;
    if (PosixFile::tryOpen(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY, directory) == 0)
        ::fsync(directory.fd());
}

} // namespace

bool FileCopier::identical(const QString &source, const QString &destination)
{
    return QDir::cleanPath(QFileInfo(source).absoluteFilePath())
               .compare(QDir::cleanPath(QFileInfo(destination).absoluteFilePath()), Qt::CaseInsensitive) == 0;
}

void FileCopier::copy(const QString &source, const QString &destination)
{
    ReplacementFile::removeStale(destination);
    ReplacementLog::note(destination);
    try {
        ReplacementFile target(destination);
        fill(source, target);
        target.commit("copy:written");
    } catch (const DbfError &e) {
        throw FileError(e.message());
    }
    syncDirectory(destination);
}

bool FileCopier::hasRoomFor(const QString &source, const QString &destination)
{
    const QString directory = QFileInfo(destination).absolutePath();
    const FreeBytes &probe = freeBytesProbe();
    const qint64 free = probe ? probe(directory) : QStorageInfo(directory).bytesAvailable();
    const QFileInfo existing(destination);
    const qint64 reclaimed = existing.isFile() ? existing.size() : 0;
    return free + reclaimed >= QFileInfo(source).size();
}

void FileCopier::setFreeBytes(FreeBytes freeBytes)
{
    freeBytesProbe() = std::move(freeBytes);
}

KeptFile::KeptFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    ReplacementLog::note(path);
    try {
        m_copy = std::make_unique<ReplacementFile>(path);
        fill(path, *m_copy);
    } catch (const DbfError &e) {
        m_copy.reset();
        throw FileError(e.message());
    }
}

KeptFile::~KeptFile() = default;

void KeptFile::putBack()
{
    if (!m_copy)
        return;
    try {
        m_copy->commit("copy:put-back");
    } catch (const DbfError &e) {
        throw FileError(e.message());
    }
    m_copy.reset();
}
