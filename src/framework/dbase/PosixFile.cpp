#include "PosixFile.h"

#include "FaultPoint.h"
#include "framework/Error.h"

#include <QFile>
#include <cerrno>
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

} // namespace

PosixFile::PosixFile(const QString &path, int flags, int mode) : m_path(path)
{
    m_fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, mode);
    if (m_fd < 0)
        throw DbfError(QStringLiteral("Cannot open \"%1\": %2.").arg(path, systemError(errno)));
}

int PosixFile::tryOpen(const QString &path, int flags, PosixFile &out)
{
    out.close();
    out.m_path = path;
    out.m_fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644);
    return out.m_fd < 0 ? errno : 0;
}

PosixFile::~PosixFile()
{
    close();
}

PosixFile::PosixFile(PosixFile &&other) noexcept : m_fd(other.m_fd), m_path(std::move(other.m_path))
{
    other.m_fd = -1;
}

PosixFile &PosixFile::operator=(PosixFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        m_path = std::move(other.m_path);
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
        throw DbfError(QStringLiteral("Cannot read the size of \"%1\": %2.").arg(m_path, systemError(errno)));
    return std::uint64_t(st.st_size);
}

void PosixFile::writeAt(std::uint64_t offset, const void *data, std::size_t size)
{
    const auto *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(m_fd, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw DbfError(QStringLiteral("Cannot write to \"%1\": %2.").arg(m_path, systemError(errno)));
        p += n;
        size -= size_t(n);
        offset += std::uint64_t(n);
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
            throw DbfError(QStringLiteral("Cannot read \"%1\": %2.").arg(m_path, systemError(errno)));
        if (n == 0)
            throw DbfError(QStringLiteral("\"%1\" ended unexpectedly.").arg(m_path));
        p += n;
        size -= size_t(n);
        offset += std::uint64_t(n);
    }
}

void PosixFile::truncate(std::uint64_t size)
{
    if (::ftruncate(m_fd, off_t(size)) != 0)
        throw DbfError(QStringLiteral("Cannot change the size of \"%1\": %2.").arg(m_path, systemError(errno)));
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
            throw DbfError(QStringLiteral("Cannot lock \"%1\": %2.").arg(m_path, systemError(errno)));
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

ReplacementFile::ReplacementFile(const QString &target)
    : m_target(target), m_temporary(target + QStringLiteral(".new~"))
{
    m_file = PosixFile(m_temporary, O_RDWR | O_CREAT | O_TRUNC);
    // The new file keeps the permissions of the one it replaces.
    struct stat st;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        ::fchmod(m_file.fd(), st.st_mode & 07777);
}

ReplacementFile::~ReplacementFile()
{
    if (!m_committed) {
        m_file.close();
        ::unlink(QFile::encodeName(m_temporary).constData());
    }
}

void ReplacementFile::commit(const char *faultPoint)
{
    FaultPoint::reach(faultPoint);
    m_file.close();
    if (::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        throw DbfError(QStringLiteral("Cannot replace \"%1\": %2.").arg(m_target, systemError(errno)));
    m_committed = true;
}
