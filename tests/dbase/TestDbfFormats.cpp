#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/KeyExpression.h"
#include "framework/dbase/MdxFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const std::uint8_t *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const std::uint8_t *>(data.constData());
}

std::vector<std::uint32_t> walkRecords(const MdxReader &reader, const QString &tagName)
{
    std::vector<std::uint32_t> records;
    reader.walk(*reader.tag(tagName), [&](std::uint32_t record, const std::uint8_t *) { records.push_back(record); });
    return records;
}

std::vector<std::uint32_t> cursorRecords(DbfTable &table)
{
    std::vector<std::uint32_t> records;
    for (table.first(); !table.eof(); table.next())
        records.push_back(table.recNo());
    return records;
}

// A small catalog-like table with an index whose tree has two levels.
QString writeTwoLevelTable(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("TREE.DBF"));
    DbfTable::create(path,
                     {FieldDef::text(QStringLiteral("Author"), 90), FieldDef::number(QStringLiteral("Pages"), 11, 0)});
    DbfTable table;
    table.open(path);
    table.beginBulkUpdate();
    for (int i = 0; i < 100; ++i) {
        table.append();
        table.setText(0, QStringLiteral("Author %1").arg((i * 37) % 100, 3, 10, QLatin1Char('0')));
        table.setNumber(1, i);
        table.post();
    }
    table.endBulkUpdate();
    table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,80))"));
    return path;
}

} // namespace

