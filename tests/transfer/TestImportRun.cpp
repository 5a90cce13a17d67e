#include "TestSupport.h"

#include "app/DateFormat.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogFields.h"
#include "storage/CatalogTable.h"
#include "transfer/DelimitedReader.h"
#include "transfer/ImportRun.h"

#include <QTest>

namespace {

// An empty catalog in a temporary directory, open for the import.
struct Catalog
{
    QTemporaryDir dir;
    DbfTable table;

    Catalog()
    {
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        CatalogTable::create(path);
        table.open(path);
    }
    QString text(int book, int row) const { return table.recordAt(book).text(row - 1); }
    std::optional<double> number(int book, int row) const { return table.recordAt(book).number(row - 1); }
    QDate date(int book, int row) const { return table.recordAt(book).date(row - 1); }
};

// Each source field to the book row of the same table field name.
std::vector<int> mappingByName(const QStringList &names)
{
    std::vector<int> mapping;
    for (const QString &name : names) {
        int row = -1;
        for (int r = 1; r <= CatalogFields::Count; ++r) {
            if (name.compare(QLatin1String(CatalogFields::row(r).name), Qt::CaseInsensitive) == 0)
                row = r;
        }
        mapping.push_back(row);
    }
    return mapping;
}

ImportRun importFile(Catalog &catalog, const QString &relative)
{
    const QByteArray bytes = TestSupport::readAll(TestSupport::dataPath(relative));
    ImportRun run(catalog.table, mappingByName(DelimitedReader::readHeader(bytes).names));
    run.importText(bytes, true);
    return run;
}

ImportRun importTable(Catalog &catalog, const QString &relative)
{
    DbfTable source;
    source.open(TestSupport::dataPath(relative), DbfTable::Access::ReadOnly);
    QStringList names;
    for (const FieldDef &field : source.fields())
        names << field.name;
    std::vector<int> mapping = mappingByName(names);
    for (std::size_t i = 0; i < mapping.size(); ++i) {
        if (names[qsizetype(i)] == QLatin1String("PRICE"))
            mapping[i] = 7; // Cost
        if (names[qsizetype(i)] == QLatin1String("BOUGHT"))
            mapping[i] = 12; // PurchDate
        if (names[qsizetype(i)] == QLatin1String("READ"))
            mapping[i] = 17; // CheckOut
        if (names[qsizetype(i)] == QLatin1String("NOTES"))
            mapping[i] = 9; // Descriptio
    }
    ImportRun run(catalog.table, mapping);
    run.importTable(source);
    return run;
}

using Repairs = ImportRun::Repairs;

} // namespace

namespace QTest {
template <> char *toString(const Repairs &r)
{
    return qstrdup(qPrintable(ImportRun::repairSummary(r)));
}
} // namespace QTest

