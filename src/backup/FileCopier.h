#pragma once

#include <QString>
#include <functional>
#include <memory>

class ReplacementFile;

// The file copy of the backup and the restore, with the two tests that come
// before a copy.
//
// A copy never overwrites its destination in place: the blocks go to a
// temporary file beside the destination ("<destination>.<pid>-<n>.new~"),
// which is flushed to the disk and renamed over the destination only when it
// is complete. A copy that fails, or a program killed while copying, leaves
// the file that was there before (an older backup, a database) as it was, and
// no partial file under the destination's name; temporary files that a killed
// copy left behind are removed by the next copy to the same destination, and
// at the next start (see ReplacementLog).
class FileCopier
{
public:
    static constexpr std::size_t BlockSize = 2048;

    // The identical-path test: the two full paths compared as strings,
    // ignoring case.
    static bool identical(const QString &source, const QString &destination);

    // Copies `source` over `destination` (created, or replaced without asking).
    // Throws FileError when the source cannot be read or the destination
    // cannot be written.
    static void copy(const QString &source, const QString &destination);

    // The free-space test: the free bytes of the destination's volume and the
    // size of a file already at the destination together are at least the
    // size of the source.
    static bool hasRoomFor(const QString &source, const QString &destination);

    // Test seam: the free bytes of the volume that holds a directory; an
    // empty function asks the system.
    using FreeBytes = std::function<qint64(const QString &directory)>;
    static void setFreeBytes(FreeBytes freeBytes);
};

// A file as it is now, kept in a temporary file beside it while its path is
// replaced, so that the replacement can be undone. The kept copy is removed
// when the object goes, unless it was put back.
class KeptFile
{
public:
    // Keeps nothing when there is no file at `path`. Throws FileError when the
    // copy cannot be made.
    explicit KeptFile(const QString &path);
    ~KeptFile();
    KeptFile(const KeptFile &) = delete;
    KeptFile &operator=(const KeptFile &) = delete;

    // Puts the kept file back under its path (nothing when none was kept).
    // Throws FileError when it cannot.
    void putBack();

private:
    std::unique_ptr<ReplacementFile> m_copy;
};
