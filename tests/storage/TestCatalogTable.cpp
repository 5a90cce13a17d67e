#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogFields.h"
#include "storage/CatalogTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString refusal =
    QStringLiteral("This DBase file was not created with Shelfmark Books 97.  It cannot be opened.  "
                   "You may, however, import data from this file using the import function.");

QString checkMessage(const QString &path)
{
    try {
        CatalogTable::checkFormat(path);
        return {};
    } catch (const DbfError &e) {
        return e.message();
    }
}

} // namespace

class TestCatalogTable : public QObject
{
    Q_OBJECT

private slots:
    void sortStringFromLevels_data()
    {
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("secondary");
        QTest::addColumn<int>("third");
        QTest::addColumn<int>("fourth");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default") << 2 << 0 << 0 << 0 << QStringLiteral("Upper(Left(Author,80))");
        QTest::newRow("author then date")
            << 2 << 12 << 0 << 0 << QStringLiteral("Upper(Left(Author,40))+DTOS(PurchDate)");
        QTest::newRow("money alone") << 7 << 0 << 0 << 0 << QStringLiteral("STR(Cost,12,2)");
        QTest::newRow("whole number") << 24 << 0 << 0 << 0 << QStringLiteral("STR(Pages,12,0)");
        QTest::newRow("none") << 0 << 0 << 0 << 0 << QString();
        QTest::newRow("four text levels")
            << 1 << 2 << 4 << 5
            << QStringLiteral(
                   "Upper(Left(Title,20))+Upper(Left(Author,20))+Upper(Left(Publisher,20))+Upper(Left(Category,20))");
        QTest::newRow("three levels") << 1 << 3 << 2 << 0
                                      << QStringLiteral(
                                             "Upper(Left(Title,26))+STR(YearPub,12,0)+Upper(Left(Author,26))");
        QTest::newRow("a date narrows the text")
            << 18 << 0 << 0 << 19 << QStringLiteral("DTOS(CheckDate)+Upper(Left(CheckName,40))");
        QTest::newRow("gaps are skipped") << 0 << 2 << 0 << 0 << QStringLiteral("Upper(Left(Author,80))");
        QTest::newRow("same field twice")
            << 2 << 2 << 0 << 0 << QStringLiteral("Upper(Left(Author,40))+Upper(Left(Author,40))");
        QTest::newRow("four mixed")
            << 2 << 12 << 7 << 1
            << QStringLiteral("Upper(Left(Author,20))+DTOS(PurchDate)+STR(Cost,12,2)+Upper(Left(Title,20))");
    }

    void sortStringFromLevels()
    {
        QFETCH(int, primary);
        QFETCH(int, secondary);
        QFETCH(int, third);
        QFETCH(int, fourth);
        QFETCH(QString, expected);
        QCOMPARE(CatalogTable::sortString({primary, secondary, third, fourth}), expected);
    }

    void everySortStringIsAValidKey()
    {
        // Every single level and the widest combinations give keys the index can hold.
        const auto fields = DbfHeader::forNewTable(CatalogTable::fieldDefinitions()).fields;
        std::vector<CatalogTable::SortLevels> all;
        for (int row = 1; row <= CatalogFields::Count; ++row)
            all.push_back({row, 0, 0, 0});
        all.push_back({9, 1, 2, 24}); // three wide text levels and a number
        all.push_back({9, 1, 7, 29});
        all.push_back({9, 23, 0, 0});
        all.push_back({12, 18, 7, 3});
        for (const auto &levels : all) {
            const QString expression = CatalogTable::sortString(levels);
            try {
                const KeyExpression key(expression, fields, CodePage::windows1252());
                QVERIFY(key.keyLength() <= 100);
            } catch (const DbfError &e) {
                QFAIL(qPrintable(e.message()));
            }
        }
    }

