#include "TestSupport.h"

#include "ReportFixture.h"
#include "framework/Error.h"
#include "framework/report/InstalledPrinters.h"
#include "framework/report/ReportFont.h"
#include "framework/report/ReportRecording.h"
#include "framework/report/TFilePrinter.h"
#include "framework/report/TReportFiler.h"
#include "framework/report/TReportPrinter.h"
#include "framework/report/TextMetrics.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;
using Justify = TBaseReport::Justify;
using Operation = ReportRecording::Operation;
using ReportFixture::pdfPages;

namespace {

ReportFont font(const QString &name, int size)
{
    ReportFont f;
    f.name = name;
    f.size = size;
    return f;
}

QList<Operation> operations(const ReportRecording &recording, int page)
{
    QList<Operation> result;
    recording.forEach(page, [&](const Operation &op) { result << op; });
    return result;
}

// A run of `pages` pages, each with its number centred on the first line.
void numberedPages(TBaseReport &engine, int pages)
{
    engine.setPageSize(QPageSize(QPageSize::Letter));
    engine.onPrintPage = [&engine, pages] {
        engine.printCenter(QString::number(engine.currentPage()), 4.25);
        return engine.currentPage() < pages;
    };
}

} // namespace

class TestReportEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { ReportFonts::installSubstitutes(); }

    // Character widths of the faces the built-in reports name, in inches:
    // Liberation Sans has Arial's widths, Liberation Mono is 0.6 em a character.
    void namedFacesMeasureAsDesigned_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::newRow("Arial") << "Arial"
                               << "Hello" << (722 + 556 + 222 + 222 + 556) / 1000.0 * 10 / 72;
        QTest::newRow("Courier New") << "Courier New"
                                     << "iiWW" << 4 * 0.6 * 10 / 72;
        QTest::newRow("Courier") << "Courier"
                                 << "iiWW" << 4 * 0.6 * 10 / 72;
        QTest::newRow("missing face") << "No Such Face 1997"
                                      << "Hello" << (722 + 556 + 222 + 222 + 556) / 1000.0 * 10 / 72;
    }

    void namedFacesMeasureAsDesigned()
    {
        QFETCH(QString, face);
        QFETCH(QString, text);
        QFETCH(double, width);
        const TextMetrics metrics(ReportFonts::toQFont(font(face, 10)));
        QVERIFY2(qAbs(metrics.width(text) - width) < 0.002, qPrintable(QString::number(metrics.width(text))));
    }

    void fitCutsWhereRemovingCharactersWould_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "The Fellowship of the Ring";
        QTest::newRow("accents and euro") << "Œuvres complètes à 12 €";
        QTest::newRow("outside Latin-1") << "Ωμέγα – “quoted” 😀 tail";
        QTest::newRow("empty") << "";
    }

    void fitCutsWhereRemovingCharactersWould()
    {
        QFETCH(QString, text);
        const TextMetrics metrics(ReportFonts::toQFont(font(u"Arial"_s, 9)));
        for (double room : {0.0, 0.05, 0.4, 0.77, 1.3, 10.0}) {
            QString expected = text;
            while (!expected.isEmpty() && metrics.width(expected) > room)
                expected.chop(expected.back().isLowSurrogate() ? 2 : 1);
            QCOMPARE(metrics.fit(text, room).toString(), expected);
        }
    }

    void linesOfTheSection()
    {
        ReportRecording recording;
        TReportFiler engine(recording);
        engine.setPageSize(QPageSize(QPageSize::Letter));
        engine.setFont(font(u"Arial"_s, 12));
        double height = 0;
        QList<double> section;
        QList<int> left;
        engine.onPrintPage = [&] {
            height = engine.lineHeight();
            section << engine.sectionTop() << engine.sectionBottom();
            engine.setSectionTop(2);
            engine.setSectionBottom(2 + 3 * height);
            engine.home();
            for (int i = 0; i < 4; ++i) {
                left << engine.linesLeft();
                engine.newLine();
            }
            engine.home();
            left << engine.linesLeft();
            return false;
        };
        engine.execute();
        QCOMPARE(section, (QList<double>{0.5, 10.5}));
        QVERIFY(qAbs(height - 12 * 1.149 / 72) < 0.002);
        QCOMPARE(left, (QList<int>{3, 2, 1, 0, 3}));
    }

    void tabsPlaceTextAndRules()
    {
        ReportRecording recording;
        TReportFiler engine(recording);
        engine.setPageSize(QPageSize(QPageSize::Letter));
        engine.setMarginLeft(1);
        const ReportFont arial = font(u"Arial"_s, 10);
        const TextMetrics metrics(ReportFonts::toQFont(arial));
        double top = 0;
        double height = 0;
        QList<double> widths;
        engine.onPrintPage = [&] {
            engine.setFont(arial);
            engine.addTab(Justify::Left, TBaseReport::AllLines, 2, 1.0);
            engine.addTab(Justify::Right, TBaseReport::LeftLine, 5, 2.0);
            engine.addTab(Justify::Center, 0, 0, 1.5, 5.0);
            widths << engine.tabWidth(1) << engine.tabWidth(2) << engine.tabWidth(3) << engine.tabWidth(4);
            top = engine.yPos();
            height = engine.lineHeight();
            engine.printTab(u"left");
            engine.printTab(u"right");
            engine.printTab(u"centre");
            engine.printTab(u"beyond the last tab");
            engine.newLine();
            engine.printTab({}); // the rules of an empty cell
            return false;
        };
        engine.execute();
        QCOMPARE(widths, (QList<double>{0.96, 1.9, 1.5, 0.0}));
        const QList<Operation> ops = operations(recording, 0);
        QCOMPARE(ops.size(), 6);
        QCOMPARE(ops[0].kind, Operation::Kind::Cell);
        QCOMPARE(ops[0].rules, 15);
        QVERIFY(qAbs(ops[0].cell.x() - 1.0) < 1e-6 && qAbs(ops[0].cell.y() - top) < 1e-6);
        QVERIFY(qAbs(ops[0].cell.width() - 1.0) < 1e-6 && qAbs(ops[0].cell.height() - height) < 1e-6);
        QCOMPARE(ops[1].text, u"left"_s);
        QVERIFY(qAbs(ops[1].at.x() - 1.02) < 1e-6);
        QVERIFY(qAbs(ops[1].at.y() - (top + metrics.ascent())) < 1e-6);
        QCOMPARE(ops[2].rules, int(TBaseReport::LeftLine));
        QVERIFY(qAbs(ops[2].cell.x() - 2.0) < 1e-6); // right after the first tab
        QVERIFY(qAbs(ops[3].at.x() + metrics.width(u"right") - 3.95) < 1e-6);
        QVERIFY(qAbs(ops[4].at.x() + metrics.width(u"centre") / 2 - 5.75) < 1e-6);
        QVERIFY(qAbs(ops[5].cell.y() - (top + height)) < 1e-6);
    }

    void replayDrawsWhereRecorded()
    {
        ReportRecording recording;
        TReportFiler engine(recording);
        engine.setPageSize(QPageSize(QPageSize::Letter));
        engine.onPrintPage = [&] {
            engine.setFont(font(u"Arial"_s, 20));
            engine.addTab(Justify::Left, TBaseReport::AllLines, 2, 2.0, 1.0);
            engine.printTab(u"XXXX");
            return false;
        };
        engine.execute();
        const double height = engine.lineHeight();
        for (double zoom : {1.0, 0.5}) {
            QImage image(int(8.5 * 50 * zoom), int(11 * 50 * zoom), QImage::Format_RGB32);
            image.setDotsPerMeterX(qRound(50 / 0.0254));
            image.setDotsPerMeterY(qRound(50 / 0.0254));
            image.fill(Qt::white);
            QPainter painter(&image);
            recording.replay(0, painter, QRectF(0, 0, image.width(), image.height()));
            painter.end();
            // Ink within a pixel of the point: a rule is thinner than a pixel here, and grey.
            auto dark = [&](double x, double y) {
                const QPoint p(int(x * 50 * zoom), int(y * 50 * zoom));
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy)
                        if (qGray(image.pixel(p + QPoint(dx, dy))) < 224)
                            return true;
                return false;
            };
            QVERIFY(dark(1.0, 0.5 + height / 2));  // left rule
            QVERIFY(dark(3.0, 0.5 + height / 2));  // right rule
            QVERIFY(dark(2.0, 0.5));               // top rule
            QVERIFY(!dark(2.9, 0.5 + height / 2)); // inside, past the text
            QVERIFY(!dark(5.0, 5.0));              // elsewhere
            int inked = 0;                         // the text, near the cell's left
            for (double x = 1.05; x < 1.6; x += 0.06)
                inked += dark(x, 0.5 + height * 0.45);
            QVERIFY(inked > 5);
        }
    }

    void manyPagesAcrossBlocks()
    {
        // About 3 MB of text operations: the stream goes on in a second block.
        ReportRecording recording;
        TReportFiler engine(recording);
        numberedPages(engine, 4);
        const QString line = QString(100, u'x');
        engine.onPrintPage = [&] {
            for (int i = 0; i < 7000; ++i)
                engine.printCenter(line, 4.25);
            engine.printCenter(QString::number(engine.currentPage()), 4.25);
            return engine.currentPage() < 4;
        };
        engine.execute();
        QCOMPARE(recording.pageCount(), 4);
        QCOMPARE(recording.memoryUsed() / (std::size_t(2) << 20), std::size_t(2));
        for (int page = 0; page < 4; ++page) {
            const QList<Operation> ops = operations(recording, page);
            QCOMPARE(ops.size(), 7001);
            QCOMPARE(ops.first().text, line);
            QCOMPARE(ops.last().text, QString::number(page + 1));
        }
    }

    void printerAndRecordingGiveTheSamePages()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString direct = m_dir.filePath(u"direct.pdf"_s);
        printer.setOutputFileName(direct);
        TReportPrinter engine(printer);
        numberedPages(engine, 5);
        engine.setOrientation(QPageLayout::Landscape);
        engine.execute();
        QCOMPARE(pdfPages(direct), 5);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);

        ReportRecording recording;
        TReportFiler filer(recording);
        numberedPages(filer, 5);
        filer.setOrientation(QPageLayout::Landscape);
        filer.execute();
        QCOMPARE(recording.paperSize(), QSizeF(11, 8.5));
        const QString replayed = m_dir.filePath(u"replayed.pdf"_s);
        QPdfWriter writer(replayed);
        TFilePrinter(recording).print(writer, 2, 4, 2);
        QCOMPARE(pdfPages(replayed), 6);
        QCOMPARE(writer.pageLayout().orientation(), QPageLayout::Landscape);
    }

    void paperOfTheSelectedPrinter()
    {
        const auto restore = qScopeGuard([] { InstalledPrinters::setForTesting(std::nullopt); });
        ReportRecording recording;
        TReportFiler engine(recording);
        // Without printers, the default printer and any other index give the local paper.
        InstalledPrinters::setForTesting(QList<InstalledPrinters::Printer>{});
        engine.setPageSize(QPageSize(QPageSize::A5));
        engine.selectPrinter(3);
        QVERIFY(engine.printerName().isEmpty());
        const QPageSize local = engine.pageSize();
        QVERIFY(local.id() == QPageSize::A4 || local.id() == QPageSize::Letter);
        engine.setPageSize(QPageSize(QPageSize::A5));
        engine.selectPrinter(-1);
        QCOMPARE(engine.pageSize(), local);
        engine.execute();
        QCOMPARE(recording.pageSize(), local);
        QCOMPARE(engine.pageWidth(), local.size(QPageSize::Inch).width());

        // A printer by its place; the default one for -1 and for a place beyond
        // the list; a printer that names no paper prints on the local one.
        InstalledPrinters::setForTesting(QList<InstalledPrinters::Printer>{
            {u"Office"_s, QPageSize(), false}, {u"Label Writer"_s, QPageSize(QPageSize::A6), true}});
        engine.selectPrinter(0);
        QCOMPARE(engine.printerName(), u"Office"_s);
        QCOMPARE(engine.pageSize(), local);
        for (int index : {1, -1, 2}) {
            engine.selectPrinter(index);
            QCOMPARE(engine.printerName(), u"Label Writer"_s);
            QCOMPARE(engine.pageSize().id(), QPageSize::A6);
        }
    }

    void abortEndsTheRunAfterThePage()
    {
        ReportRecording recording;
        TReportFiler engine(recording);
        numberedPages(engine, 100);
        QStringList statuses;
        bool after = false;
        engine.setStatusFormat(u"Printing Page %p\n%0\n%1"_s);
        engine.setStatusLine(1, u"second"_s);
        engine.onAfterPrint = [&] { after = true; };
        engine.onStatus = [&](const QString &status) {
            statuses << status;
            if (engine.currentPage() == 3)
                engine.abort();
        };
        engine.execute();
        QVERIFY(engine.aborted());
        QVERIFY(after);
        QCOMPARE(recording.pageCount(), 3);
        QCOMPARE(statuses.last(), u"Printing Page 3\n\nsecond"_s);

        // A failing event ends the run as aborted; the next run starts afresh.
        engine.onStatus = nullptr;
        engine.onPrintFooter = [&] {
            if (engine.currentPage() == 2)
                throw FileError(u"disk full"_s);
        };
        QVERIFY_THROWS_EXCEPTION(FileError, engine.execute());
        QVERIFY(engine.aborted());
        engine.onPrintFooter = nullptr;
        engine.execute();
        QVERIFY(!engine.aborted());
        QCOMPARE(recording.pageCount(), 100);
    }
};

SHELFMARK_TEST(TestReportEngine)
#include "TestReportEngine.moc"
