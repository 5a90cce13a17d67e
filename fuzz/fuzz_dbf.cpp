// A table and its production index as another program may have left them: the
// input is split into a .DBF and a .MDX, the pair is opened with the index
// selected, and every field of every record is read. Then the index alone is
// read tag by tag.

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/MdxFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace {

const QString &workDir()
{
    static const QString dir = [] {
        const QString path = QDir::temp().filePath(QStringLiteral("shelfmark-fuzz-%1").arg(::getpid()));
        QDir().mkpath(path);
        return path;
    }();
    return dir;
}

void writeFile(const QString &path, const char *data, std::size_t size)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(data, qint64(size));
}

void readEverything(DbfTable &table)
{
    for (table.first(); !table.eof(); table.next()) {
        const DbfRecord record = table.current();
        for (int f = 0; f < int(table.fields().size()); ++f) {
            (void)record.text(f);
            (void)record.number(f);
            (void)record.date(f);
            (void)record.logical(f);
            (void)record.isBlank(f);
        }
    }
    for (std::uint32_t r = 1; r <= table.physicalCount(); ++r)
        (void)table.physicalRecord(r).isDeleted();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // First three bytes: the length of the table part; the rest is the index.
    if (size < 3)
        return 0;
    const std::size_t tableSize = std::min<std::size_t>(size - 3, std::size_t(data[0] | data[1] << 8 | data[2] << 16));
    const char *table = reinterpret_cast<const char *>(data + 3);
    const char *index = table + tableSize;
    const std::size_t indexSize = size - 3 - tableSize;

    const QString dbf = QDir(workDir()).filePath(QStringLiteral("FUZZ.DBF"));
    const QString mdx = QDir(workDir()).filePath(QStringLiteral("FUZZ.MDX"));
    writeFile(dbf, table, tableSize);
    writeFile(mdx, index, indexSize);

    for (const QString &tag : {QStringLiteral("NewIndex"), QString()}) {
        try {
            DbfTable t;
            t.setIndexName(tag);
            t.open(dbf, DbfTable::Access::ReadOnly);
            readEverything(t);
        } catch (const Error &) {
        }
    }
    try {
        const MdxReader reader(reinterpret_cast<const std::uint8_t *>(index), indexSize);
        for (const MdxTag &tag : reader.tags())
            reader.walk(tag, [](std::uint32_t, const std::uint8_t *) {});
    } catch (const Error &) {
    }
    return 0;
}