    void createdTableHasTheCatalogLayout()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("MASTER.DBF"));
        TestSupport::writeAll(path, "an older file that is replaced");
        QVERIFY(CatalogTable::create(path));
        DbfTable table;
        table.open(path, DbfTable::Access::ReadOnly);
        QCOMPARE(table.fields().size(), std::size_t(36));
        QCOMPARE(table.physicalCount(), 0u);
        QCOMPARE(table.languageDriver(), std::uint8_t(0x03));
        const FieldDef &year = table.fields()[2];
        QCOMPARE(year.name, QStringLiteral("YEARPUB"));
        QCOMPARE(year.type, 'N');
        QCOMPARE(year.width, 11);
        QCOMPARE(year.decimals, 0);
        const FieldDef &cost = table.fields()[6];
        QCOMPARE(cost.width, 20);
        QCOMPARE(cost.decimals, 4);
        QCOMPARE(table.fields()[11].type, 'D');
        QCOMPARE(table.fields()[8].name, QStringLiteral("DESCRIPTIO"));
        QCOMPARE(table.fields()[8].width, 110);
        QCOMPARE(table.fields()[35].name, QStringLiteral("USERDEF6"));
        table.close();
        QCOMPARE(checkMessage(path), QString());
    }

    void foreignCatalogIsRecognised()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::copyData(QStringLiteral("dbase/xbase64-catalog.dbf"), dir);
        QCOMPARE(checkMessage(path), QString());
    }

    void otherTablesAreRefused_data()
    {
        QTest::addColumn<int>("variant");
        QTest::newRow("two fields swapped") << 0;
        QTest::newRow("35 fields") << 1;
        QTest::newRow("37 fields") << 2;
    }

    void otherTablesAreRefused()
    {
        QFETCH(int, variant);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("OTHER.DBF"));
        std::vector<FieldDef> fields = CatalogTable::fieldDefinitions();
        if (variant == 0)
            std::swap(fields[3], fields[4]);
        else if (variant == 1)
            fields.pop_back();
        else
            fields.push_back(FieldDef::text(QStringLiteral("Extra"), 10));
        DbfTable::create(path, fields);
        QCOMPARE(checkMessage(path), refusal);
    }

    void namesDifferingInCaseAreAccepted()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lower.dbf"));
        QVERIFY(CatalogTable::create(path));
        QByteArray bytes = TestSupport::readAll(path);
        for (int i = 0; i < 36; ++i) {
            for (int c = 0; c < 10; ++c) {
                char &ch = bytes[32 + 32 * i + c];
                if (ch >= 'A' && ch <= 'Z')
                    ch = char(ch + 32);
            }
        }
        TestSupport::writeAll(path, bytes);
        QCOMPARE(checkMessage(path), QString());
    }

    void missingIndexClearsTheHeaderFlag()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        QVERIFY(CatalogTable::create(path));
        {
            DbfTable table;
            table.open(path);
            table.addIndex(CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0}));
        }
        QCOMPARE(TestSupport::readAll(path).at(28), char(1));
        QCOMPARE(checkMessage(path), QString());
        QCOMPARE(TestSupport::readAll(path).at(28), char(1)); // the index is there: left alone
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("BOOKS.MDX"))));
        QCOMPARE(checkMessage(path), QString());
        QCOMPARE(TestSupport::readAll(path).at(28), char(0));
    }

    void filesThatAreNoTablesAreLeftUntouched()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("NOTES.DBF"));
        const QByteArray text = "These are my notes about books, not a table at all. " + QByteArray(100, 'x');
        TestSupport::writeAll(path, text);
        const QString message = checkMessage(path);
        QVERIFY(!message.isEmpty());
        QVERIFY(message != refusal);
        QCOMPARE(TestSupport::readAll(path), text);
        QVERIFY(!checkMessage(dir.filePath(QStringLiteral("GONE.DBF"))).isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("GONE.DBF"))));
    }
};

SHELFMARK_TEST(TestCatalogTable)
#include "TestCatalogTable.moc"
