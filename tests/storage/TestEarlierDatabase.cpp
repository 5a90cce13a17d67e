#include "BookTable.h"
#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/ui/MessageService.h"
#include "storage/CatalogTable.h"
#include "storage/EarlierDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <map>

using TestSupport::readAll;
using TestSupport::writeAll;
using namespace Qt::StringLiterals;

// The tables of the two earlier generations, built here as those versions laid
// them out, found, converted field by field and offered at start-up.
namespace {

using Values = std::map<QString, QString>;

std::vector<FieldDef> secondFields()
{
    return {
        FieldDef::number(u"RecNo"_s, 6, 0),  FieldDef::text(u"Title"_s, 60),      FieldDef::text(u"Author"_s, 40),
        FieldDef::text(u"YearPub"_s, 4),     FieldDef::text(u"Publisher"_s, 40),  FieldDef::text(u"Category"_s, 20),
        FieldDef::text(u"WherePurch"_s, 30), FieldDef::number(u"Cost"_s, 8, 2),   FieldDef::number(u"Value"_s, 8, 2),
        FieldDef::text(u"Descriptio"_s, 80), FieldDef::text(u"ISBN"_s, 20),       FieldDef::text(u"Rating"_s, 15),
        FieldDef::date(u"PurchDate"_s),      FieldDef::text(u"BookType"_s, 15),   FieldDef::text(u"CatalogNum"_s, 15),
        FieldDef::text(u"Sub1"_s, 6),        FieldDef::text(u"Sub2"_s, 6),        FieldDef::text(u"CheckOut"_s, 3),
        FieldDef::date(u"CheckDate"_s),      FieldDef::text(u"CheckPerso"_s, 30), FieldDef::text(u"Volume"_s, 8),
        FieldDef::text(u"Issue"_s, 8),       FieldDef::text(u"Edition"_s, 10),    FieldDef::text(u"KeyWords"_s, 80),
        FieldDef::text(u"Pages"_s, 7),       FieldDef::text(u"Location"_s, 30)};
}

// A table of `fields` at `path` with one record for each entry of `records`;
// the records listed in `deleted` are marked deleted.
QString makeTable(const QString &path, const std::vector<FieldDef> &fields, const std::vector<Values> &records,
                  const std::vector<int> &deleted = {})
{
    DbfTable::create(path, fields);
    DbfTable table;
    table.open(path);
    int n = 0;
    for (const Values &values : records) {
        table.append();
        table.setText(0, QString::number(++n));
        for (const auto &[name, value] : values)
            table.setText(table.field(name), value);
        table.post();
    }
    for (int row : deleted) {
        table.goToRecord(std::uint32_t(row));
        table.deleteRecord();
    }
    return path;
}

QString makeCatalog(const QString &path, int books)
{
    CatalogTable::create(path);
    DbfTable table;
    table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, u"Upper(Left(Author,80))"_s});
    for (int i = 0; i < books; ++i) {
        table.append();
        table.setText(1, u"Author %1"_s.arg(i));
        table.post();
    }
    return path;
}

QStringList foundIn(const QString &directory)
{
    QStringList found;
    for (const EarlierDatabase &earlier : EarlierDatabase::find(directory))
        found << QFileInfo(earlier.path()).fileName();
    return found;
}

std::uint64_t appendsFrom = 0;

// A full disk: records cannot be appended, the header can still be written.
int diskFull(FaultPoint::Operation operation, const QString &path, std::uint64_t offset, std::size_t &size)
{
    if (operation != FaultPoint::Operation::Write || !path.endsWith(u"MASTER.DBF"_s) || offset < appendsFrom)
        return 0;
    size = 0;
    return ENOSPC;
}

const QString SecondQuestion =
    u"A database from a previous version (2.X) has been detected.  Would you like to convert it now?  NOTE: After "
    "conversion the old file will be deleted.  You may wish to make a copy of \"B2LOG.DBF\" first."_s;
const QString FirstQuestion =
    u"A database from a previous version (1.X) has been detected.  Would you like to convert it now?  NOTE: After "
    "conversion the old file will be deleted.  You may wish to make a copy of \"BLOG.DBF\" first."_s;

} // namespace

