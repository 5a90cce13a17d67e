#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Thin RAII wrapper over a POSIX file descriptor; every failure throws DbfError
// naming the file.
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
    void writeAt(std::uint64_t offset, const void *data, std::size_t size);
    void readAt(std::uint64_t offset, void *data, std::size_t size) const; // exactly size bytes
    void truncate(std::uint64_t size);

    // Open-file-description locks on one byte far beyond any data, so that they
    // never block reads or the record locks of other dBASE tools.
    enum class Lock { Shared, Exclusive };
    bool tryLock(Lock kind, std::uint64_t slot = 0); // without waiting
    void waitLock(Lock kind, std::uint64_t slot);    // waits for the lock
    void unlock(std::uint64_t slot = 0);
    bool lockedByOthers(Lock kind, std::uint64_t slot = 0) const;

private:
    int m_fd = -1;
    QString m_path;
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
// that a crash leaves either the old or the new file.
class ReplacementFile
{
public:
    explicit ReplacementFile(const QString &target);
    ~ReplacementFile(); // removes the temporary file unless committed

    PosixFile &file() { return m_file; }
    void commit(const char *faultPoint); // closes and renames over the target

private:
    QString m_target;
    QString m_temporary;
    PosixFile m_file;
    bool m_committed = false;
};