class TestDbfFormats : public QObject
{
    Q_OBJECT

private slots:
    void strFollowsDbaseRules_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("whole") << QByteArray("      1965") << 4 << 0 << QByteArray("1965");
        QTest::newRow("negative") << QByteArray("-5") << 4 << 0 << QByteArray("  -5");
        QTest::newRow("decimals") << QByteArray("3.14159") << 6 << 2 << QByteArray("  3.14");
        QTest::newRow("half up") << QByteArray("2.5") << 10 << 0 << QByteArray("         3");
        QTest::newRow("vendor example") << QByteArray("10.765") << 5 << 1 << QByteArray(" 10.8");
        QTest::newRow("decimals reduced") << QByteArray("10.765") << 4 << 2 << QByteArray("10.8");
        QTest::newRow("integer overflow") << QByteArray("12345") << 4 << 0 << QByteArray("****");
        QTest::newRow("sign overflow") << QByteArray("-123") << 3 << 0 << QByteArray("***");
        QTest::newRow("negative half away") << QByteArray("-12.45") << 5 << 1 << QByteArray("-12.5");
        QTest::newRow("carry") << QByteArray("9.996") << 12 << 2 << QByteArray("       10.00");
        QTest::newRow("blank is zero") << QByteArray("           ") << 12 << 2 << QByteArray("        0.00");
        QTest::newRow("garbage is zero") << QByteArray("*****") << 12 << 0 << QByteArray("           0");
        QTest::newRow("money") << QByteArray("         35.4700") << 12 << 2 << QByteArray("       35.47");
        QTest::newRow("negative rounds to zero") << QByteArray("-0.001") << 6 << 2 << QByteArray("  0.00");
    }

    void strFollowsDbaseRules()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, length);
        QFETCH(int, decimals);
        QFETCH(QByteArray, expected);
        QByteArray out(length, '?');
        formatStr(stored.constData(), int(stored.size()), length, decimals, out.data());
        QCOMPARE(out, expected);
    }

    void keyExpressionsEvaluateStoredRecords()
    {
        const std::vector<FieldDef> fields =
            DbfHeader::forNewTable(
                {FieldDef::text(QStringLiteral("Author"), 10), FieldDef::number(QStringLiteral("Cost"), 20, 4),
                 FieldDef::date(QStringLiteral("PurchDate")), FieldDef::number(QStringLiteral("YearPub"), 11, 0)})
                .fields;
        //                          flag author    cost                  date      year
        const QByteArray record =
            QByteArray(" ") + "\xE9mile z\xFF\x9A " + "             -3.5000" + "20240315" + "       1965";
        auto key = [&](const char *text) {
            const KeyExpression expression(QString::fromLatin1(text), fields, CodePage::windows1252());
            QByteArray out(expression.keyLength(), '?');
            expression.evaluate(record.constData(), reinterpret_cast<std::uint8_t *>(out.data()));
            return out;
        };
        QCOMPARE(key("Upper(Left(Author,80))"), QByteArray("\xC9MILE Z\x9F\x8A "));
        QCOMPARE(key("upper(left(author,3))"), QByteArray("\xC9MI"));
        QCOMPARE(key("Upper(Left(Author,20))+DTOS(PurchDate)"), QByteArray("\xC9MILE Z\x9F\x8A 20240315"));
        QCOMPARE(key("STR(Cost,12,2)+STR(YearPub,12,0)"), QByteArray("       -3.50        1965"));
        QCOMPARE(key("LEFT(UPPER(AUTHOR),2)"), QByteArray("\xC9M"));
        QCOMPARE(key("( Author )"), QByteArray("\xE9mile z\xFF\x9A "));

        const char *refused[] = {"Lower(Author)",
                                 "Upper(Title)",
                                 "STR(Author,12,0)",
                                 "DTOS(Cost)",
                                 "Upper(Left(Author,80)",
                                 "Author+",
                                 "Cost",
                                 "Author Author",
                                 "STR(Cost,200,0)",
                                 "Left(Author,0)",
                                 ""};
        for (const char *text : refused) {
            QVERIFY_THROWS_EXCEPTION(DbfError,
                                     KeyExpression(QString::fromLatin1(text), fields, CodePage::windows1252()));
        }
    }

    void xbase64CatalogReadsFieldByField()
    {
        DbfTable table;
        table.open(TestSupport::dataPath(QStringLiteral("dbase/xbase64-catalog.dbf")), DbfTable::Access::ReadOnly);
        QCOMPARE(table.physicalCount(), 500u);
        QCOMPARE(table.recordCount(), 493);
        QCOMPARE(table.fields().size(), std::size_t(36));
        const int title = table.field(u"Title");
        const int author = table.field(u"Author");
        const int cost = table.field(u"Cost");
        const int value = table.field(u"Value");
        const int bought = table.field(u"PurchDate");
        const int year = table.field(u"YearPub");
        const int checkout = table.field(u"CheckOut");
        DbfRecord r1 = table.physicalRecord(1);
        QCOMPARE(r1.text(title), QStringLiteral("One Hundred Years of Solitude"));
        QCOMPARE(r1.text(author), QStringLiteral("García Márquez, Gabriel"));
        QCOMPARE(r1.date(bought), QDate(2010, 3, 4));
        QCOMPARE(r1.number(cost), std::optional<double>(35.47));
        QCOMPARE(r1.number(value), std::optional<double>(62.86));
        QCOMPARE(r1.number(year), std::optional<double>(1970));
        QCOMPARE(table.physicalRecord(2).text(title), QStringLiteral("Cien años de soledad"));
        QVERIFY(table.physicalRecord(2).date(bought).isNull());
        QCOMPARE(table.physicalRecord(3).number(cost), std::optional<double>(0.0));
        QVERIFY(!table.physicalRecord(3).number(value).has_value());
        QCOMPARE(table.physicalRecord(17).text(title), QStringLiteral("\"Surely You're Joking, Mr. Feynman!\""));
        QCOMPARE(table.physicalRecord(33).text(author), QStringLiteral("Žižek, Slavoj"));
        QCOMPARE(table.physicalRecord(34).text(title), QStringLiteral("Œuvres complètes"));
        QCOMPARE(table.physicalRecord(35).text(title), QStringLiteral("Smilla’s Sense of Snow"));
        QVERIFY(table.physicalRecord(5).isDeleted());

        double liveCost = 0;
        int yes = 0;
        int emptyDates = 0;
        for (table.first(); !table.eof(); table.next())
            liveCost += table.number(cost).value_or(0);
        for (std::uint32_t r = 1; r <= table.physicalCount(); ++r) {
            yes += table.physicalRecord(r).text(checkout) == QLatin1String("Yes") ? 1 : 0;
            emptyDates += table.physicalRecord(r).date(bought).isNull() ? 1 : 0;
        }
        QCOMPARE(qRound64(liveCost * 100), 1597395);
        QCOMPARE(yes, 40);
        QCOMPARE(emptyDates, 127);
    }

    void xbase64IndexIsReadEntryForEntry()
    {
        const QByteArray mdx = TestSupport::readAll(TestSupport::dataPath(QStringLiteral("dbase/xbase64-catalog.mdx")));
        const MdxReader reader(bytesOf(mdx), std::size_t(mdx.size()));
        QCOMPARE(reader.tags().size(), std::size_t(1));
        const MdxTag &tag = reader.tags().front();
        QCOMPARE(tag.name, QStringLiteral("NEWINDEX"));
        QCOMPARE(tag.expression, QStringLiteral("UPPER(LEFT(AUTHOR,80))"));
        QCOMPARE(tag.keyLength, 80);
        QCOMPARE(tag.itemLength, 84);
        QCOMPARE(tag.maxKeys, 12);
        QCOMPARE(tag.rootPage, 38u);

        QStringList expected;
        const QList<QByteArray> lines =
            TestSupport::readAll(TestSupport::dataPath(QStringLiteral("dbase/xbase64-catalog.newindex.tsv")))
                .split('\n');
        for (const QByteArray &line : lines) {
            if (!line.isEmpty() && !line.startsWith('#'))
                expected << QString::fromLatin1(line.split('\t').mid(1).join('\t'));
        }
        QStringList actual;
        reader.walk(tag, [&](std::uint32_t record, const std::uint8_t *key) {
            actual << QString::number(record) + QLatin1Char('\t') +
                          QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(key), 80).toHex());
        });
        QCOMPARE(actual.size(), 500);
        QCOMPARE(actual, expected);
    }

    void xbase64IndexIsReplacedByOursWhenSelected()
    {
        // Its UPPER left the accented letters alone, so 115 keys differ from ours.
        QTemporaryDir dir;
        const QString path = TestSupport::copyData(QStringLiteral("dbase/xbase64-catalog.dbf"), dir);
        const QString mdx = TestSupport::copyData(QStringLiteral("dbase/xbase64-catalog.mdx"), dir);
        DbfTable table;
        table.setIndexName(QStringLiteral("NewIndex"));
        table.open(path);
        QCOMPARE(table.mdxPath(), mdx); // found whatever the case of its extension
        QVERIFY(table.indexRepairReason().contains(QLatin1String("does not match")));
        const std::vector<std::uint32_t> order = cursorRecords(table);
        QCOMPARE(order.size(), std::size_t(493));
        QCOMPARE(std::vector<std::uint32_t>(order.begin(), order.begin() + 5),
                 std::vector<std::uint32_t>({60, 61, 255, 152, 292}));
        QCOMPARE(std::vector<std::uint32_t>(order.end() - 5, order.end()),
                 std::vector<std::uint32_t>({415, 235, 463, 55, 228}));

        const QByteArray written = TestSupport::readAll(mdx);
        const MdxReader reader(bytesOf(written), std::size_t(written.size()));
        QByteArray firstKey;
        reader.walk(reader.tags().front(), [&](std::uint32_t record, const std::uint8_t *key) {
            if (record == 1)
                firstKey = QByteArray(reinterpret_cast<const char *>(key), 80);
        });
        QCOMPARE(firstKey, QByteArray("GARC\xCD"
                                      "A M\xC1RQUEZ, GABRIEL") +
                               QByteArray(57, ' '));
        table.close();
        table.open(path);
        QVERIFY(table.indexRepairReason().isEmpty());
    }

    void xbase64MultiTagIndexWalksEveryTag()
    {
        const QByteArray mdx =
            TestSupport::readAll(TestSupport::dataPath(QStringLiteral("dbase/xbase64-multitag.mdx")));
        const MdxReader reader(bytesOf(mdx), std::size_t(mdx.size()));
        QCOMPARE(reader.tags().size(), std::size_t(3));
        QVERIFY(reader.tag(QStringLiteral("price"))->descending);
        QVERIFY(reader.tag(QStringLiteral("BOUGHT"))->unique);
        QCOMPARE(reader.tag(QStringLiteral("BOUGHT"))->forExpression, QStringLiteral(".NOT. DELETED()"));
        const auto title = walkRecords(reader, QStringLiteral("TITLE"));
        const auto price = walkRecords(reader, QStringLiteral("PRICE"));
        const auto bought = walkRecords(reader, QStringLiteral("BOUGHT"));
        QCOMPARE(title.size(), std::size_t(300));
        QCOMPARE(price.size(), std::size_t(300));
        QCOMPARE(bought.size(), std::size_t(274));
        QCOMPARE(std::vector<std::uint32_t>(title.begin(), title.begin() + 5),
                 std::vector<std::uint32_t>({258, 295, 11, 48, 85}));
        QCOMPARE(std::vector<std::uint32_t>(title.end() - 3, title.end()), std::vector<std::uint32_t>({210, 247, 284}));
        QCOMPARE(std::vector<std::uint32_t>(price.begin(), price.begin() + 5),
                 std::vector<std::uint32_t>({227, 54, 281, 108, 162}));
        QCOMPARE(std::vector<std::uint32_t>(price.end() - 3, price.end()), std::vector<std::uint32_t>({292, 119, 173}));
        QCOMPARE(std::vector<std::uint32_t>(bought.begin(), bought.begin() + 3),
                 std::vector<std::uint32_t>({60, 120, 180}));
        QCOMPARE(std::vector<std::uint32_t>(bought.end() - 2, bought.end()), std::vector<std::uint32_t>({299, 11}));
    }

    void foreignCharacterTagIsUsedAsStored()
    {
        // Our evaluation of LEFT(UPPER(TITLE),20) agrees with another writer's keys.
        DbfTable table;
        table.setIndexName(QStringLiteral("title"));
        table.open(TestSupport::dataPath(QStringLiteral("dbase/xbase64-multitag.dbf")), DbfTable::Access::ReadOnly);
        QVERIFY2(table.indexRepairReason().isEmpty(), qPrintable(table.indexRepairReason()));
        const auto order = cursorRecords(table);
        QCOMPARE(std::vector<std::uint32_t>(order.begin(), order.begin() + 3),
                 std::vector<std::uint32_t>({258, 295, 11}));
        QCOMPARE(table.codePage().number(), 437);
        DbfRecord r1 = table.physicalRecord(1);
        QCOMPARE(r1.text(0), QStringLiteral("Book number 919"));
        QCOMPARE(r1.number(1), std::optional<double>(-13.01));
        QCOMPARE(r1.date(2), QDate(1991, 2, 2));
        QCOMPARE(r1.logical(3), std::optional<bool>(true));
        QCOMPARE(table.physicalRecord(2).logical(3), std::optional<bool>(false));
        QVERIFY(table.physicalRecord(11).date(2).isNull());
        // A numeric tag cannot be evaluated here; the table stays in record order.
        QVERIFY_THROWS_EXCEPTION(DbfError, table.setIndexName(QStringLiteral("PRICE")));
        QVERIFY(table.indexName().isEmpty());
        QCOMPARE(table.recNo(), 1u);
    }

    void dbase3MemoTableInCodePage850()
    {
        DbfTable table;
        table.open(TestSupport::dataPath(QStringLiteral("dbase/pydbf-dbase3-memo.dbf")), DbfTable::Access::ReadOnly);
        QCOMPARE(table.physicalCount(), 50u);
        QCOMPARE(table.recordCount(), 48);
        QVERIFY(table.physicalRecord(13).isDeleted());
        QVERIFY(table.physicalRecord(37).isDeleted());
        const int notes = table.field(u"notes");
        const int author = table.field(u"author");
        QCOMPARE(table.physicalRecord(1).text(0), QStringLiteral("A Wizard of Earthsea"));
        QCOMPARE(table.physicalRecord(1).text(notes), QString());
        QCOMPARE(table.physicalRecord(2).text(notes),
                 QStringLiteral("Leído en 1991. Très bien écrit; reseña en «El País»."));
        QCOMPARE(table.physicalRecord(3).text(notes),
                 QStringLiteral("Line one\r\nLine two - with a dash\r\nLine three: ñ ü ß"));
        QCOMPARE(table.physicalRecord(4).text(author), QStringLiteral("Brontë, Charlotte"));
        QCOMPARE(table.physicalRecord(4).text(notes).size(), 1160);
        QCOMPARE(table.physicalRecord(5).text(notes), QStringLiteral("Quote test: \"Embers\", said the bookseller."));
        QCOMPARE(table.physicalRecord(22).text(author), QStringLiteral("Éluard, Paul"));
        QVERIFY(!table.physicalRecord(5).logical(table.field(u"read")).has_value());
    }

    void memoFieldsAreEmptyWithoutTheMemoFile()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::copyData(QStringLiteral("dbase/pydbf-dbase3-memo.dbf"), dir);
        DbfTable table;
        table.open(path, DbfTable::Access::ReadOnly);
        QCOMPARE(table.physicalRecord(2).text(table.field(u"notes")), QString());
        QCOMPARE(table.physicalRecord(1).text(0), QStringLiteral("A Wizard of Earthsea"));
    }

    void unspecifiedCodePageIsDetectedPerValue_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("Windows-1252") << QStringLiteral("dbase/libreoffice-export.dbf");
        QTest::newRow("UTF-8") << QStringLiteral("dbase/libreoffice-export-utf8.dbf");
    }

    void unspecifiedCodePageIsDetectedPerValue()
    {
        QFETCH(QString, file);
        DbfTable table;
        table.open(TestSupport::dataPath(file), DbfTable::Access::ReadOnly);
        QCOMPARE(table.languageDriver(), std::uint8_t(0));
        QCOMPARE(table.recordCount(), 12);
        QCOMPARE(table.physicalRecord(1).text(1), QStringLiteral("García Márquez, Gabriel"));
        QCOMPARE(table.physicalRecord(5).text(1), QStringLiteral("Žižek, Slavoj"));
        QCOMPARE(table.physicalRecord(6).text(0), QStringLiteral("Œuvres complètes"));
        QCOMPARE(table.physicalRecord(8).text(0), QStringLiteral("Der Zauberberg – Band 1"));
        QCOMPARE(table.physicalRecord(11).number(3), std::optional<double>(1234.56));
        QVERIFY(table.physicalRecord(3).date(4).isNull());
        QCOMPARE(table.physicalRecord(12).number(2), std::optional<double>(180));
    }

    void damagedTablesAreRefused_data()
    {
        QTest::addColumn<int>("offset"); // -1: cut the file to `value` bytes
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("size"); // 1 or 2 bytes
        QTest::addColumn<QString>("message");
        const int fieldDescriptor = 32 + 32; // the second field
        QTest::newRow("header too short") << -1 << 20 << 0 << QStringLiteral("too short");
        QTest::newRow("empty file") << -1 << 0 << 0 << QStringLiteral("too short");
        QTest::newRow("foreign version") << 0 << 0x30 << 1 << QStringLiteral("version byte 0x30");
        QTest::newRow("encrypted") << 15 << 1 << 1 << QStringLiteral("encrypted");
        QTest::newRow("header length beyond file") << 8 << 60000 << 2 << QStringLiteral("does not fit the file");
        QTest::newRow("header length without fields") << 8 << 40 << 2 << QStringLiteral("too small");
        QTest::newRow("record length shorter than fields") << 10 << 5 << 2 << QStringLiteral("shorter than its fields");
        QTest::newRow("field of width 0") << fieldDescriptor + 16 << 0 << 1 << QStringLiteral("width 0");
        QTest::newRow("missing end marker") << 32 + 3 * 32 << 0x20 << 1 << QStringLiteral("no end marker");
        QTest::newRow("unknown field type") << fieldDescriptor + 11 << int('G') << 1 << QStringLiteral("not supported");
        QTest::newRow("invalid field name") << fieldDescriptor << int('$') << 1 << QStringLiteral("invalid name");
        QTest::newRow("date field width") << 32 + 2 * 32 + 16 << 9 << 1 << QStringLiteral("instead of 8");
    }

    void damagedTablesAreRefused()
    {
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(int, size);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BAD.DBF"));
        DbfTable::create(path,
                         {FieldDef::text(QStringLiteral("Title"), 20), FieldDef::number(QStringLiteral("Pages"), 11, 0),
                          FieldDef::date(QStringLiteral("Bought"))});
        {
            DbfTable table;
            table.open(path);
            table.append();
            table.setText(0, QStringLiteral("Dune"));
            table.post();
        }
        QByteArray bytes = TestSupport::readAll(path);
        if (offset < 0) {
            bytes.truncate(value);
        } else {
            bytes[offset] = char(value & 0xFF);
            if (size == 2)
                bytes[offset + 1] = char(value >> 8);
        }
        TestSupport::writeAll(path, bytes);
        for (auto access : {DbfTable::Access::Shared, DbfTable::Access::Exclusive, DbfTable::Access::ReadOnly}) {
            DbfTable table;
            try {
                table.open(path, access);
                QFAIL("a damaged table was opened");
            } catch (const DbfError &e) {
                QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            }
            QVERIFY(!table.isOpen());
        }
        QCOMPARE(TestSupport::readAll(path), bytes); // nothing was written to the refused file
        QVERIFY(!DbfTable::inUse(path));
    }

    void countBeyondTheFileOpensWithTheRecordsThatAreThere()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SHORT.DBF"));
        DbfTable::create(path, {FieldDef::text(QStringLiteral("Title"), 20)});
        {
            DbfTable table;
            table.open(path);
            for (const char *t : {"one", "two", "three"}) {
                table.append();
                table.setText(0, QString::fromLatin1(t));
                table.post();
            }
        }
        QByteArray bytes = TestSupport::readAll(path);
        writeLittleEndian32(reinterpret_cast<std::uint8_t *>(bytes.data()) + 4, 1000);
        bytes.chop(1 + 21 / 2); // the end marker and half of the last record
        TestSupport::writeAll(path, bytes);
        DbfTable table;
        table.open(path);
        QCOMPARE(table.physicalCount(), 2u);
        table.append();
        table.setText(0, QStringLiteral("four"));
        table.post();
        QCOMPARE(table.physicalCount(), 3u);
        QCOMPARE(table.physicalRecord(3).text(0), QStringLiteral("four"));
        table.close();
        table.open(path);
        QCOMPARE(table.recordCount(), 3);
    }

    void damagedIndexesAreRefused_data()
    {
        QTest::addColumn<int>("offset"); // -1: cut the file to `value` bytes; -2: loop in the tree
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("message");
        const int tagHeader = 4 * 512;
        QTest::newRow("file too short") << -1 << 100u << 0 << QStringLiteral("too short");
        QTest::newRow("block size") << 22 << 777u << 2 << QStringLiteral("invalid block size");
        QTest::newRow("too many tags") << 28 << 60u << 2 << QStringLiteral("at most 47");
        QTest::newRow("tag header outside") << 544 << 9999u << 4 << QStringLiteral("points outside the file");
        QTest::newRow("root outside") << tagHeader << 9999u << 4 << QStringLiteral("root outside the file");
        QTest::newRow("key length") << tagHeader + 12 << 300u << 2 << QStringLiteral("invalid key");
        QTest::newRow("node layout") << tagHeader + 18 << 8u << 2 << QStringLiteral("invalid node layout");
        QTest::newRow("loop in the tree") << -2 << 0u << 0 << QStringLiteral("loop");
        QTest::newRow("node claims too many keys") << -3 << 500u << 4 << QStringLiteral("claims 500 keys");
        QTest::newRow("child outside") << -4 << 70000u << 4 << QStringLiteral("points outside the file");
    }

    void damagedIndexesAreRefused()
    {
        QFETCH(int, offset);
        QFETCH(quint32, value);
        QFETCH(int, size);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = writeTwoLevelTable(dir);
        QByteArray mdx = TestSupport::readAll(dir.filePath(QStringLiteral("TREE.MDX")));
        auto *p = reinterpret_cast<std::uint8_t *>(mdx.data());
        const std::uint32_t root = readLittleEndian32(p + 4 * 512);
        if (offset == -1) {
            mdx.truncate(int(value));
        } else if (offset == -2) {
            writeLittleEndian32(p + root * 512 + 8, root); // the root's first child is the root
        } else if (offset == -3) {
            writeLittleEndian32(p + root * 512, value);
        } else if (offset == -4) {
            writeLittleEndian32(p + root * 512 + 8 + 84, value); // the second child
        } else {
            for (int i = 0; i < size; ++i)
                p[offset + i] = std::uint8_t(value >> (8 * i));
        }
        try {
            const MdxReader reader(bytesOf(mdx), std::size_t(mdx.size()));
            for (const MdxTag &tag : reader.tags())
                reader.walk(tag, [](std::uint32_t, const std::uint8_t *) {});
            QFAIL("a damaged index was read");
        } catch (const DbfError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        // Selected on a table that may not be written, it is not trusted and not written.
        TestSupport::writeAll(dir.filePath(QStringLiteral("TREE.MDX")), mdx);
        DbfTable table;
        table.setIndexName(QStringLiteral("NewIndex"));
        try {
            table.open(path, DbfTable::Access::ReadOnly);
            QVERIFY(!table.indexRepairReason().isEmpty());
            QCOMPARE(table.recordCount(), 100);
            QCOMPARE(table.text(0), QStringLiteral("Author 000"));
        } catch (const DbfError &e) {
            QVERIFY2(e.message().contains(QLatin1String("TREE.MDX")), qPrintable(e.message()));
        }
        QCOMPARE(TestSupport::readAll(dir.filePath(QStringLiteral("TREE.MDX"))), mdx);
    }
};

SHELFMARK_TEST(TestDbfFormats)
#include "TestDbfFormats.moc"