class TestEarlierDatabase : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        FaultPoint::setFailureHook(nullptr);
        DateFormat::setCurrent(DateFormat());
    }

    void foundWhenLaidOutAsTheirGeneration()
    {
        QTemporaryDir dir;
        QCOMPARE(foundIn(dir.path()), QStringList());
        makeTable(dir.filePath(u"b2log.dbf"_s), secondFields(), {});
        makeTable(dir.filePath(u"BLOG.DBF"_s), TestSupport::earlierFirstFields(), {});
        QCOMPARE(foundIn(dir.path()), QStringList({u"b2log.dbf"_s, u"BLOG.DBF"_s}));

        std::vector<FieldDef> renamed = secondFields();
        renamed[2].name = u"Writer"_s;
        makeTable(dir.filePath(u"b2log.dbf"_s), renamed, {});
        std::vector<FieldDef> shorter = TestSupport::earlierFirstFields();
        shorter.pop_back();
        makeTable(dir.filePath(u"BLOG.DBF"_s), shorter, {});
        QCOMPARE(foundIn(dir.path()), QStringList());

        writeAll(dir.filePath(u"b2log.dbf"_s), "not a table at all");
        std::vector<FieldDef> longer = TestSupport::earlierFirstFields();
        longer.push_back(FieldDef::text(u"Extra"_s, 5));
        makeTable(dir.filePath(u"BLOG.DBF"_s), longer, {});
        QCOMPARE(foundIn(dir.path()), QStringList());
    }

    void secondGenerationFieldByField()
    {
        QTemporaryDir dir;
        const QString old =
            makeTable(dir.filePath(u"B2LOG.DBF"_s), secondFields(),
                      {{{u"Title"_s, u"Ulysses"_s},
                        {u"Author"_s, u"Joyce"_s},
                        {u"YearPub"_s, u"1922"_s},
                        {u"Cost"_s, u"12.50"_s},
                        {u"PurchDate"_s, u"19940307"_s},
                        {u"CheckOut"_s, u"Yes"_s},
                        {u"CheckPerso"_s, u"Nora"_s},
                        {u"Pages"_s, u" 1,024 "_s},
                        {u"Location"_s, u"Study"_s}},
                       {{u"Title"_s, u"Dropped"_s}},
                       {{u"Title"_s, u"Odd values"_s}, {u"YearPub"_s, u"19x4"_s}, {u"Pages"_s, u"many"_s}}},
                      {2});
        const QString catalog = makeCatalog(dir.filePath(u"MASTER.DBF"_s), 1);
        DbfTable table;
        table.open(catalog);
        const std::vector<EarlierDatabase> found = EarlierDatabase::find(dir.path());
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found[0].question(), SecondQuestion);
        QCOMPARE(found[0].convertInto(table), 2);
        QVERIFY(!QFile::exists(old));

        QCOMPARE(table.recordCount(), 3);
        const DbfRecord ulysses = table.physicalRecord(2);
        const auto text = [&](const DbfRecord &record, const char *field) {
            return record.text(table.field(QString::fromLatin1(field)));
        };
        QCOMPARE(text(ulysses, "Title"), u"Ulysses"_s);
        QCOMPARE(ulysses.number(table.field(u"YearPub"_s)), 1922.0);
        QCOMPARE(ulysses.number(table.field(u"Cost"_s)), 12.5);
        QCOMPARE(ulysses.date(table.field(u"PurchDate"_s)), QDate(1994, 3, 7));
        QCOMPARE(text(ulysses, "CheckName"), u"Nora"_s);
        QCOMPARE(ulysses.number(table.field(u"Pages"_s)), 1024.0);
        QCOMPARE(text(ulysses, "Location"), u"Study"_s);
        QVERIFY(ulysses.isBlank(table.field(u"Condition"_s)) && ulysses.isBlank(table.field(u"HighMarket"_s)));
        // Values that do not convert leave their fields empty, and only them.
        const DbfRecord odd = table.physicalRecord(3);
        QCOMPARE(text(odd, "Title"), u"Odd values"_s);
        QVERIFY(odd.isBlank(table.field(u"YearPub"_s)));
        QVERIFY(odd.isBlank(table.field(u"Pages"_s)));
    }

    void firstGenerationPurchaseDateWhateverTheDateFormat()
    {
        QTemporaryDir dir;
        DateFormat::setCurrent(DateFormat(10, true)); // dd/mm/yyyy
        const auto bought = [](const char *day, const char *month, const char *year) {
            return Values{
                {u"PURCHDAY"_s, QLatin1String(day)},
                {u"PURCHMONTH"_s, QLatin1String(month)},
                {u"PURCHYEAR"_s, QLatin1String(year)},
                {u"TITLE"_s, u"Bought %1 %2 %3"_s.arg(QLatin1String(day), QLatin1String(month), QLatin1String(year))}};
        };
        makeTable(dir.filePath(u"BLOG.DBF"_s), TestSupport::earlierFirstFields(),
                  {bought("7", "Mar", "1994"), bought("7", "3", "1994"), bought("12", "Dec", "85"), bought("", "", ""),
                   bought("7", "mar", "1994"), bought("30", "Feb", "1994")});
        DbfTable table;
        table.open(makeCatalog(dir.filePath(u"MASTER.DBF"_s), 0));
        const std::vector<EarlierDatabase> found = EarlierDatabase::find(dir.path());
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found[0].question(), FirstQuestion);
        QCOMPARE(found[0].convertInto(table), 6);

        const int date = table.field(u"PurchDate"_s);
        const QList<QDate> expected = {QDate(1994, 3, 7), QDate(1994, 3, 7), QDate(1985, 12, 12), {}, {}, {}};
        for (int record = 1; record <= 6; ++record) {
            const DbfRecord book = table.physicalRecord(std::uint32_t(record));
            QCOMPARE(book.date(date), expected[record - 1]);
            QVERIFY(!book.text(0).isEmpty()); // the title stays with a date that does not convert
        }
    }

    void pagesWithThousandsCommas_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pages"); // -1: none
        QTest::newRow("comma and blanks") << u" 1,024 "_s << 1024;
        QTest::newRow("plain") << u"350"_s << 350;
        QTest::newRow("two commas") << u"1,024,000"_s << 1024000;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("words") << u"about 300"_s << -1;
        QTest::newRow("blank inside") << u"1 024"_s << -1;
    }

    void pagesWithThousandsCommas()
    {
        QFETCH(QString, text);
        QFETCH(int, pages);
        QCOMPARE(EarlierDatabase::pages(text), pages < 0 ? std::nullopt : std::optional<int>(pages));
    }

    void failedConversionChangesNothing()
    {
        QTemporaryDir dir;
        std::vector<Values> records;
        for (int i = 0; i < 300; ++i)
            records.push_back({{u"Title"_s, u"Old %1"_s.arg(i)}, {u"Author"_s, u"Writer %1"_s.arg(i)}});
        const QString old = makeTable(dir.filePath(u"B2LOG.DBF"_s), secondFields(), records);
        const QString catalog = makeCatalog(dir.filePath(u"MASTER.DBF"_s), 3);
        const QByteArray tableBefore = readAll(catalog);
        const QByteArray indexBefore = readAll(dir.filePath(u"MASTER.MDX"_s));
        const QByteArray oldBefore = readAll(old);
        DbfTable table;
        table.setIndexName(CatalogTable::IndexTag);
        table.open(catalog);
        appendsFrom = std::uint64_t(tableBefore.size() - 1);
        FaultPoint::setFailureHook(diskFull);

        try {
            EarlierDatabase::find(dir.path()).at(0).convertInto(table);
            QFAIL("the conversion did not fail");
        } catch (const DbfError &e) {
            QVERIFY2(e.message().startsWith(u"The books of \"B2LOG.DBF\" could not be converted: "_s),
                     qPrintable(e.message()));
            QVERIFY(e.message().endsWith(u"The file is kept as it was."_s));
        }
        QCOMPARE(table.recordCount(), 3);
        table.close();
        QCOMPARE(readAll(catalog), tableBefore);
        QCOMPARE(readAll(dir.filePath(u"MASTER.MDX"_s)), indexBefore);
        QCOMPARE(readAll(old), oldBefore);
    }

    void offeredAtStartUpSecondGenerationFirst()
    {
        MainWindowFixture f;
        makeTable(QDir(f.dataDir()).filePath(u"BLOG.DBF"_s), TestSupport::earlierFirstFields(),
                  {{{u"TITLE"_s, u"First"_s}, {u"AUTHOR"_s, u"Older"_s}}});
        makeTable(QDir(f.dataDir()).filePath(u"B2LOG.DBF"_s), secondFields(),
                  {{{u"Title"_s, u"Second"_s}, {u"Author"_s, u"Newer"_s}}});
        MessageService::queueAnswer(MessageService::Yes);
        MessageService::queueAnswer(MessageService::Yes);
        f.start();
        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(MessageService::shown()[0].caption, u"Convert"_s);
        QCOMPARE(MessageService::shown()[0].text, SecondQuestion);
        QCOMPARE(MessageService::shown()[1].text, FirstQuestion);
        QCOMPARE(f.countText(), u"2"_s);
        QCOMPARE(f.shown(2), QStringList({u"Newer"_s, u"Older"_s}));
        QVERIFY(!QFile::exists(QDir(f.dataDir()).filePath(u"B2LOG.DBF"_s)));
        QVERIFY(!QFile::exists(QDir(f.dataDir()).filePath(u"BLOG.DBF"_s)));
        f.close();
        MessageService::clearShown();
        f.start();
        QVERIFY(MessageService::shown().isEmpty());
    }

    void answeringNoKeepsTheOldFileForTheNextStart()
    {
        MainWindowFixture f;
        const QString old =
            makeTable(QDir(f.dataDir()).filePath(u"B2LOG.DBF"_s), secondFields(), {{{u"Title"_s, u"Second"_s}}});
        const QByteArray before = readAll(old);
        for (int start = 0; start < 2; ++start) {
            MessageService::clearShown();
            MessageService::queueAnswer(MessageService::No);
            f.start();
            QCOMPARE(MessageService::shown().size(), 1);
            QCOMPARE(MessageService::shown()[0].text, SecondQuestion);
            QCOMPARE(f.countText(), u"0"_s);
            QCOMPARE(readAll(old), before);
            f.close();
        }
    }
};

SHELFMARK_TEST(TestEarlierDatabase)
#include "TestEarlierDatabase.moc"
