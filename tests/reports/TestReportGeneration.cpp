#include "TestSupport.h"

#include "BookGenerator.h"
#include "ReportFixture.h"
#include "framework/Error.h"
#include "framework/report/ReportFont.h"
#include "framework/report/TextMetrics.h"
#include "reports/BuiltInReports.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ReportFixture;

namespace {

ReportDefinition builtIn(const QString &name)
{
    for (const ReportDefinition &d : BuiltInReports::all()) {
        if (d.name == name)
            return d;
    }
    return {};
}

QStringList lines(const QString &path)
{
    return QString::fromUtf8(TestSupport::readAll(path)).split(u"\r\n"_s);
}

// The texts of a recorded page, in the order drawn.
QStringList texts(const ReportRecording &recording, int page)
{
    QStringList result;
    recording.forEach(page, [&](const ReportRecording::Operation &op) {
        if (op.kind == ReportRecording::Operation::Kind::Text)
            result << op.text;
    });
    return result;
}

// The texts and cells of a recorded page.
QList<ReportRecording::Operation> operations(const ReportRecording &recording, int page)
{
    QList<ReportRecording::Operation> result;
    recording.forEach(page, [&](const ReportRecording::Operation &op) { result << op; });
    return result;
}

// A catalog of generated books in its own directory.
void generatedCatalog(const QTemporaryDir &dir, DbfTable &table, int count)
{
    const QString path = dir.filePath(u"MANY.DBF"_s);
    CatalogTable::create(path);
    {
        DbfTable writer;
        writer.open(path);
        BookGenerator generator;
        generator.appendTo(writer, count, false);
    }
    table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0})});
}

Book book(const QString &title, const QString &author, const QString &category)
{
    Book b;
    b.title = title;
    b.author = author;
    b.category = category;
    return b;
}

} // namespace

