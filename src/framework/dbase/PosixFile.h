#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

// What tells one version of a file from the next: a file replaced by a rename
// is another inode, and a write changes the modification time.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t size = 0;

    // Of the file at `path`; all zero when there is none.
    static FileIdentity of(const QString &path);
    bool operator==(const FileIdentity &) const = default;
};

// Thin RAII wrapper over a POSIX file descriptor; every failure throws DbfError
// naming the file (DbfReadOnlyError when a file may not be written or created).
class PosixFile
{
public:
    PosixFile() = default;
    PosixFile(const QString &path, int flags, int mode = 0644);
    ~PosixFile();
    PosixFile(PosixFile &&other) noexcept;
    PosixFile &operator=(PosixFile &&other) noexcept;
    PosixFile(const PosixFile &) = delete;
    PosixFile &operator=(const PosixFile &) = delete;

    // Opens without throwing; answers errno (0 on success).
    static int tryOpen(const QString &path, int flags, PosixFile &out);

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const QString &path() const { return m_path; }
    void close();

    std::uint64_t size() const;
    FileIdentity identity() const;
    // A failed write may have stored part of the bytes.
    void writeAt(std::uint64_t offset, const void *data, std::size_t size);
    void readAt(std::uint64_t offset, void *data, std::size_t size) const; // exactly size bytes
    void truncate(std::uint64_t size);
    // Waits until what was written reaches the disk.
    void sync();

    // Open-file-description locks on one byte far beyond any data, so that they
    // never block reads or the record locks of other dBASE tools.
    enum class Lock { Shared, Exclusive };
    bool tryLock(Lock kind, std::uint64_t slot = 0); // without waiting
    void waitLock(Lock kind, std::uint64_t slot);    // waits for the lock
    void unlock(std::uint64_t slot = 0);
    bool lockedByOthers(Lock kind, std::uint64_t slot = 0) const;

private:
    // The name messages give: the file's own, or for a replacement under a
    // temporary name, the file it replaces.
    const QString &shownPath() const { return m_shownPath.isEmpty() ? m_path : m_shownPath; }

    friend class ReplacementFile; // names the file after its target
    int m_fd = -1;
    QString m_path;
    QString m_shownPath;
};

// A read-only shared mapping of a file, so that a record is read without a
// copy. The length may exceed the file so that appended records need no new
// mapping; only bytes inside the file may be read.
class FileMapping
{
public:
    FileMapping() = default;
    FileMapping(const PosixFile &file, std::size_t length);
    ~FileMapping();
    FileMapping(FileMapping &&other) noexcept;
    FileMapping &operator=(FileMapping &&other) noexcept;
    FileMapping(const FileMapping &) = delete;
    FileMapping &operator=(const FileMapping &) = delete;

    const char *data() const { return m_data; }
    const std::uint8_t *bytes() const { return reinterpret_cast<const std::uint8_t *>(m_data); }
    std::size_t length() const { return m_length; }

private:
    void release();
    const char *m_data = nullptr;
    std::size_t m_length = 0;
};

// Writes a whole new file beside `target` and renames it over the target, so
// that a crash leaves either the old or the new file. The temporary file is
// named "<target>.<pid>-<n>.new~", a name no other process uses, and holds the
// exclusive lock of slot 0 from its creation: a file of that name without the
// lock and without its process was left by a killed program. For a table, slot
// 0 is the open lock, so the new file is in exclusive use from the start.
class ReplacementFile
{
public:
    explicit ReplacementFile(const QString &target);
    ~ReplacementFile(); // removes the temporary file unless committed

    PosixFile &file() { return m_file; }
    // Renames the file over the target. The file stays open and locked, so
    // that the caller may take it over as the target.
    void commit(const char *faultPoint);

    // Removes the temporary files of `target` left by programs that are no
    // longer running, and answers their paths. Files that cannot be removed
    // are left alone.
    static QStringList removeStale(const QString &target);

private:
    QString m_target;
    QString m_temporary;
    PosixFile m_file;
    bool m_committed = false;
};
