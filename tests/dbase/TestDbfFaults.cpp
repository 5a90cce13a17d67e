#include "BookTable.h"
#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <unistd.h>

// Storage under faults: a full disk, a read-only folder, a failing write, a
// crash's leftovers, a second open of the table.
namespace {

using TestSupport::appendBook;
using TestSupport::bookFields;
using TestSupport::readAll;
using TestSupport::writeAll;
using Operation = FaultPoint::Operation;

using TestSupport::ShelfTag;
constexpr int RecordLength = 90;

// A volume with `freeBytes` left: a write that lengthens a file takes from
// them; one that does not fit writes what fits and fails, as a full disk does.
std::uint64_t freeBytes = 0;
int fullDisk(Operation operation, const QString &path, std::uint64_t offset, std::size_t &size)
{
    if (operation != Operation::Write)
        return 0;
    const std::uint64_t start = std::max<std::uint64_t>(offset, std::uint64_t(QFileInfo(path).size()));
    const std::uint64_t end = offset + size;
    if (end <= start || end - start <= freeBytes) {
        freeBytes -= end > start ? end - start : 0;
        return 0;
    }
    size = std::size_t(start + freeBytes - offset);
    freeBytes = 0;
    return ENOSPC;
}

// A folder whose files may be written but in which nothing may be created or
// renamed; root is refused as well.
QString readOnlyFolder;
int folderReadOnly(Operation operation, const QString &path, std::uint64_t, std::size_t &)
{
    return operation != Operation::Write && QFileInfo(path).absolutePath() == readOnlyFolder ? EACCES : 0;
}

// The write number `writesBeforeFailure` (counting from 0) to `failingFile`
// stores half its bytes and fails.
QString failingFile;
int writesBeforeFailure = -1;
int failingWrite(Operation operation, const QString &path, std::uint64_t, std::size_t &size)
{
    if (operation != Operation::Write || path != failingFile || writesBeforeFailure-- != 0)
        return 0;
    size /= 2;
    return EIO;
}

QString mdxOf(const QString &path)
{
    return QFileInfo(path).dir().filePath(QStringLiteral("BOOKS.MDX"));
}

QStringList temporaryFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.new~")}, QDir::Files);
}

// Opens the table read-only, so that nothing is repaired, and answers why its
// index would have to be rebuilt (empty when it agrees with the records).
QString indexProblem(const QString &path)
{
    DbfTable table;
    table.setIndexName(ShelfTag);
    table.open(path, DbfTable::Access::ReadOnly);
    return table.indexRepairReason();
}

std::uint32_t storedCount(const QString &path)
{
    return readLittleEndian32(reinterpret_cast<const std::uint8_t *>(readAll(path).constData()) + 4);
}

} // namespace

