#include "PosixFile.h"

#include "FaultPoint.h"
#include "framework/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lock bytes live at 2^62 + slot: beyond the data and beyond the record and
// table lock ranges that other dBASE tools use.
constexpr off_t LockBase = off_t(1) << 62;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isReadOnlyError(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

int openFile(const QString &path, int flags, int mode)
{
    if (flags & O_CREAT) {
        std::size_t none = 0;
        if (const int error = FaultPoint::failure(FaultPoint::Operation::Create, path, 0, none)) {
            errno = error;
            return -1;
        }
    }
    return ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, mode);
}

struct flock lockRecord(short type, std::uint64_t slot)
{
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = LockBase + off_t(slot);
    fl.l_len = 1;
    return fl;
}

FileIdentity identityOf(const struct stat &st)
{
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_mtim.tv_sec),
            std::int64_t(st.st_mtim.tv_nsec), std::uint64_t(st.st_size)};
}

} // namespace

FileIdentity FileIdentity::of(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return identityOf(st);
}

PosixFile::PosixFile(const QString &path, int flags, int mode) : m_path(path)
{
    m_fd = openFile(path, flags, mode);
    if (m_fd < 0) {
        const int error = errno;
        const QString message = QStringLiteral("Cannot open \"%1\": %2.").arg(path, systemError(error));
        if ((flags & O_ACCMODE) != O_RDONLY && isReadOnlyError(error))
            throw DbfReadOnlyError(message);
        throw DbfError(message);
    }
}

int PosixFile::tryOpen(const QString &path, int flags, PosixFile &out)
{
    out.close();
    out.m_path = path;
    out.m_shownPath.clear();
    out.m_fd = openFile(path, flags, 0644);
    return out.m_fd < 0 ? errno : 0;
}

PosixFile::~PosixFile()
{
    close();
}

PosixFile::PosixFile(PosixFile &&other) noexcept
    : m_fd(other.m_fd), m_path(std::move(other.m_path)), m_shownPath(std::move(other.m_shownPath))
{
    other.m_fd = -1;
}

PosixFile &PosixFile::operator=(PosixFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        m_path = std::move(other.m_path);
        m_shownPath = std::move(other.m_shownPath);
        other.m_fd = -1;
    }
    return *this;
}

void PosixFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::uint64_t PosixFile::size() const
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        throw DbfError(QStringLiteral("Cannot read the size of \"%1\": %2.").arg(shownPath(), systemError(errno)));
    return std::uint64_t(st.st_size);
}

FileIdentity PosixFile::identity() const
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        throw DbfError(QStringLiteral("Cannot read the size of \"%1\": %2.").arg(shownPath(), systemError(errno)));
    return identityOf(st);
}

void PosixFile::writeAt(std::uint64_t offset, const void *data, std::size_t size)
{
    std::size_t fits = size;
    int error = FaultPoint::failure(FaultPoint::Operation::Write, m_path, offset, fits);
    if (error)
        size = std::min(fits, size);
    const auto *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(m_fd, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        p += n;
        size -= size_t(n);
        offset += std::uint64_t(n);
    }
    if (error) {
        const QString message = QStringLiteral("Cannot write to \"%1\": %2.").arg(shownPath(), systemError(error));
        if (isReadOnlyError(error))
            throw DbfReadOnlyError(message);
        throw DbfError(message);
    }
}

void PosixFile::readAt(std::uint64_t offset, void *data, std::size_t size) const
{
    auto *p = static_cast<char *>(data);
    while (size > 0) {
        const ssize_t n = ::pread(m_fd, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw DbfError(QStringLiteral("Cannot read \"%1\": %2.").arg(shownPath(), systemError(errno)));
        if (n == 0)
            throw DbfError(QStringLiteral("\"%1\" ended unexpectedly.").arg(shownPath()));
        p += n;
        size -= size_t(n);
        offset += std::uint64_t(n);
    }
}

void PosixFile::truncate(std::uint64_t size)
{
    if (::ftruncate(m_fd, off_t(size)) != 0)
        throw DbfError(QStringLiteral("Cannot change the size of \"%1\": %2.").arg(shownPath(), systemError(errno)));
}

void PosixFile::sync()
{
    if (::fsync(m_fd) != 0)
        throw DbfError(QStringLiteral("Cannot write \"%1\" to the disk: %2.").arg(shownPath(), systemError(errno)));
}

bool PosixFile::tryLock(Lock kind, std::uint64_t slot)
{
    struct flock fl = lockRecord(kind == Lock::Shared ? F_RDLCK : F_WRLCK, slot);
    return ::fcntl(m_fd, F_OFD_SETLK, &fl) == 0;
}

void PosixFile::waitLock(Lock kind, std::uint64_t slot)
{
    struct flock fl = lockRecord(kind == Lock::Shared ? F_RDLCK : F_WRLCK, slot);
    while (::fcntl(m_fd, F_OFD_SETLKW, &fl) != 0) {
        if (errno != EINTR)
            throw DbfError(QStringLiteral("Cannot lock \"%1\": %2.").arg(shownPath(), systemError(errno)));
    }
}

void PosixFile::unlock(std::uint64_t slot)
{
    struct flock fl = lockRecord(F_UNLCK, slot);
    ::fcntl(m_fd, F_OFD_SETLK, &fl);
}

bool PosixFile::lockedByOthers(Lock kind, std::uint64_t slot) const
{
    struct flock fl = lockRecord(kind == Lock::Shared ? F_RDLCK : F_WRLCK, slot);
    if (::fcntl(m_fd, F_OFD_GETLK, &fl) != 0)
        return true;
    return fl.l_type != F_UNLCK;
}

FileMapping::FileMapping(const PosixFile &file, std::size_t length) : m_length(length)
{
    if (length == 0)
        return;
    void *p = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, file.fd(), 0);
    if (p == MAP_FAILED) {
        m_length = 0;
        throw DbfError(QStringLiteral("Cannot map \"%1\": %2.").arg(file.path(), systemError(errno)));
    }
    m_data = static_cast<const char *>(p);
}

