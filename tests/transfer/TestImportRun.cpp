#include "TestSupport.h"

#include "app/DateFormat.h"
#include "app/NumberFormat.h"
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
        CatalogTable::create(dir.filePath(QStringLiteral("BOOKS.DBF")));
        table.open(dir.filePath(QStringLiteral("BOOKS.DBF")));
    }
    // A book field (row 1-36) as text: numbers plain, dates in ISO form.
    QString shown(int book, int row) const
    {
        const DbfRecord record = table.recordAt(book);
        switch (CatalogFields::row(row).kind) {
        case FieldKind::Text:
            return record.text(row - 1);
        case FieldKind::Date:
            return record.date(row - 1).toString(Qt::ISODate);
        default:
            return record.number(row - 1) ? QString::number(*record.number(row - 1)) : QString();
        }
    }
};

// Each source field to the book row of the same table field name; the field
// names of the dBASE III file go where their contents belong.
std::vector<int> mappingByName(const QStringList &names)
{
    static const QHash<QString, int> others = {{"PRICE", 7}, {"NOTES", 9}, {"BOUGHT", 12}, {"READ", 17}};
    std::vector<int> mapping;
    for (const QString &name : names) {
        int row = others.value(name, -1);
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
    const QString path = TestSupport::dataPath(relative);
    if (path.endsWith(QLatin1String(".txt"))) {
        const QByteArray bytes = TestSupport::readAll(path);
        ImportRun run(catalog.table, mappingByName(DelimitedReader::readHeader(bytes).names));
        run.importText(bytes, true);
        return run;
    }
    DbfTable source;
    source.open(path, DbfTable::Access::ReadOnly);
    QStringList names;
    for (const FieldDef &field : source.fields())
        names << field.name;
    ImportRun run(catalog.table, mappingByName(names));
    run.importTable(source);
    return run;
}

} // namespace

class TestImportRun : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        DateFormat::setCurrent(DateFormat());
        NumberFormat::setCurrent(NumberFormat());
    }

    // One value into one book field: what is stored and what was counted.
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
        QTest::newRow("groups of three") << 1 << 30 << "12,345.5"
                                         << "12345.5" << none;
        QTest::newRow("comma for a decimal point") << 1 << 7 << "12,50"
                                                   << ""
                                                   << "1 amount";
        QTest::newRow("comma out of place") << 1 << 7 << "1,23,456"
                                            << ""
                                            << "1 amount";
        QTest::newRow("comma after the point") << 1 << 7 << "1.234,5"
                                               << ""
                                               << "1 amount";
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
        QCOMPARE(catalog.table.recordCount(), 1);
        QCOMPARE(catalog.shown(0, row), stored);
        QCOMPARE(ImportRun::repairSummary(run.repairs()).section(' ', 0, int(counted.count(' '))), counted);
    }

    // Amounts are read the same whatever money format is in force, so that a
    // file written under one setting reads back under another.
    void amountsReadWithAPointUnderEveryMoneyFormat()
    {
        NumberFormat::Symbols comma;
        comma.decimal = QLatin1Char(',');
        comma.thousands = QLatin1Char('.');
        NumberFormat::setCurrent(NumberFormat(NumberFormat::Style::System, NumberFormat::Style::System, comma));
        Catalog catalog;
        ImportRun run(catalog.table, {7, 8, 29, 30});
        run.importText("\"6.16\",\"1,234.50\",\"12,50\",\"1.234\"", false);
        QCOMPARE(catalog.shown(0, 7), "6.16");
        QCOMPARE(catalog.shown(0, 8), "1234.5");
        QCOMPARE(catalog.shown(0, 29), "");
        QCOMPARE(catalog.shown(0, 30), "1.234");
        QCOMPARE(ImportRun::repairSummary(run.repairs()), "1 amount could not be read and was left empty.");
    }

    // The test files, each field to the book field of its name. Checks are
    // "book:row=value" (books counted from 0) separated by "|".
    void sourceFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("books");
        QTest::addColumn<QString>("repairs");
        QTest::addColumn<QString>("checks");
        QTest::newRow("Windows-1252, CR LF")
            << "text/windows-cp1252-crlf.txt" << 30 << ""
            << "0:2=García Márquez, Gabriel|0:7=40.25|0:12=|1:12=1998-06-14|2:1=\"Surely You're Joking, Mr. Feynman!\"|"
               "4:1=Notes on \"Camp\"|29:7=63.98";
        QTest::newRow("UTF-8, LF")
            << "text/linux-utf8-lf.txt" << 30
            << "34 values held characters the catalog cannot store; they were stored as \"?\"."
            << "0:1=Dostoevsky — ???????????? ? ?????????|0:10=978-5-389-06256-6|0:12=2010-03-04|"
               "0:7=7.5|10:2=García Márquez, Gabriel|29:1=Reading list ? (emoji outside the BMP)";
        QTest::newRow("quirks") // 16 lines after the header, one of them empty
            << "text/quirks.txt" << 15
            << "1 line had its quotes missing or out of place and was read as well as possible.\n"
               "1 line had more values than the first line; the extra values were dropped.\n"
               "1 date could not be read and was left empty."
            << "4:1=Goodbye, Columbus|4:7=|5:24=474|7:2=  Space, Leading|8:12=|10:1=Unquoted line, with commas, 1999|"
               "11:1=Tabhere|12:1=MultiLine|13:1=Žižek – Œuvres “choisies”|14:12=2020-02-29";
        QTest::newRow("dBASE III with memos, cp850") // records 13 and 37 deleted
            << "dbase/pydbf-dbase3-memo.dbf" << 48 << ""
            << "0:2=Le Guin, Ursula K.|0:3=1968|0:7=76.36|0:12=1991-11-19|0:17=Yes|"
               "1:9=Leído en 1991. Très bien écrit; reseña en «El País».|"
               "2:9=Line one Line two - with a dash Line three: ñ ü ß|"
               "4:9=Quote test: \"Embers\", said the bookseller.|4:17=|15:1=The Second Sex";
        const QString libreOffice = "0:2=García Márquez, Gabriel|0:12=2010-03-04|2:12=|4:2=Žižek, Slavoj|"
                                    "5:1=Œuvres complètes|6:1=Smilla’s Sense of Snow|10:7=1234.56|11:3=180|11:24=256";
        QTest::newRow("LibreOffice, Windows-1252") << "dbase/libreoffice-export.dbf" << 12 << "" << libreOffice;
        QTest::newRow("LibreOffice, UTF-8") << "dbase/libreoffice-export-utf8.dbf" << 12 << "" << libreOffice;
    }
    void sourceFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, books);
        QFETCH(QString, repairs);
        QFETCH(QString, checks);
        Catalog catalog;
        const ImportRun run = importFile(catalog, file);
        QCOMPARE(run.imported(), books);
        QCOMPARE(catalog.table.recordCount(), books);
        QCOMPARE(ImportRun::repairSummary(run.repairs()), repairs);
        for (const QString &check : checks.split('|')) {
            const int book = check.section(':', 0, 0).toInt();
            const int row = check.section(':', 1).section('=', 0, 0).toInt();
            QCOMPARE(QStringLiteral("%1:%2=").arg(book).arg(row) + catalog.shown(book, row), check);
        }
        if (file.contains("memo"))
            QCOMPARE(catalog.shown(3, 9).size(), 110); // a memo of 1160 characters, cut to the field
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