class TestReportGeneration : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    DbfTable m_table;

    QString out(const QString &name = u"REPORT.TXT"_s) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        ReportFonts::installSubstitutes();
        makeCatalog(m_dir, m_table);
    }

    void builtInReportsAsText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("pages");
        QTest::newRow("Short Narrow") << "Short Narrow Report"
                                      << "short-narrow.txt" << 1;
        QTest::newRow("2 Line") << "2 Line 120 Column Report"
                                << "2-line.txt" << 1;
        QTest::newRow("4 Line") << "4 Line Report"
                                << "4-line.txt" << 1;
        QTest::newRow("Full") << "Full Report"
                              << "full.txt" << 2;
        QTest::newRow("Location") << "Location Report"
                                  << "location.txt" << 1;
        QTest::newRow("Checkout") << "Library Checkout Report"
                                  << "checkout.txt" << 1;
        QTest::newRow("Value") << "Value Report"
                               << "value.txt" << 1;
        QTest::newRow("Summary") << "Statistic/Summary Report"
                                 << "summary.txt" << 1;
    }

    // Each built-in report printed to a file from the five books sorted by
    // author, as checked by hand against the rules once.
    void builtInReportsAsText()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const int pages = toText(builtIn(name), m_table, settings(), out());
        const QByteArray actual = TestSupport::readAll(out());
        const QByteArray wanted = TestSupport::readAll(TestSupport::dataPath(u"reports/"_s + expected));
        if (actual != wanted) {
            const QString kept = QDir::temp().filePath(u"shelfmark-"_s + expected);
            TestSupport::writeAll(kept, actual);
            QFAIL(qPrintable(u"the report differs from %1; it is kept in %2"_s.arg(expected, kept)));
        }
        QTEST(pages, "pages");
        QCOMPARE(int(actual.count('\f')), pages);
    }

    void noBodyLinesWithoutGroupingPrintOnlyTheTotals()
    {
        ReportDefinition summary = builtIn(u"Statistic/Summary Report"_s);
        summary.level1Group = false;
        toText(summary, m_table, settings(), out());
        // The totals line is 157 characters wide.
        const QString grand =
            u"     Cost: 1,255.99      Value: 2,043.50      Low Market: 1,532.00      High Market: 2,560.00"_s
                .leftJustified(157);
        QCOMPARE(lines(out()),
                 (QStringList{QString(42, u' ') + u"TOTALS"_s, grand, QString(), QString(39, u' ') + u"GRAND TOTALS"_s,
                              grand, QString(), u"Page 1          3/5/01\f"_s, QString()}));
    }

    void twoLevelGrouping()
    {
        QTemporaryDir dir;
        DbfTable table;
        makeCatalog(dir, table,
                    {book(u"A"_s, u"Le Guin"_s, u"Fantasy"_s), book(u"B"_s, u"Tolkien"_s, u"Fantasy"_s),
                     book(u"C"_s, u"Tolkien"_s, u"Poetry"_s)},
                    {5, 2, 0, 0});
        ReportDefinition narrow = builtIn(u"Short Narrow Report"_s);
        narrow.level2Group = true;
        toText(narrow, table, settings({5, 2, 0, 0}), out());
        QStringList headings;
        int totals = 0;
        const QStringList all = lines(out());
        for (int i = 1; i + 1 < all.size(); ++i) {
            if (all[i - 1].trimmed().startsWith(u'-') && all[i + 1].trimmed().startsWith(u'-'))
                headings << all[i].trimmed();
            totals += all[i].trimmed() == u"TOTALS"_s;
        }
        // A change of the second level alone, and of the first level alone, each start a group.
        QCOMPARE(headings, (QStringList{u"Fantasy, Le Guin"_s, u"Fantasy, Tolkien"_s, u"Poetry, Tolkien"_s}));
        QCOMPARE(totals, 3);

        // The second level groups only under the first.
        narrow.level1Group = false;
        toText(narrow, table, settings({5, 2, 0, 0}), out());
        QVERIFY(!QString::fromUtf8(TestSupport::readAll(out())).contains(u"---"_s));
    }

    void groupValueWiderThanThePage()
    {
        QTemporaryDir dir;
        DbfTable table;
        Book wide = book(u"Wide"_s, QString(90, u'W'), {});
        Book narrow = book(u"Narrow"_s, u"Ann"_s, {});
        makeCatalog(dir, table, {wide, narrow});
        ReportDefinition unruled = builtIn(u"Short Narrow Report"_s);
        unruled.vertLines = unruled.horzLines = false;
        ReportRecording recording;
        record(unruled, table, settings(), recording);
        QCOMPARE(recording.pageCount(), 1);
        const TextMetrics metrics(ReportFonts::toQFont(builtIn(u"Short Narrow Report"_s).bodyFont));
        const double printable = 8.5 - 1.0;
        QList<QRectF> boxes;
        QStringList headings;
        const QList<ReportRecording::Operation> ops = operations(recording, 0);
        for (qsizetype i = 0; i < ops.size(); ++i) {
            if (ops[i].kind == ReportRecording::Operation::Kind::Cell && ops[i].rules == 15 && i + 1 < ops.size()) {
                boxes << ops[i].cell;
                headings << ops[i + 1].text;
            }
        }
        QCOMPARE(headings.size(), 2);
        // "Ann" sorts first: its box is 0.2 in wider than the text, which is centred on the printable width.
        const double ann = metrics.width(u"Ann");
        QCOMPARE(headings[0], u"Ann"_s);
        QVERIFY(qAbs(boxes[0].width() - (ann + 0.2)) < 1e-4);
        QVERIFY(qAbs(boxes[0].x() - (0.5 + (printable - ann) / 2)) < 1e-4);
        // The wide value is cut to the printable width less 0.2 in, its box spans the printable
        // width plus 0.2 in from the left margin.
        QVERIFY(QString(90, u'W').startsWith(headings[1]));
        QVERIFY(metrics.width(headings[1]) <= printable - 0.2);
        QVERIFY(metrics.width(headings[1] + u'W') > printable - 0.2);
        QVERIFY(qAbs(boxes[1].width() - (printable + 0.2)) < 1e-4);
        QVERIFY(qAbs(boxes[1].x() - 0.5) < 1e-4);

        // In a text file a heading longer than the report width starts at the line's start.
        QTemporaryDir longDir;
        DbfTable descriptions;
        const QString path = longDir.filePath(u"BOOKS.DBF"_s);
        CatalogTable::create(path);
        {
            DbfTable writer;
            writer.open(path);
            writer.append();
            writer.setText(writer.field(u"Descriptio"), QString(100, u'd'));
            writer.post();
        }
        descriptions.open(path);
        toText(builtIn(u"Location Report"_s), descriptions, settings({9, 0, 0, 0}), out());
        const QStringList all = lines(out());
        QCOMPARE(all.mid(1, 4), (QStringList{QString(), QString(100, u'-'), QString(100, u'd'), QString(100, u'-')}));
    }

    void totalsFromNumbersWithDecimalComma()
    {
        TestSupport::CommaLocale comma(m_dir);
        if (!comma.active())
            QSKIP("no locale with a decimal comma");
        NumberFormat::Symbols symbols;
        symbols.decimal = u',';
        symbols.thousands = u'.';
        const NumberFormat german(NumberFormat::Style::System, NumberFormat::Style::System, symbols);
        toText(builtIn(u"Value Report"_s), m_table, settings(), out(), german);
        const QStringList all = lines(out());
        QVERIFY(all.contains(
            u"The Lord of the Rings: The Fellowship of t1.234,50    2.000,00    1.500,00    2.500,75    "_s));
        const qsizetype grand = all.indexOf(QString(39, u' ') + u"GRAND TOTALS"_s);
        QVERIFY(grand > 0);
        QVERIFY(all[grand + 1].startsWith(
            u"     Cost: 1.255,99      Value: 2.043,50      Low Market: 1.532,00      High Market: 2.560,00"_s));
    }

    void pageCountSameInEveryMode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("text"); // whether the text file breaks pages alike
        // A text file's group headings take four lines, two on paper.
        QTest::newRow("without groups") << "Library Checkout Report" << true;
        QTest::newRow("groups and rules") << "Short Narrow Report" << false;
        QTest::newRow("ten lines a book") << "Full Report" << false;
    }

    void pageCountSameInEveryMode()
    {
        QFETCH(QString, name);
        QFETCH(bool, text);
        QTemporaryDir dir;
        DbfTable table;
        generatedCatalog(dir, table, 400);
        const ReportDefinition d = builtIn(name);

        ReportRecording recording;
        record(d, table, settings(), recording);
        QVERIFY(recording.pageCount() > 2);

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"REPORT.PDF"_s));
        {
            TReportPrinter engine(printer);
            prepare(engine);
            ReportGenerator generator(d, ReportGenerator::Mode::Print, table, settings(), usNumbers(), DateFormat());
            generator.attach(engine);
            engine.execute();
            QVERIFY(!engine.aborted());
        }
        QCOMPARE(pdfPages(dir.filePath(u"REPORT.PDF"_s)), recording.pageCount());

        if (text) {
            QCOMPARE(toText(d, table, settings(), out()), recording.pageCount());
            QCOMPARE(int(TestSupport::readAll(out()).count('\f')), recording.pageCount());
        }
    }

    void storedNumbersOutOfRangeAreSkipped()
    {
        ReportDefinition d = builtIn(u"Short Narrow Report"_s);
        d.bodyLines[0].elements[1].fieldNo = 0;   // YearPub
        d.bodyLines[0].elements[2].fieldNo = 200; // Author
        d.totalsLine.elements[2].fieldNo = 6;     // Cost
        toText(d, m_table, settings(), out());
        const QStringList all = lines(out());
        const QString ulysses = u"Ulysses"_s.leftJustified(59 + 5 + 27);
        QVERIFY(all.contains(ulysses));
        const QString noCost = u"     Cost:"_s + QString(15, u' ') + u"Value: 3.50          Low Market: 2.00"_s;
        QVERIFY(std::any_of(all.begin(), all.end(), [&](const QString &line) { return line.startsWith(noCost); }));

        ReportRecording recording;
        record(d, m_table, settings(), recording);
        QVERIFY(!texts(recording, 0).contains(u"1922"_s));

        d.numLines = 13; // as twelve
        for (ReportLine &line : d.bodyLines)
            line = d.bodyLines[0];
        toText(d, m_table, settings(), out());
        QCOMPARE(lines(out()).count(ulysses), 12);
        d.numLines = -1; // as none
        toText(d, m_table, settings(), out());
        QVERIFY(!QString::fromUtf8(TestSupport::readAll(out())).contains(u"Ulysses"_s));
    }

    void everyRunEnds_data()
    {
        QTest::addColumn<int>("bodySize");
        QTest::addColumn<double>("topMargin");
        QTest::addColumn<double>("bottomMargin");
        QTest::newRow("a book taller than the band") << 400 << 0.5 << 0.5;
        QTest::newRow("no band at all") << 10 << 6.0 << 6.0;
        QTest::newRow("margins not numbers") << 10 << qQNaN() << qInf();
    }

    void everyRunEnds()
    {
        QFETCH(int, bodySize);
        QFETCH(double, topMargin);
        QFETCH(double, bottomMargin);
        ReportDefinition d = builtIn(u"2 Line 120 Column Report"_s);
        d.bodyFont.size = bodySize;
        d.topMargin = topMargin;
        d.bottomMargin = bottomMargin;
        const int pages = toText(d, m_table, settings(), out());
        const QString text = QString::fromUtf8(TestSupport::readAll(out()));
        for (const Book &b : books())
            QVERIFY2(text.contains(u"Title: "_s + b.title.left(70)), qPrintable(b.title));
        QVERIFY(text.contains(u"GRAND TOTALS"_s));
        QVERIFY(pages <= 2 * books().size() + 2);
    }

    void pagesAsRecorded()
    {
        ReportDefinition d = builtIn(u"Value Report"_s);
        d.titles[0] = u"My Books"_s;
        ReportRecording recording;
        record(d, m_table, settings(), recording);
        const TextMetrics metrics(ReportFonts::toQFont(d.bodyFont));
        const double printable = 7.5;
        auto find = [&](const QString &text) {
            const QList<ReportRecording::Operation> ops = operations(recording, 0);
            const auto it = std::find_if(ops.begin(), ops.end(), [&](const auto &op) { return op.text == text; });
            return it == ops.end() ? ReportRecording::Operation{} : *it;
        };
        // The title centred on the page, in the header band from the top margin.
        const auto title = find(u"My Books"_s);
        QVERIFY(qAbs(title.at.x() + metrics.width(u"My Books") / 2 - 4.25) < 1e-4);
        QVERIFY(title.at.y() > 0.5 && title.at.y() < 1.25);
        // An amount right-justified in its cell, 0.02 in from its right edge.
        const auto cost = find(u"1,234.50"_s);
        const double costRight = 0.5 + (42.0 + 12.0) / 90 * printable;
        QVERIFY(qAbs(cost.at.x() + metrics.width(u"1,234.50") - (costRight - 0.02)) < 1e-4);
        QVERIFY(cost.at.y() > 1.25);
        // The long title cut at the right where the next character would not fit.
        const QString full = books()[1].title;
        QString cut;
        recording.forEach(0, [&](const ReportRecording::Operation &op) {
            if (op.kind == ReportRecording::Operation::Kind::Text && op.text.startsWith(u"The Lord"_s))
                cut = op.text;
        });
        const double room = 42.0 / 90 * printable - 0.04;
        QVERIFY(cut.size() < full.size() && full.startsWith(cut));
        QVERIFY(metrics.width(cut) <= room);
        QVERIFY(metrics.width(full.left(cut.size() + 1)) > room);
        // The footer: the page number at the left margin, the date at the right one.
        const TextMetrics foot(ReportFonts::toQFont(d.footnoteFont));
        QVERIFY(qAbs(find(u"Page 1"_s).at.x() - 0.5) < 1e-4);
        QVERIFY(qAbs(find(u"3/5/01"_s).at.x() + foot.width(u"3/5/01") - 8.0) < 1e-4);
        QVERIFY(find(u"Page 1"_s).at.y() > 11 - 1.0);

        d.pageNumbers = false;
        record(d, m_table, settings(), recording);
        QVERIFY(!texts(recording, 0).contains(u"Page 1"_s));
        QVERIFY(texts(recording, 0).contains(u"3/5/01"_s));
        d.dateOnPages = false;
        toText(d, m_table, settings(), out());
        QCOMPARE(lines(out()).mid(lines(out()).size() - 2), (QStringList{u"\f"_s, QString()}));
    }

    void textFileThatCannotBeCreated()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"missing/REPORT.TXT"_s);
        try {
            toText(builtIn(u"Full Report"_s), m_table, settings(), path);
            QFAIL("the run did not fail");
        } catch (const FileError &e) {
            QVERIFY(e.message().contains(path));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void cancelledRunLeavesAnEarlierFile()
    {
        QTemporaryDir dir;
        DbfTable table;
        generatedCatalog(dir, table, 400);
        const QString path = dir.filePath(u"REPORT.TXT"_s);
        TestSupport::writeAll(path, "earlier");
        ReportRecording discarded;
        TReportFiler filer(discarded);
        prepare(filer);
        ReportGenerator generator(builtIn(u"Full Report"_s), ReportGenerator::Mode::File, table, settings(),
                                  usNumbers(), DateFormat());
        generator.setTextFile(path);
        generator.attach(filer);
        filer.onStatus = [&](const QString &) { filer.abort(); };
        filer.execute();
        QVERIFY(filer.aborted());
        QCOMPARE(discarded.pageCount(), 1);
        QCOMPARE(TestSupport::readAll(path), QByteArray("earlier"));
        QCOMPARE(QDir(dir.path()).entryList({u"REPORT*"_s}, QDir::Files), QStringList{u"REPORT.TXT"_s});

        filer.onStatus = nullptr;
        filer.execute();
        QVERIFY(!filer.aborted());
        QVERIFY(TestSupport::readAll(path).contains("Title: "));
    }
};

SHELFMARK_TEST(TestReportGeneration)
#include "TestReportGeneration.moc"
