#include "ReportFixture.h"
#include "TestSupport.h"

#include "BookGenerator.h"
#include "app/WindowLook.h"
#include "framework/report/InstalledPrinters.h"
#include "framework/report/ReportFont.h"
#include "framework/report/TFilePreview.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "reports/BuiltInReports.h"
#include "reports/PrintRange.h"
#include "reports/TMyPreview.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace ReportFixture;

namespace {

const QString Busy = u"Previous print job has not yet finished.  Try again later."_s;

} // namespace

// The preview: where it opens, paging, zoom, colour, and printing the page,
// the report or a range of it (to PDF files, no printer being installed).
class TestReportPreview : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    DbfTable m_table;
    ReportRecording m_recording;
    Settings m_settings{QString()};
    WindowLook m_look{m_settings};
    std::unique_ptr<TMyPreview> m_preview;

    TMyPreview &open()
    {
        m_preview = std::make_unique<TMyPreview>(m_recording, u"Short Narrow Report"_s, m_settings, m_look, nullptr);
        m_preview->show();
        TestSupport::activate(m_preview.get());
        return *m_preview;
    }
    template <typename T = QToolButton> T *child(const QString &name) const { return m_preview->findChild<T *>(name); }
    TFilePreview *preview() const { return m_preview->preview(); }
    QString pageLabel() const { return child<QLabel>(u"PageLabel"_s)->text(); }
    QString zoomText() const { return child<QLineEdit>(u"ZoomEdit"_s)->text(); }
    int pages() const { return m_recording.pageCount(); }
    void trigger(const char *action) const { child<QAction>(QString::fromLatin1(action))->trigger(); }
    // Types into an edit as a user does, ending with Enter.
    void type(const QString &edit, const QString &text) const
    {
        auto *line = child<QLineEdit>(edit);
        line->setFocus();
        line->selectAll();
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Return);
    }
    QString pdf(const QString &name) const
    {
        const QString path = m_dir.filePath(name);
        DialogService::queueResult(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        TestSupport::installMessageFilter();
        ReportFonts::installSubstitutes();
        InstalledPrinters::setForTesting(QList<InstalledPrinters::Printer>{});
        const QString path = m_dir.filePath(u"BOOKS.DBF"_s);
        CatalogTable::create(path);
        {
            DbfTable writer;
            writer.open(path);
            BookGenerator().appendTo(writer, 400, false);
        }
        m_table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0})});
        record(BuiltInReports::all()[0], m_table, settings(), m_recording);
        QVERIFY(pages() > 10);
        MessageService::startRecording();
        DialogService::startRecording();
    }

    void cleanupTestCase()
    {
        MessageService::stopRecording();
        DialogService::stopRecording();
        InstalledPrinters::setForTesting(std::nullopt);
    }

    void init()
    {
        MessageService::clearShown();
        m_settings.reportWindowLeft = 30;
        m_settings.reportWindowTop = 40;
        m_settings.reportWindowWidth = 760;
        m_settings.reportWindowHeight = 560;
    }

    void cleanup() { m_preview.reset(); }

    void opensWhereItWasClosed()
    {
        open();
        QCOMPARE(m_preview->windowTitle(), u"Short Narrow Report"_s);
        QCOMPARE(QRect(m_preview->pos(), m_preview->size()), QRect(30, 40, 760, 560));
        QCOMPARE(pageLabel(), u"Page 1 of %1"_s.arg(pages()));
        QCOMPARE(zoomText(), u"100.0"_s);
        m_preview->move(50, 60);
        m_preview->resize(800, 600);
        child(u"SBDone"_s)->click();
        QVERIFY(!m_preview->isVisible());
        QCOMPARE(QRect(m_settings.reportWindowLeft, m_settings.reportWindowTop, m_settings.reportWindowWidth,
                       m_settings.reportWindowHeight),
                 QRect(50, 60, 800, 600));

        // A place off the screen is brought back onto it.
        m_settings.reportWindowLeft = 5000;
        m_settings.reportWindowTop = -300;
        open();
        QVERIFY(m_preview->screen()->availableGeometry().contains(QRect(m_preview->pos(), m_preview->size())));
        QCOMPARE(m_preview->size(), QSize(800, 600));

        // The first size of all, that of a screen of 640 x 480, is not
        // widened by the tool bar.
        child(u"SBDone"_s)->click();
        m_settings.reportWindowWidth = 640;
        m_settings.reportWindowHeight = 480;
        open();
        QTest::keyClick(preview(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(m_preview->size(), QSize(640, 480));
        QVERIFY(m_preview->minimumSizeHint().width() <= 640);
    }

    void pagesTurn()
    {
        open();
        child(u"SBNextPage"_s)->click();
        child(u"SBNextPage"_s)->click();
        QCOMPARE(preview()->currentPage(), 3);
        QCOMPARE(pageLabel(), u"Page 3 of %1"_s.arg(pages()));
        QCOMPARE(child<QLineEdit>(u"PageEdit"_s)->text(), u"3"_s);
        child(u"SBPrevPage"_s)->click();
        QCOMPARE(preview()->currentPage(), 2);
        QTest::keyClick(preview(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(preview()->currentPage(), pages());
        QTest::keyClick(preview(), Qt::Key_N, Qt::ControlModifier); // not past the last
        QCOMPARE(pageLabel(), u"Page %1 of %1"_s.arg(pages()));
        QTest::keyClick(preview(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(preview()->currentPage(), pages() - 1);
        QTest::keyClick(preview(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(preview()->currentPage(), 1);
        QTest::keyClick(preview(), Qt::Key_E, Qt::ControlModifier); // not before the first
        QCOMPARE(preview()->currentPage(), 1);
    }

    void pageEdit()
    {
        open();
        type(u"PageEdit"_s, u"7"_s);
        QCOMPARE(preview()->currentPage(), 7);
        QCOMPARE(pageLabel(), u"Page 7 of %1"_s.arg(pages()));
        type(u"PageEdit"_s, u"x"_s);
        QCOMPARE(preview()->currentPage(), 7);
        QCOMPARE(child<QLineEdit>(u"PageEdit"_s)->text(), u"7"_s);
        type(u"PageEdit"_s, u"9999"_s);
        QCOMPARE(preview()->currentPage(), pages());
        QCOMPARE(child<QLineEdit>(u"PageEdit"_s)->text(), QString::number(pages()));
        // Leaving the edit reads it too.
        auto *edit = child<QLineEdit>(u"PageEdit"_s);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, u"2"_s);
        child<QLineEdit>(u"ZoomEdit"_s)->setFocus();
        QCOMPARE(preview()->currentPage(), 2);
    }

    void zoomMenu_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("zoom");
        QTest::newRow("2 : 1") << u"MenuZoomIn2to1"_s << u"200.0"_s;
        QTest::newRow("1 : 1 under Zoom In") << u"MenuZoomIn1to1"_s << u"100.0"_s;
        QTest::newRow("1 : 1 under Zoom Out") << u"MenuZoomOut1to1"_s << u"100.0"_s;
        QTest::newRow("1 : 2") << u"MenuZoomOut1to2"_s << u"50.0"_s;
        QTest::newRow("1 : 3") << u"MenuZoomOut1to3"_s << u"33.3"_s;
        QTest::newRow("1 : 4") << u"MenuZoomOut1to4"_s << u"25.0"_s;
        QTest::newRow("1 : 5") << u"MenuZoomOut1to5"_s << u"20.0"_s;
    }

    void zoomMenu()
    {
        QFETCH(QString, action);
        QFETCH(QString, zoom);
        open();
        child<QAction>(u"MenuZoomIn2to1"_s)->trigger();
        child<QAction>(u"MenuZoomOut1to5"_s)->trigger();
        child<QAction>(action)->trigger();
        QCOMPARE(zoomText(), zoom);
        QCOMPARE(preview()->zoomFactor(), zoom.toDouble());
    }

    void zoomSteps()
    {
        open();
        child(u"SBZoomIn"_s)->click();
        QCOMPARE(zoomText(), u"125.0"_s);
        QTest::keyClick(preview(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(zoomText(), u"150.0"_s);
        child(u"SBZoomOut"_s)->click();
        QTest::keyClick(preview(), Qt::Key_O, Qt::ControlModifier);
        child(u"SBZoomOut"_s)->click();
        QCOMPARE(zoomText(), u"75.0"_s);
        for (int i = 0; i < 20; ++i)
            child(u"SBZoomOut"_s)->click();
        QCOMPARE(preview()->zoomFactor(), TFilePreview::MinZoom);
        for (int i = 0; i < 20; ++i)
            child(u"SBZoomIn"_s)->click();
        QCOMPARE(preview()->zoomFactor(), TFilePreview::MaxZoom);
    }

    // Page width fills the window's width with the page and its margins;
    // whole page shows all of it.
    void zoomToTheWindow()
    {
        open();
        const QSizeF paper = m_recording.paperSize() * preview()->logicalDpiX();
        const QWidget *view = preview()->viewport();
        child(u"SBZoomPageWidth"_s)->click();
        QCoreApplication::processEvents(); // the scroll bars come and go afterwards
        const double across = paper.width() * (1 + 2 * TFilePreview::PageMargin) * preview()->zoomFactor() / 100;
        QVERIFY2(across <= view->width() && across > view->width() - 1,
                 qPrintable(u"%1 in %2"_s.arg(across).arg(view->width())));
        QVERIFY(!preview()->horizontalScrollBar()->isVisible());
        QVERIFY(preview()->verticalScrollBar()->isVisible());

        QTest::keyClick(preview(), Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::processEvents();
        const QSizeF area = paper * (1 + 2 * TFilePreview::PageMargin) * preview()->zoomFactor() / 100;
        QVERIFY(area.width() <= view->width() && area.height() <= view->height());
        QVERIFY(area.width() > view->width() - 1 || area.height() > view->height() - 1);
        QVERIFY(!preview()->horizontalScrollBar()->isVisible());
        QVERIFY(!preview()->verticalScrollBar()->isVisible());
        QCOMPARE(zoomText(), QString::number(preview()->zoomFactor(), 'f', 1));
    }

    void zoomEdit()
    {
        open();
        type(u"ZoomEdit"_s, u"150"_s);
        QCOMPARE(preview()->zoomFactor(), 150.0);
        QCOMPARE(zoomText(), u"150.0"_s);
        type(u"ZoomEdit"_s, u"abc"_s);
        QCOMPARE(preview()->zoomFactor(), 150.0);
        QCOMPARE(zoomText(), u"150.0"_s);
        type(u"ZoomEdit"_s, u"62.5"_s);
        QCOMPARE(zoomText(), u"62.5"_s);
        type(u"ZoomEdit"_s, u"2"_s);
        QCOMPARE(zoomText(), u"10.0"_s);
    }

    // Use Color is checked while the preview shows colours.
    void useColor()
    {
        open();
        auto *useColor = child<QAction>(u"MenuUseColor"_s);
        QVERIFY(useColor->isChecked());
        QVERIFY(!preview()->monochrome());
        QTest::keyClick(preview(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(preview()->monochrome());
        QVERIFY(!useColor->isChecked());
        useColor->trigger();
        QVERIFY(!preview()->monochrome());
        QVERIFY(useColor->isChecked());
    }

    void printing()
    {
        open();
        preview()->goToPage(4);
        const QString page = pdf(u"page.pdf"_s);
        child(u"SBPrint"_s)->click();
        QCOMPARE(DialogService::requests().last(), u"No Printer Installed: Save the Report As a PDF File"_s);
        QCOMPARE(pdfPages(page), 1);

        const QString all = pdf(u"all.pdf"_s);
        QTest::keyClick(preview(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(pdfPages(all), pages());

        const QString saved = pdf(u"saved.pdf"_s);
        child(u"SBSavePdf"_s)->click();
        QCOMPARE(DialogService::requests().last(), u"Save the Report As a PDF File"_s);
        QCOMPARE(pdfPages(saved), pages());
        QCOMPARE(TestSupport::readAll(saved).size(), TestSupport::readAll(all).size());
        QVERIFY(MessageService::shown().isEmpty());
    }

    void printRange_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("focus");
        const QString start = u"Invalid Starting Page specified. Please correct."_s;
        const QString end = u"Invalid Ending Page specified.  Please correct."_s;
        QTest::newRow("start 0") << u"0"_s << u"3"_s << start << u"StartPage"_s;
        QTest::newRow("start text") << u"ab"_s << u"3"_s << start << u"StartPage"_s;
        QTest::newRow("start beyond") << u"999"_s << u"999"_s << start << u"StartPage"_s;
        QTest::newRow("end before start") << u"3"_s << u"2"_s << end << u"EndPage"_s;
        QTest::newRow("end beyond") << u"3"_s << u"999"_s << end << u"EndPage"_s;
        QTest::newRow("end text") << u"3"_s << u"x"_s << end << u"EndPage"_s;
    }

    // Each refusal keeps the window open on the edit to correct; then the
    // offered range, 1 to the page count, prints everything.
    void printRange()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, refusal);
        QFETCH(QString, focus);
        open();
        const QString all = m_dir.filePath(u"range.pdf"_s);
        QFile::remove(all);
        QString title, offeredStart, offeredEnd, focused;
        bool stayed = false;
        TestSupport::whenModal([&] {
            QWidget *range = QApplication::activeModalWidget();
            QVERIFY(TestSupport::activate(range));
            title = range->windowTitle();
            auto *startPage = TestSupport::modalControl<QLineEdit>("StartPage");
            auto *endPage = TestSupport::modalControl<QLineEdit>("EndPage");
            offeredStart = startPage->text();
            offeredEnd = endPage->text();
            for (auto [edit, text] : {std::pair{startPage, start}, {endPage, end}}) {
                edit->setFocus();
                edit->selectAll();
                QTest::keyClicks(edit, text);
            }
            TestSupport::modalControl<QAbstractButton>("PrintButton")->click();
            stayed = range->isVisible();
            // The control the window gives the focus to (the X focus itself
            // may lag behind the window on a screen without a window manager).
            focused = range->focusWidget() ? range->focusWidget()->objectName() : QString();
            for (auto [edit, text] : {std::pair{startPage, u"1"_s}, {endPage, offeredEnd}}) {
                edit->selectAll();
                QTest::keyClicks(edit, text);
            }
            DialogService::queueResult(all);
            TestSupport::modalControl<QAbstractButton>("PrintButton")->click();
        });
        QTest::keyClick(preview(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(title, u"Page Printing"_s);
        QCOMPARE(offeredStart, u"1"_s);
        QCOMPARE(offeredEnd, QString::number(pages()));
        QVERIFY(stayed);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().caption, u"Error"_s);
        QCOMPARE(MessageService::shown().first().text, refusal);
        QCOMPARE(focused, focus);
        QCOMPARE(pdfPages(all), pages());
    }

    void printRangeOfSomePagesOrNone()
    {
        open();
        const QString some = m_dir.filePath(u"some.pdf"_s);
        TestSupport::whenModal([&] {
            auto *startPage = TestSupport::modalControl<QLineEdit>("StartPage");
            auto *endPage = TestSupport::modalControl<QLineEdit>("EndPage");
            startPage->setText(u"3"_s);
            endPage->setText(u"5"_s);
            DialogService::queueResult(some);
            TestSupport::modalControl<QAbstractButton>("PrintButton")->click();
        });
        trigger("MenuPrintRange");
        QCOMPARE(pdfPages(some), 3);

        const int asked = int(DialogService::requests().size());
        TestSupport::whenModal([] { TestSupport::modalControl<QAbstractButton>("CancelButton")->click(); });
        trigger("MenuPrintRange");
        QCOMPARE(DialogService::requests().size(), asked);
    }

    // While a print runs the window takes clicks: printing again is refused,
    // and closing waits for the print to end.
    void busyPrinterRefusesAnotherPrint()
    {
        open();
        const QString all = pdf(u"busy.pdf"_s);
        QTimer::singleShot(0, this, [this] {
            child(u"SBPrint"_s)->click();
            child(u"SBDone"_s)->click();
        });
        trigger("MenuPrintReport");
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().text, Busy);
        QVERIFY(m_preview->isVisible());
        QCOMPARE(pdfPages(all), pages());
        child(u"SBDone"_s)->click();
        QVERIFY(!m_preview->isVisible());
    }

    void rangeRules_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("refused");
        QTest::newRow("whole report") << u"1"_s << u"12"_s << int(PrintRange::Refusal::None);
        QTest::newRow("one page") << u" 12"_s << u"12 "_s << int(PrintRange::Refusal::None);
        QTest::newRow("start 0") << u"0"_s << u"5"_s << int(PrintRange::Refusal::Start);
        QTest::newRow("start negative") << u"-1"_s << u"5"_s << int(PrintRange::Refusal::Start);
        QTest::newRow("start empty") << QString() << u"5"_s << int(PrintRange::Refusal::Start);
        QTest::newRow("start beyond") << u"13"_s << u"13"_s << int(PrintRange::Refusal::Start);
        QTest::newRow("end before start") << u"5"_s << u"4"_s << int(PrintRange::Refusal::End);
        QTest::newRow("end beyond") << u"5"_s << u"13"_s << int(PrintRange::Refusal::End);
        QTest::newRow("end decimal") << u"5"_s << u"6.5"_s << int(PrintRange::Refusal::End);
    }

    void rangeRules()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, refused);
        const PrintRange range = PrintRange::read(start, end, 12);
        QCOMPARE(int(range.refused), refused);
        if (refused == int(PrintRange::Refusal::None)) {
            QCOMPARE(range.first, start.trimmed().toInt());
            QCOMPARE(range.last, end.trimmed().toInt());
        }
    }
};

SHELFMARK_TEST(TestReportPreview)
#include "TestReportPreview.moc"