FileMapping::~FileMapping()
{
    release();
}

FileMapping::FileMapping(FileMapping &&other) noexcept : m_data(other.m_data), m_length(other.m_length)
{
    other.m_data = nullptr;
    other.m_length = 0;
}

FileMapping &FileMapping::operator=(FileMapping &&other) noexcept
{
    if (this != &other) {
        release();
        m_data = other.m_data;
        m_length = other.m_length;
        other.m_data = nullptr;
        other.m_length = 0;
    }
    return *this;
}

void FileMapping::release()
{
    if (m_data)
        ::munmap(const_cast<char *>(m_data), m_length);
    m_data = nullptr;
    m_length = 0;
}

ReplacementFile::ReplacementFile(const QString &target) : m_target(target)
{
    static std::atomic<unsigned> serial{0};
    const QString stem = target + QStringLiteral(".%1-").arg(::getpid());
    int error = EEXIST;
    while (error == EEXIST) {
        m_temporary = stem + QString::number(++serial) + QStringLiteral(".new~");
        error = PosixFile::tryOpen(m_temporary, O_RDWR | O_CREAT | O_EXCL, m_file);
    }
    if (error) {
        const QString folder = QFileInfo(target).absolutePath();
        if (isReadOnlyError(error))
            throw DbfReadOnlyError(
                QStringLiteral("The folder \"%1\" is read-only: \"%2\" cannot be written there (%3).")
                    .arg(folder, QFileInfo(target).fileName(), systemError(error)));
        throw DbfError(QStringLiteral("Cannot create a file in the folder \"%1\" to replace \"%2\": %3.")
                           .arg(folder, QFileInfo(target).fileName(), systemError(error)));
    }
    m_file.m_shownPath = target;
    // Nobody else can hold the lock of a file just created under a new name.
    m_file.tryLock(PosixFile::Lock::Exclusive, 0);
    // The new file keeps the permissions of the one it replaces.
    struct stat st;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        ::fchmod(m_file.fd(), st.st_mode & 07777);
}

ReplacementFile::~ReplacementFile()
{
    if (!m_committed && m_file.isOpen()) {
        m_file.close();
        ::unlink(QFile::encodeName(m_temporary).constData());
    }
}

void ReplacementFile::commit(const char *faultPoint)
{
    FaultPoint::reach(faultPoint);
    std::size_t none = 0;
    int error = FaultPoint::failure(FaultPoint::Operation::Rename, m_target, 0, none);
    if (!error && ::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        error = errno;
    if (error) {
        const QString message = QStringLiteral("Cannot replace \"%1\": %2.").arg(m_target, systemError(error));
        if (isReadOnlyError(error))
            throw DbfReadOnlyError(message);
        throw DbfError(message);
    }
    m_committed = true;
    m_file.m_path = m_target;
}

QStringList ReplacementFile::removeStale(const QString &target)
{
    const QFileInfo info(target);
    const QString name = info.fileName();
    // "<target>.<pid>-<n>.new~", and "<target>.new~" of earlier versions.
    static const QRegularExpression owner(QStringLiteral("^\\.(?:(\\d+)-\\d+\\.)?new~$"));
    QStringList removed;
    const QDir folder = info.dir();
    for (const QString &candidate : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (candidate.size() <= name.size() || !candidate.startsWith(name, Qt::CaseInsensitive))
            continue;
        const QRegularExpressionMatch match = owner.match(QStringView(candidate).mid(name.size()));
        if (!match.hasMatch())
            continue;
        const pid_t pid = pid_t(match.captured(1).toLong());
        // A pid that runs may be the owner between creating the file and locking it.
        if (pid > 0 && pid != ::getpid() && (::kill(pid, 0) == 0 || errno == EPERM))
            continue;
        const QString path = folder.filePath(candidate);
        PosixFile file;
        if (PosixFile::tryOpen(path, O_RDONLY, file) != 0 || !file.tryLock(PosixFile::Lock::Shared, 0))
            continue;
        if (::unlink(QFile::encodeName(path).constData()) == 0)
            removed << path;
    }
    return removed;
}