class TestImportRun : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DateFormat::setCurrent(DateFormat()); }

    // One value into one book field: what is stored (text, number or date in
    // ISO form, empty for nothing) and what was counted.
    void convertsByKind_data()
    {
        QTest::addColumn<int>("dateFormat");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("counted");
        const QString none;
        QTest::newRow("whole number") << 1 << 3 << " 1970 "
                                      << "1970" << none;
        QTest::newRow("whole number with sign") << 1 << 24 << "+417"
                                                << "417" << none;
        QTest::newRow("not a whole number") << 1 << 3 << "19.5"
                                            << ""
                                            << "1 whole number";
        QTest::newRow("too large for the field") << 1 << 24 << "123456789012"
                                                 << ""
                                                 << "1 whole number";
        QTest::newRow("amount") << 1 << 7 << "1,234.50"
                                << "1234.5" << none;
        QTest::newRow("negative amount") << 1 << 29 << "-0.55"
                                         << "-0.55" << none;
        QTest::newRow("not an amount") << 1 << 8 << "12 dollars"
                                       << ""
                                       << "1 amount";
        QTest::newRow("empty amount") << 1 << 8 << "  "
                                      << "" << none;
        QTest::newRow("date") << 1 << 12 << "12/25/1995"
                              << "1995-12-25" << none;
        QTest::newRow("two-digit year") << 1 << 12 << "6/14/98"
                                        << "1998-06-14" << none;
        QTest::newRow("day first") << 4 << 18 << "25/12/95"
                                   << "1995-12-25" << none;
        QTest::newRow("date with letters") << 1 << 12 << "Dec 25 1995"
                                           << ""
                                           << "1 date";
        QTest::newRow("other separator") << 1 << 12 << "12.25.1995"
                                         << ""
                                         << "1 date";
        QTest::newRow("no such day") << 1 << 12 << "2/30/95"
                                     << ""
                                     << "1 date";
        QTest::newRow("text cut to the width") << 1 << 17 << "Yes please"
                                               << "Yes" << none;
        QTest::newRow("Windows-1252 text")
            << 1 << 1 << QString::fromUtf8("Žižek – “x”") << QString::fromUtf8("Žižek – “x”") << none;
        QTest::newRow("characters the catalog cannot hold") << 1 << 1 << QString::fromUtf8("Война 📚 ok") << "????? ? ok"
                                                            << "1 value";
        QTest::newRow("beyond the width not counted") << 1 << 15 << QString::fromUtf8("abcdefВ") << "abcdef" << none;
    }
    void convertsByKind()
    {
        QFETCH(int, dateFormat);
        QFETCH(int, row);
        QFETCH(QString, value);
        QFETCH(QString, stored);
        QFETCH(QString, counted);
        DateFormat::setCurrent(DateFormat(dateFormat, false));
        Catalog catalog;
        ImportRun run(catalog.table, {-1, row});
        run.importText("\"x\",\"" + value.toUtf8() + "\"", false);
        QCOMPARE(run.imported(), 1);
        QCOMPARE(catalog.table.recordCount(), 1);
        switch (CatalogFields::row(row).kind) {
        case FieldKind::Text:
            QCOMPARE(catalog.text(0, row), stored);
            break;
        case FieldKind::Date:
            QCOMPARE(catalog.date(0, row).toString(Qt::ISODate), stored);
            break;
        default:
            QCOMPARE(catalog.number(0, row) ? QString::number(*catalog.number(0, row)) : QString(), stored);
        }
        QCOMPARE(ImportRun::repairSummary(run.repairs()).section(' ', 0, counted.count(' ')), counted);
    }

    void windowsFile()
    {
        Catalog catalog;
        const ImportRun run = importFile(catalog, QStringLiteral("text/windows-cp1252-crlf.txt"));
        QCOMPARE(run.imported(), 30);
        QCOMPARE(run.repairs(), Repairs());
        QCOMPARE(catalog.text(0, 2), QString::fromUtf8("García Márquez, Gabriel"));
        QCOMPARE(catalog.number(0, 7), 40.25);
        QVERIFY(catalog.date(0, 12).isNull());
        QCOMPARE(catalog.date(1, 12), QDate(1998, 6, 14));
        QCOMPARE(catalog.text(2, 1), "\"Surely You're Joking, Mr. Feynman!\"");
        QCOMPARE(catalog.text(4, 1), "Notes on \"Camp\"");
        QCOMPARE(catalog.text(29, 1), "What Do You Care What Other People Think?");
        QCOMPARE(catalog.number(29, 7), 63.98);
    }

    void utf8File()
    {
        Catalog catalog;
        const ImportRun run = importFile(catalog, QStringLiteral("text/linux-utf8-lf.txt"));
        QCOMPARE(run.imported(), 30);
        Repairs expected;
        expected.replacedValues = 34;
        QCOMPARE(run.repairs(), expected);
        QCOMPARE(catalog.text(0, 1), QString::fromUtf8("Dostoevsky — ") + QString(12, u'?') + " ? " + QString(9, u'?'));
        QCOMPARE(catalog.text(0, 10), "978-5-389-06256-6");
        QCOMPARE(catalog.date(0, 12), QDate(2010, 3, 4));
        QCOMPARE(catalog.number(0, 7), 7.5);
        QCOMPARE(catalog.text(10, 2), QString::fromUtf8("García Márquez, Gabriel"));
        QCOMPARE(catalog.text(29, 1), QString::fromUtf8("Reading list ? (emoji outside the BMP)"));
    }

    void quirksFile()
    {
        Catalog catalog;
        const ImportRun run = importFile(catalog, QStringLiteral("text/quirks.txt"));
        QCOMPARE(run.imported(), 15); // 16 lines after the header, one of them empty
        Repairs expected;
        expected.malformedLines = 1; // the unquoted line
        expected.overfullLines = 1;
        expected.unreadableDates = 1;
        QCOMPARE(run.repairs(), expected);
        QCOMPARE(catalog.text(4, 1), "Goodbye, Columbus");
        QVERIFY(!catalog.number(4, 7));
        QCOMPARE(catalog.text(5, 1), "Emma");
        QCOMPARE(catalog.number(5, 24), 474.0);
        QCOMPARE(catalog.text(7, 2), "  Space, Leading");
        QVERIFY(catalog.date(8, 12).isNull());
        QCOMPARE(catalog.text(10, 1), "Unquoted line, with commas, 1999");
        QCOMPARE(catalog.text(13, 1), QString::fromUtf8("Žižek – Œuvres “choisies”"));
        QCOMPARE(catalog.date(14, 12), QDate(2020, 2, 29));
    }

    void dbaseThreeWithMemos()
    {
        Catalog catalog;
        const ImportRun run = importTable(catalog, QStringLiteral("dbase/pydbf-dbase3-memo.dbf"));
        QCOMPARE(run.imported(), 48); // the two deleted records stay behind
        QCOMPARE(run.repairs(), Repairs());
        QCOMPARE(catalog.text(0, 2), "Le Guin, Ursula K.");
        QCOMPARE(catalog.number(0, 3), 1968.0);
        QCOMPARE(catalog.number(0, 7), 76.36);
        QCOMPARE(catalog.date(0, 12), QDate(1991, 11, 19));
        QCOMPARE(catalog.text(0, 17), "Yes");
        QCOMPARE(catalog.text(1, 9), QString::fromUtf8("Leído en 1991. Très bien écrit; reseña en «El País»."));
        QCOMPARE(catalog.text(2, 9), QString::fromUtf8("Line one Line two - with a dash Line three: ñ ü ß"));
        QCOMPARE(catalog.text(3, 9).size(), 110); // a long memo, cut to the field
        QCOMPARE(catalog.text(4, 9), "Quote test: \"Embers\", said the bookseller.");
        QCOMPARE(catalog.text(4, 17), QString());
        QCOMPARE(catalog.text(15, 1), "The Second Sex");
    }

    void libreOfficeTables_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("Windows-1252") << "dbase/libreoffice-export.dbf";
        QTest::newRow("UTF-8") << "dbase/libreoffice-export-utf8.dbf";
    }
    void libreOfficeTables()
    {
        QFETCH(QString, file);
        Catalog catalog;
        const ImportRun run = importTable(catalog, file);
        QCOMPARE(run.imported(), 12);
        QCOMPARE(run.repairs(), Repairs());
        QCOMPARE(catalog.text(0, 2), QString::fromUtf8("García Márquez, Gabriel"));
        QCOMPARE(catalog.date(0, 12), QDate(2010, 3, 4));
        QVERIFY(catalog.date(2, 12).isNull());
        QCOMPARE(catalog.text(4, 2), QString::fromUtf8("Žižek, Slavoj"));
        QCOMPARE(catalog.text(5, 1), QString::fromUtf8("Œuvres complètes"));
        QCOMPARE(catalog.text(6, 1), QString::fromUtf8("Smilla’s Sense of Snow"));
        QCOMPARE(catalog.number(10, 7), 1234.56);
        QCOMPARE(catalog.number(11, 3), 180.0);
        QCOMPARE(catalog.number(11, 24), 256.0);
    }

    void cancelKeepsPostedBooks()
    {
        QByteArray bytes;
        for (int i = 0; i < 1000; ++i)
            bytes += "\"Book " + QByteArray::number(i) + "\"\r\n";
        Catalog catalog;
        ImportRun run(catalog.table, {1});
        int calls = 0;
        run.setProgress([&](int imported) {
            ++calls;
            return imported < 2 * ImportRun::ProgressStride;
        });
        run.importText(bytes, false);
        QVERIFY(run.cancelled());
        QCOMPARE(calls, 2);
        QCOMPARE(run.imported(), 2 * ImportRun::ProgressStride);
        QCOMPARE(catalog.table.state(), DbfTable::State::Browse);
        DbfTable reopened;
        reopened.open(catalog.table.path(), DbfTable::Access::ReadOnly);
        QCOMPARE(reopened.recordCount(), run.imported());
        QCOMPARE(reopened.recordAt(run.imported() - 1).text(0), "Book 511");
    }

    void mappingFromGrid_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("gridNames");
        QTest::addColumn<QStringList>("gridUse");
        QTest::addColumn<std::vector<int>>("mapping");
        QTest::newRow("in order") << QStringList{"A", "B"} << QStringList{"A", "B", "<EMPTY>"}
                                  << QStringList{"Yes", "Yes", ""} << std::vector<int>{1, 2};
        QTest::newRow("moved and switched off") << QStringList{"A", "B"} << QStringList{"<EMPTY>", "B", "A"}
                                                << QStringList{"", "No", "Yes"} << std::vector<int>{3, -1};
        QTest::newRow("same name twice") << QStringList{"<BLANK FIELD>", "<BLANK FIELD>"}
                                         << QStringList{"<BLANK FIELD>", "<BLANK FIELD>"} << QStringList{"Yes", "Yes"}
                                         << std::vector<int>{1, 1};
        QStringList below(37, "<EMPTY>");
        below[36] = "A";
        QTest::newRow("below the book rows")
            << QStringList{"A"} << below << QStringList(37, "Yes") << std::vector<int>{-1};
    }
    void mappingFromGrid()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, gridNames);
        QFETCH(QStringList, gridUse);
        QFETCH(std::vector<int>, mapping);
        QCOMPARE(ImportRun::mappingFromGrid(sources, gridNames, gridUse), mapping);
    }
};

SHELFMARK_TEST(TestImportRun)
#include "TestImportRun.moc"