class TestDbfFaults : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        FaultPoint::setFailureHook(nullptr);
        FaultPoint::setHook(nullptr);
    }

    void fullDiskLeavesAStoreDoneUndoneOrWithTheIndexBehind()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 30);
        const QString mdx = mdxOf(path);
        const QByteArray tableBefore = readAll(path);
        const QByteArray indexBefore = readAll(mdx);
        QSet<QString> outcomes;
        // Every amount of free space from none to enough for the record and the index.
        for (std::uint64_t room = 0; room <= RecordLength + 2 * std::uint64_t(indexBefore.size()); room += 67) {
            writeAll(path, tableBefore);
            writeAll(mdx, indexBefore);
            DbfTable table;
            table.setIndexName(ShelfTag);
            table.open(path);
            freeBytes = room;
            FaultPoint::setFailureHook(fullDisk);
            try {
                appendBook(table, {QStringLiteral("New"), QStringLiteral("Author 15b"), 1999, {}, {}});
                FaultPoint::setFailureHook(nullptr);
                outcomes << QStringLiteral("done");
                QCOMPARE(table.physicalCount(), 31u);
                QCOMPARE(indexProblem(path), QString());
            } catch (const DbfIndexNotSavedError &e) {
                FaultPoint::setFailureHook(nullptr);
                outcomes << QStringLiteral("index behind");
                QVERIFY2(e.message().contains(QLatin1String("was stored")), qPrintable(e.message()));
                QVERIFY2(e.cause().contains(QLatin1String("No space left")), qPrintable(e.cause()));
                QVERIFY2(!e.cause().contains(QLatin1String("new~")), qPrintable(e.cause())); // no temporary name
                QCOMPARE(table.state(), DbfTable::State::Browse);
                QCOMPARE(table.lastPosted(), 31u);
                QCOMPARE(table.text(0), QStringLiteral("New"));
                QCOMPARE(readAll(mdx), indexBefore);
                table.post(); // pressing Update again stores nothing twice
                QCOMPARE(storedCount(path), 31u);
            } catch (const DbfError &e) {
                FaultPoint::setFailureHook(nullptr);
                outcomes << QStringLiteral("undone");
                QVERIFY2(e.message().contains(QLatin1String("No space left")), qPrintable(e.message()));
                QCOMPARE(table.state(), DbfTable::State::Insert);
                QCOMPARE(readAll(path), tableBefore);
                QCOMPARE(readAll(mdx), indexBefore);
            }
            QCOMPARE(temporaryFiles(dir.path()), QStringList());
            QCOMPARE(QFileInfo(path).size(), qint64(tableBefore.size()) + RecordLength * (storedCount(path) - 30));
        }
        QCOMPARE(outcomes,
                 QSet<QString>({QStringLiteral("done"), QStringLiteral("index behind"), QStringLiteral("undone")}));
        // An index left behind is rebuilt when the table is opened.
        DbfTable table;
        table.setIndexName(ShelfTag);
        table.open(path);
        QCOMPARE(table.recordCount(), 31);
        QCOMPARE(indexProblem(path), QString());
    }

    // A table refused for its header is named, with the reason.
    void refusedTableIsNamedWithTheReason()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 2);
        QByteArray bytes = readAll(path);
        bytes[32 + 32 + 16] = 0; // the second field's width
        const QString mine = QDir(dir.path()).filePath(QStringLiteral("MYBOOKS.DBF"));
        writeAll(mine, bytes);
        DbfTable table;
        try {
            table.open(mine, DbfTable::Access::ReadOnly);
            QFAIL("a field of width 0 was accepted");
        } catch (const DbfError &e) {
            QVERIFY2(e.message().startsWith(QLatin1String("MYBOOKS.DBF cannot be opened: field ")),
                     qPrintable(e.message()));
            QVERIFY2(e.message().endsWith(QLatin1String("has width 0.")), qPrintable(e.message()));
        }
    }

    void readOnlyFolderKeepsTheChangesAndSaysTheIndexIsBehind()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 5);
        const QByteArray indexBefore = readAll(mdxOf(path));
        readOnlyFolder = dir.path();
        {
            DbfTable table;
            table.setIndexName(ShelfTag);
            table.open(path);
            FaultPoint::setFailureHook(folderReadOnly);
            try {
                appendBook(table, {QStringLiteral("New"), QStringLiteral("Zweig"), {}, {}, {}});
                QFAIL("the index was saved in a read-only folder");
            } catch (const DbfIndexNotSavedError &e) {
                QVERIFY2(e.cause().contains(QLatin1String("read-only")), qPrintable(e.cause()));
            }
            QCOMPARE(table.state(), DbfTable::State::Browse);
            table.post();
            QCOMPARE(storedCount(path), 6u);

            table.edit(1);
            table.setText(1, QStringLiteral("Aaron"));
            QVERIFY_THROWS_EXCEPTION(DbfIndexNotSavedError, table.post());
            QCOMPARE(table.physicalRecord(1).text(1), QStringLiteral("Aaron"));
            table.deleteRecord(); // no index write: done
            QVERIFY(table.physicalRecord(1).isDeleted());
            QCOMPARE(readAll(mdxOf(path)), indexBefore);
            QCOMPARE(temporaryFiles(dir.path()), QStringList());
        }
        FaultPoint::setFailureHook(nullptr);
        QVERIFY(!indexProblem(path).isEmpty());

        DbfTable table;
        table.setIndexName(ShelfTag);
        table.open(path, DbfTable::Access::Exclusive);
        QVERIFY(!table.indexRepairReason().isEmpty()); // rebuilt
        const QByteArray tableBefore = readAll(path);
        FaultPoint::setFailureHook(folderReadOnly);
        try {
            table.pack();
            QFAIL("a table was packed in a read-only folder");
        } catch (const DbfReadOnlyError &e) {
            QVERIFY2(e.message().contains(QLatin1String("read-only")), qPrintable(e.message()));
        }
        QCOMPARE(readAll(path), tableBefore);
        QCOMPARE(table.recordCount(), 5);
    }

    void failedWriteOfARecordLeavesItAsItWas()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 3);
        const QByteArray before = readAll(path);
        DbfTable table;
        table.setIndexName(ShelfTag);
        table.open(path);
        table.edit();
        table.setText(1, QStringLiteral("Changed"));
        failingFile = path;
        writesBeforeFailure = 0;
        FaultPoint::setFailureHook(failingWrite);
        try {
            table.post();
            QFAIL("the failed write was reported as done");
        } catch (const DbfIndexNotSavedError &) {
            QFAIL("the failed record write was reported as stored");
        } catch (const DbfError &) {
        }
        QCOMPARE(readAll(path), before);
        QCOMPARE(table.state(), DbfTable::State::Edit);
        FaultPoint::setFailureHook(nullptr);
        table.post();
        QCOMPARE(table.text(1), QStringLiteral("Changed"));
        QCOMPARE(indexProblem(path), QString());

        const QByteArray changed = readAll(path);
        writesBeforeFailure = 0;
        FaultPoint::setFailureHook(failingWrite);
        QVERIFY_THROWS_EXCEPTION(DbfError, table.deleteRecord());
        QCOMPARE(readAll(path), changed);
        QCOMPARE(table.recordCount(), 3);
        QCOMPARE(table.text(1), QStringLiteral("Changed"));
    }

    void failedBulkUpdateIsUndoneAsAWhole()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 200);
        const QString mdx = mdxOf(path);
        const QByteArray tableBefore = readAll(path);
        const QByteArray indexBefore = readAll(mdx);
        DbfTable table;
        table.setIndexName(ShelfTag);
        table.open(path);

        // An import whose second batch of records finds the disk full.
        freeBytes = 3 << 19;
        FaultPoint::setFailureHook(fullDisk);
        table.beginBulkUpdate();
        QVERIFY_THROWS_EXCEPTION(DbfError, {
            for (int i = 0; i < 40000; ++i)
                appendBook(table, {QStringLiteral("Imported"), QStringLiteral("Author %1").arg(i), i, {}, {}});
        });
        table.cancel();
        table.endBulkUpdate();
        FaultPoint::setFailureHook(nullptr);
        QCOMPARE(readAll(path), tableBefore);
        QCOMPARE(readAll(mdx), indexBefore);
        QCOMPARE(table.recordCount(), 200);

        // A replace whose 151st record cannot be written.
        failingFile = path;
        writesBeforeFailure = 150;
        FaultPoint::setFailureHook(failingWrite);
        table.beginBulkUpdate();
        QVERIFY_THROWS_EXCEPTION(DbfError, {
            for (int row = 0; row < table.recordCount(); ++row) {
                table.edit(table.recordAtRow(row));
                table.setText(1, QStringLiteral("Replaced"));
                table.post();
            }
        });
        table.endBulkUpdate();
        FaultPoint::setFailureHook(nullptr);
        QCOMPARE(readAll(path), tableBefore);
        QCOMPARE(table.text(1), QStringLiteral("Author 0"));

        // The records of an import stand when only the index cannot be saved.
        readOnlyFolder = dir.path();
        FaultPoint::setFailureHook(folderReadOnly);
        table.beginBulkUpdate();
        for (int i = 0; i < 100; ++i)
            appendBook(table, {QStringLiteral("Imported"), QStringLiteral("Author %1").arg(i), i, {}, {}});
        QVERIFY_THROWS_EXCEPTION(DbfIndexNotSavedError, table.endBulkUpdate());
        FaultPoint::setFailureHook(nullptr);
        QCOMPARE(storedCount(path), 300u);
        QCOMPARE(table.recordCount(), 300);
        QCOMPARE(readAll(mdx), indexBefore);
    }

    void writableOpenCutsRecordsBeyondTheCount()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 2);
        const QByteArray committed = readAll(path);
        // A crash between the records and the header: a whole record and a torn
        // one after the count, the end-of-file byte overwritten.
        const QByteArray crashed = committed.chopped(1) + QByteArray(RecordLength, 'X') + QByteArray(40, 'Y');
        writeAll(path, crashed);
        {
            DbfTable reader;
            reader.open(path, DbfTable::Access::ReadOnly);
            QCOMPARE(reader.recordCount(), 2);
        }
        QCOMPARE(readAll(path), crashed);
        {
            DbfTable writer;
            writer.open(path);
            QCOMPARE(writer.recordCount(), 2);
        }
        QCOMPARE(readAll(path), committed);

        // Records another open is importing lie beyond the count until it ends.
        DbfTable importer;
        importer.open(path);
        importer.beginBulkUpdate();
        appendBook(importer, {QStringLiteral("Importing"), QStringLiteral("B"), {}, {}, {}});
        importer.refresh();
        const qint64 importing = QFileInfo(path).size();
        QCOMPARE(importing, committed.size() - 1 + RecordLength);
        QCOMPARE(storedCount(path), 2u);
        DbfTable other;
        other.open(path);
        QCOMPARE(QFileInfo(path).size(), importing);
        importer.endBulkUpdate();
        other.refresh();
        QCOMPARE(other.recordCount(), 3);
        QCOMPARE(QFileInfo(path).size(), committed.size() + RecordLength);
    }

    void temporaryFilesHaveOwnNamesAndThoseOfDeadProgramsAreRemoved()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        {
            // Two replacements of one file at once.
            ReplacementFile first(path);
            ReplacementFile second(path);
            first.file().writeAt(0, "first", 5);
            second.file().writeAt(0, "second", 6);
            second.commit("test:written");
            first.commit("test:written");
            QCOMPARE(readAll(path), QByteArray("first"));
        }
        QProcess finished;
        finished.start(QStringLiteral("true"), {});
        QVERIFY(finished.waitForStarted());
        const qint64 dead = finished.processId();
        QVERIFY(finished.waitForFinished());

        const auto touch = [&](const QString &name) {
            writeAll(dir.filePath(name), "partial");
            return dir.filePath(name);
        };
        const QStringList left = {touch(QStringLiteral("BOOKS.DBF.%1-1.new~").arg(dead)),
                                  touch(QStringLiteral("BOOKS.MDX.%1-7.new~").arg(dead)),
                                  touch(QStringLiteral("BOOKS.DBF.new~")), touch(QStringLiteral("books.mdx.new~"))};
        const QStringList others = {touch(QStringLiteral("BOOKS.DBF.%1-1.new~").arg(::getppid())),
                                    touch(QStringLiteral("OTHER.DBF.%1-1.new~").arg(dead)),
                                    touch(QStringLiteral("BOOKS.DBF.bak"))};
        ReplacementFile writing(path);
        QStringList removed = DbfTable::removeStaleTemporaries(path);
        removed.sort();
        QStringList expected = left;
        expected.sort();
        QCOMPARE(removed, expected);
        for (const QString &file : others)
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
        QCOMPARE(temporaryFiles(dir.path()).size(), 3); // the running one's, OTHER's and our own
    }

    void readOnlyTableSaysItIsReadOnly()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 2);
        TestSupport::ReadOnlyFile readOnly(path);
        if (!readOnly.active())
            QSKIP("this file system cannot make a file read-only for this user");
        DbfTable table;
        try {
            table.open(path, DbfTable::Access::Exclusive);
            QFAIL("a read-only table was opened for packing");
        } catch (const DbfReadOnlyError &e) {
            QVERIFY2(e.message().contains(QLatin1String("read-only")), qPrintable(e.message()));
        }
        table.open(path);
        QVERIFY_THROWS_EXCEPTION(DbfReadOnlyError, table.append());
    }

    void indexWrittenByOneOpenHoldsWhatAnotherChanged()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 3);
        DbfTable mine;
        DbfTable theirs;
        for (DbfTable *table : {&mine, &theirs}) {
            table->setIndexName(ShelfTag);
            table->open(path);
        }
        appendBook(theirs, {QStringLiteral("Theirs"), QStringLiteral("Mann"), {}, {}, {}});
        // An edit here, without a refresh, writes the index with their book.
        mine.edit(1);
        mine.setText(1, QStringLiteral("Zola"));
        mine.post();
        QCOMPARE(indexProblem(path), QString());
        QCOMPARE(TestSupport::indexEntries(mdxOf(path), ShelfTag).size(), std::size_t(4));
        // Their next store keeps the key my edit gave record 1.
        appendBook(theirs, {QStringLiteral("Theirs 2"), QStringLiteral("Adams"), {}, {}, {}});
        QCOMPARE(indexProblem(path), QString());
        const auto entries = TestSupport::indexEntries(mdxOf(path), ShelfTag);
        QCOMPARE(entries.size(), std::size_t(5));
        QCOMPARE(entries.back(), std::make_pair(1u, QByteArray("ZOLA").leftJustified(20, ' ')));
    }
};

SHELFMARK_TEST(TestDbfFaults)
#include "TestDbfFaults.moc"
