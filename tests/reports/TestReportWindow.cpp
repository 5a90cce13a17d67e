#include "ReportFixture.h"
#include "ReportWindowFixture.h"

#include "framework/report/InstalledPrinters.h"
#include "framework/report/TFilePreview.h"
#include "framework/ui/WinColor.h"
#include "reports/BuiltInReports.h"
#include "reports/TMyPreview.h"
#include "reports/TPrintSelect.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString NoSelection = u"No Report has been selected.  Please choose one."_s;

QStringList builtInNames()
{
    QStringList names;
    for (const ReportDefinition &d : BuiltInReports::all())
        names << d.name;
    return names;
}

// The lines of a report text file that hold a book of the Short Narrow Report:
// its authors, at the end of the line.
QStringList authorsPrinted(const QString &path)
{
    QStringList authors;
    const QStringList lines = QString::fromUtf8(TestSupport::readAll(path)).split(u"\r\n"_s);
    for (const QString &line : lines) {
        if (line.startsWith(u"Book "_s))
            authors << line.mid(64).trimmed();
    }
    return authors;
}

} // namespace

// The report window: the list and its choices, the refusals, runs in the three
// modes with the search ended or kept, printing without a printer, and the
// printer selection.
class TestReportWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::installMessageFilter();
        // The machine's printers play no part: most tests print to PDF files.
        InstalledPrinters::setForTesting(QList<InstalledPrinters::Printer>{});
    }
    void cleanupTestCase() { InstalledPrinters::setForTesting(std::nullopt); }

    void reportsCommandShowsTheWindow()
    {
        ReportSession s;
        s.main->catalog().settings().lastReport = 3;
        QString caption;
        QStringList listed;
        QString sortOrder;
        int selected = -2;
        bool entireChecked = false;
        bool searchEnabled = true;
        TestSupport::whenModal([&] {
            QWidget *window = QApplication::activeModalWidget();
            caption = window->windowTitle();
            for (int i = 0; i < s.list()->count(); ++i)
                listed << s.list()->item(i)->text();
            selected = s.list()->currentRow();
            sortOrder = s.child<QLabel>(u"SortOrderLabel"_s)->text();
            entireChecked = s.child<QRadioButton>(u"ExportEntire"_s)->isChecked();
            searchEnabled = s.child<QRadioButton>(u"ExportSearch"_s)->isEnabled();
            s.select(5);
            s.click(u"ExitButton"_s);
        });
        s.main->findChild<QAction *>(u"MenuReports"_s)->trigger();
        QCOMPARE(caption, u"Reports"_s);
        QCOMPARE(listed, builtInNames());
        QCOMPARE(selected, 3);
        QCOMPARE(sortOrder, u"Author"_s);
        QVERIFY(entireChecked);
        QVERIFY(!searchEnabled);
        QCOMPARE(s.main->catalog().settings().lastReport, 5);
    }

    // The report colour set: headings, the list and the radio buttons in
    // their slots, the choice that cannot be made faded into its background,
    // the menu titles on the window's colour.
    void windowTakesTheReportColors()
    {
        ReportSession s;
        ColorSet &set = s.main->catalog().settings().reportColors;
        for (std::size_t slot = 0; slot < set.size(); ++slot)
            set[slot] = int(0x0a0b0c * (slot + 1));
        set[9] = 0x000000;
        set[10] = 0xffffff;
        s.show();
        const auto color = [](QWidget *control, QPalette::ColorRole role) { return control->palette().color(role); };
        QCOMPARE(color(s.child<QLabel>(u"WhatLabel"_s), QPalette::WindowText), WinColor::toQColor(set[1]));
        QCOMPARE(color(s.child<QLabel>(u"SortLabel"_s), QPalette::WindowText), WinColor::toQColor(set[2]));
        QCOMPARE(color(s.list(), QPalette::Base), WinColor::toQColor(set[7]));
        QCOMPARE(color(s.list(), QPalette::Text), WinColor::toQColor(set[8]));
        auto *entire = s.child<QRadioButton>(u"ExportEntire"_s);
        auto *search = s.child<QRadioButton>(u"ExportSearch"_s);
        QCOMPARE(color(entire, QPalette::WindowText), QColor(Qt::white));
        QVERIFY(!search->isEnabled());
        QCOMPARE(color(search, QPalette::WindowText), QColor(127, 127, 127));
        QCOMPARE(color(search, QPalette::Window), QColor(Qt::black));

        auto *bar = s.report->findChild<QMenuBar *>();
        QCOMPARE(color(bar, QPalette::Window), WinColor::toQColor(set[0]));
        QCOMPARE(color(bar, QPalette::ButtonText), WinColor::toQColor(set[2]));
    }

    void sortOrderShowsTheLevelsByDisplayName()
    {
        ReportSession s;
        Settings &settings = s.main->catalog().settings();
        settings.sortLevels = {2, 0, 4, 1};
        settings.displayNames[0] = u"Book Title"_s;
        s.show();
        QCOMPARE(s.child<QLabel>(u"SortOrderLabel"_s)->text(), u"Author, Publisher, Book Title"_s);
        s.report->reject();
        settings.sortLevels = {0, 0, 0, 0};
        s.show();
        QCOMPARE(s.child<QLabel>(u"SortOrderLabel"_s)->text(), u"No Sort Order Selected"_s);
    }

    void lastReportBeyondTheListSelectsNothing()
    {
        ReportSession s;
        s.main->catalog().settings().lastReport = 8;
        s.show();
        QCOMPARE(s.list()->count(), 8);
        QVERIFY(s.list()->selectedItems().isEmpty());
        s.report->reject();
        QCOMPARE(s.main->catalog().settings().lastReport, -1);
    }

    // The list is read when the program starts and again when Restore
    // brings back another definitions file.
    void restoredDefinitionsReachTheList()
    {
        ReportSession s;
        const QString backup = s.f.path(u"stick/SHMKLIB.URP"_s);
        QDir().mkpath(s.f.path(u"stick"_s));
        const ReportDefinitionsFile restored(QFileInfo(backup).path());
        QVERIFY(restored.createDefaults());
        restored.remove(1);
        restored.remove(0);
        TestSupport::whenModal([&] {
            DialogService::queueResult(backup);
            TestSupport::modalControl<QAbstractButton>("RestoreURP")->click();
            TestSupport::modalControl<QAbstractButton>("StartButton")->click();
            QApplication::activeModalWidget()->close();
        });
        s.main->findChild<QAction *>(u"MenuRestore"_s)->trigger();
        QCOMPARE(s.lastMessage(), u"Restore completed successfully."_s);
        s.main->catalog().settings().lastReport = 0;
        s.show();
        QCOMPARE(s.list()->count(), 6);
        QCOMPARE(s.list()->selectedItems().first()->text(), builtInNames().at(2));
    }

    void noSelectionIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("withFile");
        QTest::newRow("View") << u"ViewButton"_s << true;
        QTest::newRow("Print") << u"PrintButton"_s << true;
        QTest::newRow("Print To File") << u"FileButton"_s << true;
        QTest::newRow("Modify Report") << u"ModifyButton"_s << true;
        QTest::newRow("View without a report file") << u"ViewButton"_s << false;
    }

    void noSelectionIsRefused()
    {
        QFETCH(QString, command);
        QFETCH(bool, withFile);
        ReportSession s;
        if (!withFile) {
            QFile::remove(s.urp());
            s.report->LoadReportBox(0);
        }
        s.main->catalog().settings().lastReport = -1;
        s.show();
        QCOMPARE(s.list()->count(), withFile ? 8 : 0);
        s.child<QPushButton>(u"ExitButton"_s)->setFocus();
        s.click(command);
        QCOMPARE(MessageService::shown().size(), 1);
        const MessageService::Shown &shown = MessageService::shown().first();
        QCOMPARE(shown.caption, u"Error"_s);
        QCOMPARE(shown.text, NoSelection);
        QCOMPARE(shown.icon, MessageService::Icon::Warning);
        QVERIFY(DialogService::requests().isEmpty());
        QCOMPARE(QApplication::focusWidget(), s.list());
        QVERIFY(s.report->isVisible());
    }

    // The list was read, then the file went away: the run cannot load the report.
    void reportFormatNotLocated()
    {
        ReportSession s;
        s.show();
        s.select(1);
        QFile::remove(s.urp());
        s.click(u"ViewButton"_s);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().caption, u"Error"_s);
        QCOMPARE(MessageService::shown().first().text, u"Report format could not be located."_s);
        QCOMPARE(MessageService::shown().first().icon, MessageService::Icon::Warning);
        QCOMPARE(QApplication::focusWidget(), s.list());
    }

    void runDuringASearch_data()
    {
        QTest::addColumn<bool>("entire");
        QTest::addColumn<QStringList>("authors");
        QTest::newRow("entire database") << true << QStringList{u"Austen"_s, u"Mann"_s, u"Musil"_s};
        QTest::newRow("search criteria") << false << QStringList{u"Mann"_s, u"Musil"_s};
    }

    // Print To File of the Short Narrow Report: the whole database with the
    // search ended for the run, or the search's books; the search is in effect
    // afterwards either way.
    void runDuringASearch()
    {
        QFETCH(bool, entire);
        QFETCH(QStringList, authors);
        ReportSession s({u"Austen"_s, u"Mann"_s, u"Musil"_s}, true);
        s.show();
        QVERIFY(s.child<QRadioButton>(u"ExportSearch"_s)->isEnabled());
        QVERIFY(s.child<QRadioButton>(u"ExportSearch"_s)->isChecked());
        if (entire)
            s.click(u"ExportEntire"_s);
        s.select(0);
        const QString path = s.f.path(u"narrow.txt"_s);
        DialogService::queueResult(path);
        bool searchOnDuringRun = true;
        s.whenUp(u"ReportForm"_s, [&](QWidget *) { searchOnDuringRun = s.main->catalog().searchOn(); });
        s.closeStatusWhenDone();
        s.click(u"FileButton"_s);
        QCOMPARE(DialogService::requests().last(), u"Save Report As a Text File"_s);
        QCOMPARE(authorsPrinted(path), authors);
        QCOMPARE(searchOnDuringRun, !entire);
        QVERIFY(s.main->catalog().searchOn());
        QCOMPARE(s.f.countText(), u"2"_s);
        QCOMPARE(s.main->catalog().table().recordCount(), 2);
        QVERIFY(MessageService::shown().isEmpty());
    }

    void cancelledFileDialogRunsNothing()
    {
        ReportSession s;
        s.show();
        s.select(0);
        bool statusShown = false;
        s.whenUp(u"ReportForm"_s, [&](QWidget *window) {
            statusShown = true;
            window->close();
        });
        s.click(u"FileButton"_s);
        QTest::qWait(50);
        QVERIFY(!statusShown);
    }

    // View shows the recorded report; the preview's place is remembered.
    void viewOpensThePreview()
    {
        ReportSession s;
        Settings &settings = s.main->catalog().settings();
        settings.reportWindowLeft = 20;
        settings.reportWindowTop = 30;
        s.show();
        s.select(6);
        QString caption;
        QString pageLabel;
        s.closeStatusWhenDone();
        s.whenUp(u"MyPreview"_s, [&](QWidget *window) {
            caption = window->windowTitle();
            pageLabel = window->findChild<QLabel *>(u"PageLabel"_s)->text();
            window->resize(700, 520);
            window->findChild<QAbstractButton *>(u"SBDone"_s)->click();
        });
        s.click(u"ViewButton"_s);
        QCOMPARE(caption, u"Value Report"_s);
        QCOMPARE(pageLabel, u"Page 1 of 1"_s);
        QCOMPARE(settings.reportWindowLeft, 20);
        QCOMPARE(settings.reportWindowTop, 30);
        QCOMPARE(settings.reportWindowWidth, 700);
        QCOMPARE(settings.reportWindowHeight, 520);
        QCOMPARE(s.report->currentReport().name, u"Value Report"_s);
    }

    void cancelledRunShowsNoPreview()
    {
        ReportSession s(QStringList(3000, u"Mann"_s));
        s.show();
        s.select(3);
        bool previewShown = false;
        s.closeStatusWhenDone(true);
        s.whenUp(u"MyPreview"_s, [&](QWidget *window) {
            previewShown = true;
            window->close();
        });
        s.click(u"ViewButton"_s);
        QTest::qWait(50);
        QVERIFY(!previewShown);
        QVERIFY(s.report->isVisible());
    }

    // With no printer installed, Print offers a PDF file: the same pages as
    // the preview shows.
    void printWithoutAPrinterWritesAPdf()
    {
        ReportSession s(QStringList(120, u"Mann"_s));
        s.show();
        s.select(0);
        int viewed = 0;
        s.closeStatusWhenDone();
        s.whenUp(u"MyPreview"_s, [&](QWidget *window) {
            viewed = static_cast<TMyPreview *>(window)->preview()->pageCount();
            window->close();
        });
        s.click(u"ViewButton"_s);
        QVERIFY(viewed > 1);

        const QString pdf = s.f.path(u"narrow.pdf"_s);
        DialogService::queueResult(pdf);
        s.closeStatusWhenDone();
        s.click(u"PrintButton"_s);
        QCOMPARE(DialogService::requests().last(), u"No Printer Installed: Save the Report As a PDF File"_s);
        QCOMPARE(ReportFixture::pdfPages(pdf), viewed);

        // Declining the file prints nothing.
        QFile::remove(pdf);
        s.click(u"PrintButton"_s);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(MessageService::shown().isEmpty());
    }

    void menuItemsDoWhatTheButtonsDo()
    {
        ReportSession s;
        s.main->catalog().settings().lastReport = -1;
        s.show();
        const QList<QAction *> actions = s.report->findChildren<QAction *>();
        QStringList shortcuts;
        for (const char *name :
             {"MenuView", "MenuPrint", "MenuPrintToFile", "MenuPrinterSetup", "MenuExit", "MenuModify", "MenuNew"})
            shortcuts << s.report->findChild<QAction *>(QString::fromLatin1(name))->shortcut().toString();
        QCOMPARE(shortcuts, QStringList({u"Ctrl+V"_s, u"Ctrl+P"_s, u"Ctrl+F"_s, u"Ctrl+S"_s, u"Ctrl+X"_s, u"Ctrl+M"_s,
                                         u"Ctrl+N"_s}));
        QTest::keyClick(s.list(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(s.lastMessage(), NoSelection);
        bool selectionShown = false;
        TestSupport::whenModal([&] { selectionShown = QApplication::activeModalWidget() == s.report->printSelect(); });
        QTest::keyClick(s.list(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(selectionShown);
        // The window manager gives the window back its keys when the selection closes.
        s.report->activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == s.report; }));
        QTest::keyClick(s.list(), Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!s.report->isVisible());
    }

    // Printer Selection offers the installed printers; an index beyond them
    // selects none, and Ok then stores -1.
    void printerSelection()
    {
        ReportSession s;
        const auto restore = qScopeGuard([] { InstalledPrinters::setForTesting(QList<InstalledPrinters::Printer>{}); });
        InstalledPrinters::setForTesting(QList<InstalledPrinters::Printer>{
            {u"Office"_s, QPageSize(QPageSize::A4), true}, {u"Label Writer"_s, QPageSize(QPageSize::A6), false}});
        Settings &settings = s.main->catalog().settings();
        settings.defaultPrinter = false;
        settings.printerIndex = 2;
        TPrintSelect *select = s.report->printSelect();
        QStringList offered;
        int shownIndex = -2;
        TestSupport::whenModal([&] {
            QCOMPARE(select->windowTitle(), u"Printer Selection"_s);
            auto *list = select->findChild<QComboBox *>(u"PrinterList"_s);
            for (int i = 0; i < list->count(); ++i)
                offered << list->itemText(i);
            shownIndex = list->currentIndex();
            QVERIFY(select->findChild<QRadioButton *>(u"OtherPrinter"_s)->isChecked());
            select->findChild<QAbstractButton *>(u"OkButton"_s)->click();
        });
        select->exec();
        QCOMPARE(offered, QStringList({u"Office"_s, u"Label Writer"_s}));
        QCOMPARE(shownIndex, -1);
        QCOMPARE(settings.printerIndex, -1);
        QVERIFY(!settings.defaultPrinter);

        settings.printerIndex = 1;
        TestSupport::whenModal([&] {
            auto *list = select->findChild<QComboBox *>(u"PrinterList"_s);
            QCOMPARE(list->currentIndex(), 1);
            list->setCurrentIndex(0);
            select->findChild<QAbstractButton *>(u"DefaultPrinter"_s)->click();
            select->findChild<QAbstractButton *>(u"CancelButton"_s)->click();
        });
        select->exec();
        QCOMPARE(settings.printerIndex, 1);
        QVERIFY(!settings.defaultPrinter);

        TestSupport::whenModal([&] {
            select->findChild<QComboBox *>(u"PrinterList"_s)->setCurrentIndex(0);
            select->findChild<QAbstractButton *>(u"DefaultPrinter"_s)->click();
            select->findChild<QAbstractButton *>(u"OkButton"_s)->click();
        });
        select->exec();
        QCOMPARE(settings.printerIndex, 0);
        QVERIFY(settings.defaultPrinter);
    }
};

SHELFMARK_TEST(TestReportWindow)
#include "TestReportWindow.moc"
