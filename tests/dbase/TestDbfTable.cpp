#include "BookTable.h"
#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/dbase/MdxFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>

namespace {

using TestSupport::appendBook;
using TestSupport::bookFields;
using TestSupport::indexEntries;

QStringList authorsInCursorOrder(DbfTable &table)
{
    QStringList authors;
    for (table.first(); !table.eof(); table.next())
        authors << table.text(1);
    return authors;
}

[[noreturn]] void throwAtFault(const char *point)
{
    throw std::runtime_error(point);
}

const char *armedPoint = nullptr;
void throwAtArmedPoint(const char *point)
{
    if (armedPoint && std::strcmp(point, armedPoint) == 0)
        throw std::runtime_error(point);
}

} // namespace

class TestDbfTable : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        FaultPoint::setHook(nullptr);
        armedPoint = nullptr;
    }

    void writtenFileMatchesTheFormat()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        {
            DbfTable table;
            table.open(path);
            appendBook(table,
                       {QStringLiteral("Dune"), QStringLiteral("Herbert, Frank"), 1965, 9.99, QDate(2024, 3, 15)});
        }
        const QByteArray bytes = TestSupport::readAll(path);
        const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.constData());
        const int headerLength = 32 + 5 * 32 + 1;
        const int recordLength = 1 + 30 + 20 + 11 + 20 + 8;
        QCOMPARE(bytes.size(), headerLength + recordLength + 1);
        QCOMPARE(p[0], std::uint8_t(0x03));
        const QDate today = QDate::currentDate();
        QCOMPARE(int(p[1]), today.year() - 1900);
        QCOMPARE(int(p[2]), today.month());
        QCOMPARE(int(p[3]), today.day());
        QCOMPARE(readLittleEndian32(p + 4), 1u);
        QCOMPARE(int(readLittleEndian16(p + 8)), headerLength);
        QCOMPARE(int(readLittleEndian16(p + 10)), recordLength);
        QCOMPARE(p[28], std::uint8_t(0)); // no index yet
        QCOMPARE(p[29], std::uint8_t(0x03));
        QCOMPARE(bytes.mid(32, 11), QByteArray("TITLE\0\0\0\0\0\0", 11));
        QCOMPARE(char(p[32 + 11]), 'C');
        QCOMPARE(int(p[32 + 16]), 30);
        QCOMPARE(char(p[32 + 3 * 32 + 11]), 'N');
        QCOMPARE(int(p[32 + 3 * 32 + 16]), 20);
        QCOMPARE(int(p[32 + 3 * 32 + 17]), 4);
        QCOMPARE(char(p[32 + 4 * 32 + 11]), 'D');
        QCOMPARE(int(p[headerLength - 1]), 0x0D);
        const QByteArray record = bytes.mid(headerLength, recordLength);
        QCOMPARE(record, QByteArray(" Dune") + QByteArray(26, ' ') + QByteArray("Herbert, Frank      ") +
                             QByteArray("       1965") + QByteArray("              9.9900") + QByteArray("20240315"));
        QCOMPARE(int(p[bytes.size() - 1]), 0x1A);
    }

    void valuesReadBackFieldByField()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("books.dbf"));
        DbfTable::create(path, bookFields());
        {
            DbfTable table;
            table.open(path);
            appendBook(table, {QStringLiteral("Les Misérables"), QStringLiteral("Žižek, Slavoj"), -44, -0.5, {}});
            appendBook(table,
                       {QStringLiteral("Smilla’s Sense of Snow €"), QString(), std::nullopt, 0.0, QDate(1999, 12, 31)});
            appendBook(table, {QStringLiteral("A title that is much longer than thirty characters"),
                               QStringLiteral("x"), 1234567890, 123456789012345.1234, QDate(1, 1, 1)});
        }
        DbfTable table;
        table.open(path, DbfTable::Access::ReadOnly);
        QCOMPARE(table.recordCount(), 3);
        QCOMPARE(table.fieldIndex(u"purchdate"), 4);
        QCOMPARE(table.fieldIndex(u"nosuch"), -1);
        QVERIFY_THROWS_EXCEPTION(DbfError, table.field(u"nosuch"));
        table.first();
        QCOMPARE(table.text(0), QStringLiteral("Les Misérables"));
        QCOMPARE(table.text(1), QStringLiteral("Žižek, Slavoj"));
        QCOMPARE(table.number(2), std::optional<double>(-44));
        QCOMPARE(table.number(3), std::optional<double>(-0.5));
        QVERIFY(table.date(4).isNull());
        QVERIFY(table.isBlank(4));
        table.next();
        QCOMPARE(table.text(0), QStringLiteral("Smilla’s Sense of Snow €"));
        QVERIFY(table.text(1).isEmpty());
        QVERIFY(!table.number(2).has_value());
        QCOMPARE(table.number(3), std::optional<double>(0.0));
        QVERIFY(!table.isBlank(3)); // zero is stored, not blank
        QCOMPARE(table.date(4), QDate(1999, 12, 31));
        table.next();
        QCOMPARE(table.text(0), QStringLiteral("A title that is much longer th")); // cut to the field's 30 bytes
        QCOMPARE(table.number(2), std::optional<double>(1234567890));
        QCOMPARE(table.number(3), std::optional<double>(123456789012345.1234));
        QCOMPARE(table.date(4), QDate(1, 1, 1));
    }

    void valuesThatCannotBeStoredAreRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        table.append();
        try {
            table.setText(1, QStringLiteral("Miłosz, Czesław"));
            QFAIL("a character outside Windows-1252 was accepted");
        } catch (const DbfError &e) {
            QVERIFY2(e.message().contains(QLatin1String("AUTHOR")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("ł")), qPrintable(e.message()));
        }
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setText(0, QStringLiteral("Reading list 📚")));
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setNumber(2, 123456789012.0)); // 12 digits in N(11,0)
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setNumber(3, std::numeric_limits<double>::infinity()));
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setText(2, QStringLiteral("twelve")));
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setText(4, QStringLiteral("20230230")));
        table.cancel();
        QCOMPARE(table.recordCount(), 0);
        QCOMPARE(table.physicalCount(), 0u);
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setText(0, QStringLiteral("not editing")));
    }

    void numbersIgnoreTheCLocale()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        QTemporaryDir localeDir;
        TestSupport::CommaLocale comma(localeDir);
        if (!comma.active())
            QSKIP("no German locale can be generated on this machine");
        DbfTable table;
        table.open(path);
        table.append();
        table.setNumber(3, 1234.5);
        table.setText(2, QStringLiteral("1970"));
        table.post();
        table.first();
        QCOMPARE(table.number(3), std::optional<double>(1234.5));
        const QByteArray bytes = TestSupport::readAll(path);
        QVERIFY(bytes.contains("1234.5000"));
    }

    void deletedRecordsAreSkippedAndNotCounted()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        for (const char *author : {"A", "B", "C", "D"})
            appendBook(table, {QStringLiteral("t"), QString::fromLatin1(author), {}, {}, {}});
        table.setRow(1);
        table.deleteRecord();
        QCOMPARE(table.text(1), QStringLiteral("C")); // the cursor moves to the next record
        table.last();
        table.deleteRecord();
        QCOMPARE(table.text(1), QStringLiteral("C")); // deleting the last moves back
        QCOMPARE(table.recordCount(), 2);
        QCOMPARE(table.physicalCount(), 4u);
        QCOMPARE(authorsInCursorOrder(table), QStringList({QStringLiteral("A"), QStringLiteral("C")}));
        table.close();
        table.open(path);
        QCOMPARE(authorsInCursorOrder(table), QStringList({QStringLiteral("A"), QStringLiteral("C")}));
        QVERIFY(table.physicalRecord(2).isDeleted());
    }

    void cursorReportsBothEnds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        QVERIFY(table.bof() && table.eof());
        QCOMPARE(table.recNo(), 0u);
        QVERIFY_THROWS_EXCEPTION(DbfError, table.text(0));
        appendBook(table, {QStringLiteral("one"), QStringLiteral("A"), {}, {}, {}});
        appendBook(table, {QStringLiteral("two"), QStringLiteral("B"), {}, {}, {}});
        table.first();
        QVERIFY(table.bof() && !table.eof());
        table.prior();
        QVERIFY(table.bof());
        QCOMPARE(table.recNo(), 1u);
        table.next();
        QVERIFY(!table.bof() && !table.eof());
        table.next();
        QVERIFY(table.eof());
        QCOMPARE(table.recNo(), 2u);
        QVERIFY(table.goToRecord(1));
        QCOMPARE(table.text(0), QStringLiteral("one"));
        QVERIFY(!table.goToRecord(3));
    }

    void editPostAndCancel()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        appendBook(table, {QStringLiteral("Dune"), QStringLiteral("Herbert"), 1965, {}, {}});
        table.edit();
        table.setText(0, QStringLiteral("Changed"));
        QCOMPARE(table.text(0), QStringLiteral("Changed")); // the edit buffer
        table.cancel();
        QCOMPARE(table.text(0), QStringLiteral("Dune"));
        table.edit();
        table.setText(0, QStringLiteral("Dune Messiah"));
        table.next(); // moving on posts, as with the engine's table component
        QCOMPARE(table.state(), DbfTable::State::Browse);
        DbfTable other;
        other.open(path);
        QCOMPARE(other.text(0), QStringLiteral("Dune Messiah"));
        QCOMPARE(other.physicalCount(), 1u);
    }

    void filterDecidesWhatTheCursorVisits()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        for (int year : {1950, 1990, 1970, 2001})
            appendBook(table, {QStringLiteral("t"), QString::number(year), double(year), {}, {}});
        int visits = 0;
        table.setFilter([&](const DbfRecord &r) {
            ++visits;
            return r.number(2).value_or(0) >= 1970;
        });
        QCOMPARE(visits, 4);
        QCOMPARE(table.recordCount(), 3);
        QCOMPARE(authorsInCursorOrder(table),
                 QStringList({QStringLiteral("1990"), QStringLiteral("1970"), QStringLiteral("2001")}));
        appendBook(table, {QStringLiteral("t"), QStringLiteral("1900"), 1900, {}, {}}); // posted but filtered out
        QCOMPARE(table.recordCount(), 3);
        QCOMPARE(table.physicalCount(), 5u);
        table.setFilter(nullptr);
        QCOMPARE(table.recordCount(), 5);
    }

    void indexOrdersByKeyThenRecordNumber()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        const QStringList authors = {QStringLiteral("smith"), QStringLiteral("Adams"), QStringLiteral("SMITH"),
                                     QStringLiteral("émile"), QStringLiteral("Zola"),  QStringLiteral("")};
        for (const QString &author : authors)
            appendBook(table, {author, author, {}, {}, {}});
        table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,15))"));
        table.setIndexName(QStringLiteral("NewIndex"));
        QVERIFY(table.indexRepairReason().isEmpty());
        // Blank first, "smith" before "SMITH" by record number, É (0xC9) after Z.
        QCOMPARE(authorsInCursorOrder(table),
                 QStringList({QString(), QStringLiteral("Adams"), QStringLiteral("smith"), QStringLiteral("SMITH"),
                              QStringLiteral("Zola"), QStringLiteral("émile")}));
        const auto entries = indexEntries(table.mdxPath(), QStringLiteral("NEWINDEX"));
        QCOMPARE(entries.size(), std::size_t(6));
        QCOMPARE(entries[2].first, 1u);
        QCOMPARE(entries[2].second, QByteArray("SMITH          "));
        QCOMPARE(entries[5].second, QByteArray("\xC9MILE          "));
        QCOMPARE(TestSupport::readAll(path).at(28), char(1));
    }

    void indexFileStaysTrueAfterEveryChange()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        const QString expression = QStringLiteral("Upper(Left(Author,10))+DTOS(PurchDate)+STR(Cost,12,2)");
        auto checkDisk = [&](const char *step) {
            DbfTable check;
            check.setIndexName(QStringLiteral("NewIndex"));
            check.open(path, DbfTable::Access::ReadOnly);
            QVERIFY2(check.indexRepairReason().isEmpty(),
                     qPrintable(QString::fromLatin1(step) + QLatin1String(": ") + check.indexRepairReason()));
        };
        DbfTable table;
        table.open(path);
        table.addIndex(QStringLiteral("NewIndex"), expression);
        table.setIndexName(QStringLiteral("NewIndex"));
        checkDisk("empty");
        for (int i = 0; i < 300; ++i)
            appendBook(table, {QString::number(i),
                               QStringLiteral("Author %1").arg(i % 17),
                               {},
                               double(i % 7),
                               QDate(2000, 1, 1).addDays(i % 5)});
        checkDisk("appended");
        table.first();
        table.edit();
        table.setText(1, QStringLiteral("Zzz last"));
        table.post();
        checkDisk("edited");
        QCOMPARE(table.text(1), QStringLiteral("Zzz last")); // the cursor follows the record
        QCOMPARE(table.row(), table.recordCount() - 1);
        table.first();
        table.deleteRecord();
        checkDisk("deleted");
        table.beginBulkUpdate();
        for (int i = 0; i < 50; ++i)
            appendBook(table, {QStringLiteral("bulk"), QStringLiteral("Bulk %1").arg(i), {}, {}, {}});
        table.endBulkUpdate();
        checkDisk("bulk");
        QCOMPARE(table.recordCount(), 349);
        QCOMPARE(indexEntries(table.mdxPath(), QStringLiteral("NewIndex")).size(),
                 std::size_t(350)); // deleted ones too
    }

    void staleOrDamagedIndexIsRebuiltWhenSelected()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        {
            DbfTable table;
            table.open(path);
            for (const char *a : {"C", "A", "B"})
                appendBook(table, {QStringLiteral("t"), QString::fromLatin1(a), {}, {}, {}});
            table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,20))"));
        }
        const QByteArray goodIndex = TestSupport::readAll(dir.filePath(QStringLiteral("BOOKS.MDX")));
        {
            // Another program appends without updating the index.
            DbfTable other;
            other.open(path);
            appendBook(other, {QStringLiteral("t"), QStringLiteral("0 first"), {}, {}, {}});
        }
        TestSupport::writeAll(dir.filePath(QStringLiteral("BOOKS.MDX")), goodIndex);
        DbfTable table;
        table.setIndexName(QStringLiteral("NewIndex"));
        table.open(path);
        QVERIFY(table.indexRepairReason().contains(QLatin1String("4 records")));
        QCOMPARE(authorsInCursorOrder(table), QStringList({QStringLiteral("0 first"), QStringLiteral("A"),
                                                           QStringLiteral("B"), QStringLiteral("C")}));
        table.close();
        table.open(path);
        QVERIFY2(table.indexRepairReason().isEmpty(),
                 qPrintable(table.indexRepairReason())); // the rebuilt file is used

        // A garbled tree: the root's first child points back at the root.
        QByteArray bad = TestSupport::readAll(dir.filePath(QStringLiteral("BOOKS.MDX")));
        const std::uint32_t root =
            readLittleEndian32(reinterpret_cast<const std::uint8_t *>(bad.constData()) + 4 * 512);
        const int rootAt = int(root) * 512;
        writeLittleEndian32(reinterpret_cast<std::uint8_t *>(bad.data()) + rootAt + 8 + 24,
                            0xFFFF); // trailing word of a 1-key node
        writeLittleEndian32(reinterpret_cast<std::uint8_t *>(bad.data()) + rootAt, 1);
        table.close();
        TestSupport::writeAll(dir.filePath(QStringLiteral("BOOKS.MDX")), bad);
        table.open(path);
        QVERIFY2(table.indexRepairReason().contains(QLatin1String("outside")), qPrintable(table.indexRepairReason()));
        QCOMPARE(table.recordCount(), 4);
    }

    void deletingTheIndexClearsTheHeaderFlag()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        appendBook(table, {QStringLiteral("t"), QStringLiteral("A"), {}, {}, {}});
        table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,20))"));
        table.setIndexName(QStringLiteral("NewIndex"));
        QCOMPARE(table.indexTags(), QStringList({QStringLiteral("NEWINDEX")}));
        QCOMPARE(table.tagExpression(QStringLiteral("newindex")), QStringLiteral("Upper(Left(Author,20))"));
        table.deleteIndex(QStringLiteral("NewIndex"));
        QVERIFY(table.indexName().isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("BOOKS.MDX"))));
        QCOMPARE(TestSupport::readAll(path).at(28), char(0));
        QCOMPARE(table.recordCount(), 1);
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setIndexName(QStringLiteral("NewIndex")));
        QVERIFY(table.indexName().isEmpty());
        QCOMPARE(table.recordCount(), 1);
    }

    void sharedAndExclusiveOpensConflict()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        QVERIFY(!DbfTable::inUse(path));
        DbfTable first;
        first.open(path);
        QVERIFY(DbfTable::inUse(path));
        DbfTable second;
        second.open(path); // shared beside shared
        DbfTable exclusive;
        QVERIFY_THROWS_EXCEPTION(DbfError, exclusive.open(path, DbfTable::Access::Exclusive));
        first.close();
        second.close();
        QVERIFY(!DbfTable::inUse(path));
        exclusive.open(path, DbfTable::Access::Exclusive);
        QVERIFY(DbfTable::inUse(path));
        QVERIFY_THROWS_EXCEPTION(DbfError, first.open(path));
        QVERIFY_THROWS_EXCEPTION(DbfError, DbfTable::create(path, bookFields()));
        exclusive.close();
        QVERIFY(!DbfTable::inUse(path));
        QVERIFY(DbfTable::inUse(dir.filePath(QStringLiteral("MISSING.DBF"))));
    }

    void refreshShowsRecordsAppendedElsewhere()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable mine;
        mine.open(path);
        appendBook(mine, {QStringLiteral("mine"), QStringLiteral("B"), {}, {}, {}});
        DbfTable theirs;
        theirs.open(path);
        appendBook(theirs, {QStringLiteral("theirs"), QStringLiteral("A"), {}, {}, {}});
        QCOMPARE(mine.recordCount(), 1);
        mine.refresh();
        QCOMPARE(mine.recordCount(), 2);
        QCOMPARE(mine.text(0), QStringLiteral("mine")); // the cursor stays on its record
        // An append of our own after theirs lands behind it, not over it.
        appendBook(theirs, {QStringLiteral("theirs 2"), QStringLiteral("C"), {}, {}, {}});
        appendBook(mine, {QStringLiteral("mine 2"), QStringLiteral("D"), {}, {}, {}});
        QCOMPARE(mine.recordCount(), 4);
        QCOMPARE(mine.recNo(), 4u);
        QCOMPARE(mine.physicalRecord(3).text(0), QStringLiteral("theirs 2"));
    }

    void failedAppendLeavesTheFileAsItWas()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path);
        appendBook(table, {QStringLiteral("posted"), QStringLiteral("A"), {}, {}, {}});
        const QByteArray before = TestSupport::readAll(path);
        FaultPoint::setHook(throwAtFault);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 appendBook(table, {QStringLiteral("retried"), QStringLiteral("B"), {}, {}, {}}));
        FaultPoint::setHook(nullptr);
        // No record beyond the count, and the end-of-file byte where it was.
        QCOMPARE(TestSupport::readAll(path), before);
        QCOMPARE(table.state(), DbfTable::State::Insert); // the values wait for another try
        table.post();
        QCOMPARE(table.physicalCount(), 2u);
        QCOMPARE(table.physicalRecord(2).text(0), QStringLiteral("retried"));
        QCOMPARE(QFileInfo(path).size(), before.size() + 90);
    }

    void crashWhileReplacingFilesKeepsTheOldOnes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path, DbfTable::Access::Exclusive);
        for (const char *a : {"B", "A", "C"})
            appendBook(table, {QStringLiteral("t"), QString::fromLatin1(a), {}, {}, {}});
        table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,20))"));
        table.setIndexName(QStringLiteral("NewIndex"));
        table.first();
        table.deleteRecord();
        const QByteArray tableBefore = TestSupport::readAll(path);
        const QByteArray indexBefore = TestSupport::readAll(table.mdxPath());

        FaultPoint::setHook(throwAtArmedPoint);
        armedPoint = "pack:written";
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, table.pack());
        QCOMPARE(TestSupport::readAll(path), tableBefore);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.new~")}, QDir::Files), QStringList());

        armedPoint = "mdx:written";
        QVERIFY_THROWS_EXCEPTION(DbfIndexNotSavedError,
                                 appendBook(table, {QStringLiteral("t"), QStringLiteral("D"), {}, {}, {}}));
        QCOMPARE(TestSupport::readAll(table.mdxPath()), indexBefore);
        FaultPoint::setHook(nullptr);
        table.close();
        // The record was posted; the stale index is noticed and rebuilt.
        table.open(path);
        QVERIFY(!table.indexRepairReason().isEmpty());
        QCOMPARE(authorsInCursorOrder(table),
                 QStringList({QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}));
    }

    void packRemovesDeletedRecordsAndRegeneratesTheIndex()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        DbfTable table;
        table.open(path);
        for (int i = 0; i < 20; ++i)
            appendBook(
                table,
                {QString::number(i), QStringLiteral("Author %1").arg(19 - i, 2, 10, QLatin1Char('0')), i, {}, {}});
        table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,20))"));
        table.setIndexName(QStringLiteral("NewIndex"));
        for (table.first(); !table.eof();) {
            if (int(table.number(2).value_or(0)) % 3 == 0)
                table.deleteRecord();
            else
                table.next();
        }
        QVERIFY_THROWS_EXCEPTION(DbfError, table.pack()); // shared
        table.close();
        table.open(path, DbfTable::Access::Exclusive);
        table.pack();
        QCOMPARE(table.physicalCount(), 13u);
        QCOMPARE(table.recordCount(), 13);
        QCOMPARE(QFileInfo(path).size(), 32 + 5 * 32 + 1 + 13 * 90 + 1);
        QCOMPARE(QFile::permissions(path) & QFile::ReadGroup, QFile::ReadGroup);
        const auto entries = indexEntries(table.mdxPath(), QStringLiteral("NewIndex"));
        QCOMPARE(entries.size(), std::size_t(13));
        table.first();
        QCOMPARE(table.text(1), QStringLiteral("Author 00"));
        QCOMPARE(table.recNo(), 13u);
        table.next();
        QCOMPARE(table.text(1), QStringLiteral("Author 02"));
        table.close();
        table.open(path);
        QVERIFY(table.indexRepairReason().isEmpty());
    }

    void readOnlyFileOpensForViewingOnly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        {
            DbfTable table;
            table.open(path);
            appendBook(table, {QStringLiteral("t"), QStringLiteral("A"), {}, {}, {}});
        }
        TestSupport::ReadOnlyFile readOnly(path);
        if (!readOnly.active())
            QSKIP("this file system cannot make a file read-only for this user");
        DbfTable table;
        table.open(path);
        QVERIFY(table.isReadOnly());
        QCOMPARE(table.text(1), QStringLiteral("A"));
        QVERIFY_THROWS_EXCEPTION(DbfError, table.edit());
        QVERIFY_THROWS_EXCEPTION(DbfError, table.append());
    }

    void readOnlyAccessRefusesChanges()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(path, bookFields());
        DbfTable table;
        table.open(path, DbfTable::Access::ReadOnly);
        QVERIFY(table.isReadOnly());
        QVERIFY_THROWS_EXCEPTION(DbfError, table.append());
        QVERIFY_THROWS_EXCEPTION(DbfError, table.addIndex(QStringLiteral("X"), QStringLiteral("Author")));
    }
};

SHELFMARK_TEST(TestDbfTable)
#include "TestDbfTable.moc"
