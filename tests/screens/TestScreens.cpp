#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/WindowLook.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WindowStyle.h"
#include "reports/BuiltInReports.h"
#include "reports/TMyReport.h"
#include "reports/TRepLayout.h"
#include "reports/TReportPart.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

namespace {

// The screen size setting that matches the screen the test runs on: this
// program is run once on a screen of each size the program offers.
int windowSizeOfScreen()
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    for (int size : {1280, 1024, 800}) {
        if (WindowLook::screenFits(size, screen))
            return size;
    }
    return 640;
}

bool insideScrollArea(const QWidget *widget, const QWidget *window)
{
    for (const QWidget *w = widget->parentWidget(); w && w != window; w = w->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea *>(w))
            return true;
    }
    return false;
}

// What is wrong with a window as shown: outside the screen's available area,
// or a visible control reaching outside the window.
QStringList placementFaults(QWidget *window)
{
    QStringList faults;
    const QRect screen = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (!screen.contains(frame))
        faults << QStringLiteral("%1 at %2,%3 %4x%5 leaves the screen %6x%7")
                      .arg(window->objectName())
                      .arg(frame.x())
                      .arg(frame.y())
                      .arg(frame.width())
                      .arg(frame.height())
                      .arg(screen.width())
                      .arg(screen.height());
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (!child->isVisibleTo(window) || child->isWindow() || insideScrollArea(child, window))
            continue;
        const QRect where(child->mapTo(window, QPoint(0, 0)), child->size());
        if (!window->rect().contains(where))
            faults << QStringLiteral("%1 (%2) at %3,%4 %5x%6 outside %7x%8")
                          .arg(child->objectName(), QString::fromLatin1(child->metaObject()->className()))
                          .arg(where.x())
                          .arg(where.y())
                          .arg(where.width())
                          .arg(where.height())
                          .arg(window->width())
                          .arg(window->height());
    }
    return faults;
}

// Pictures of the windows as shown, for a look by eye, when asked for.
void saveToGallery(QWidget *window, const QString &name)
{
    const QString gallery = qEnvironmentVariable("SHELFMARK_GALLERY");
    if (!gallery.isEmpty())
        window->grab().save(QDir(gallery).filePath(name + QStringLiteral(".png")));
}

} // namespace

// Every window of the program fits the screen it is shown on, at the screen
// size the user chose for that screen, and the main window's controls never
// cover each other.
class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void dialogsFitTheScreen_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<std::function<void(TMain &)>>("open");
        QTest::newRow("record editor") << "MyEdit" << std::function<void(TMain &)>(&TMain::MenuAddClick);
        QTest::newRow("search") << "MySearch" << std::function<void(TMain &)>(&TMain::MenuSearchClick);
        QTest::newRow("locate") << "MyLocateDlg" << std::function<void(TMain &)>(&TMain::MenuFindClick);
        QTest::newRow("sort order") << "MySortOrder" << std::function<void(TMain &)>(&TMain::MenuSortOrderClick);
        QTest::newRow("search and replace")
            << "SearchAndReplace" << std::function<void(TMain &)>(&TMain::MenuSearchReplaceClick);
        QTest::newRow("import format") << "ImportFormat" << std::function<void(TMain &)>(&TMain::MenuImportClick);
        QTest::newRow("export") << "MyExport" << std::function<void(TMain &)>(&TMain::MenuExportClick);
        QTest::newRow("viewer configuration") << "ViewConfig" << std::function<void(TMain &)>(&TMain::MenuViewerClick);
        QTest::newRow("colour configuration")
            << "ColorConfig" << std::function<void(TMain &)>([](TMain &main) { main.openColorConfig(1); });
        QTest::newRow("list editor") << "MyEditBox"
                                     << std::function<void(TMain &)>([](TMain &main) { main.EditAList(1); });
        QTest::newRow("tip of the day") << "TipOfDay" << std::function<void(TMain &)>(&TMain::MenuTipsClick);
        QTest::newRow("about") << "AboutBox" << std::function<void(TMain &)>(&TMain::MenuAboutClick);
        QTest::newRow("reports") << "MyReport" << std::function<void(TMain &)>(&TMain::MenuReportsClick);
        QTest::newRow("printer selection")
            << "PrintSelect"
            << std::function<void(TMain &)>([](TMain &main) { main.reportWindow()->MenuPrinterSetupClick(); });
        QTest::newRow("report designer") << "UserReport" << std::function<void(TMain &)>([](TMain &main) {
            main.reportWindow()->NewButtonClick();
        });
        // The layout of a report of twelve lines, and a cell of its last.
        QTest::newRow("report layout") << "RepLayout" << std::function<void(TMain &)>([](TMain &main) {
            ReportDefinition report = BuiltInReports::newReport();
            report.numLines = ReportDefinition::LineCount;
            TRepLayout(report, report.name, 150, true, main.catalog().settings(), main.look(), &main).exec();
        });
        QTest::newRow("report part") << "ReportPart" << std::function<void(TMain &)>([](TMain &main) {
            const ReportDefinition report = BuiltInReports::newReport();
            TReportPart(report.bodyLines.back(), ReportDefinition::LineCount, 1, 150, main.catalog().settings(),
                        main.look(), &main)
                .exec();
        });
    }

    void dialogsFitTheScreen()
    {
        QFETCH(QString, window);
        QFETCH(std::function<void(TMain &)>, open);
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        const int size = windowSizeOfScreen();
        f.writeGlobalSettings("[Misc]\r\nWindow Size=" + QByteArray::number(size) +
                              "\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        QCOMPARE(WindowLook::windowSizeFor(main.look().scaleFactor()), size);
        if (window == QLatin1String("MyEdit")) {
            main.show();
            if (QTest::qWaitForWindowExposed(&main))
                saveToGallery(&main, QStringLiteral("%1-Main").arg(size));
        }
        QStringList faults;
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            shown = dialog->objectName();
            if (!QTest::qWaitForWindowExposed(dialog))
                faults << QStringLiteral("not shown");
            faults = placementFaults(dialog);
            saveToGallery(dialog, QStringLiteral("%1-%2").arg(windowSizeOfScreen()).arg(shown));
            if (auto *modal = qobject_cast<QDialog *>(dialog))
                modal->done(QDialog::Rejected);
            else
                dialog->close();
        });
        open(main);
        QCOMPARE(shown, window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void mainWindowComesBackOnTheScreen_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("off to the right and below") << QByteArray("Main Window Left=5000\r\nMain Window Top=4000\r\n");
        QTest::newRow("off to the left and above") << QByteArray("Main Window Left=-3000\r\nMain Window Top=-900\r\n");
        QTest::newRow("no size") << QByteArray("Main Window Width=0\r\nMain Window Height=0\r\n");
        QTest::newRow("garbage") << QByteArray(
            "Main Window Left=9x\r\nMain Window Width=9x\r\nMain Window Height=-7\r\n");
        QTest::newRow("larger than any screen") << QByteArray(
            "Main Window Left=0\r\nMain Window Top=0\r\nMain Window Width=9000\r\nMain Window Height=7000\r\n");
    }

    void mainWindowComesBackOnTheScreen()
    {
        QFETCH(QByteArray, stored);
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\n" + stored + "Last Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QRect screen = main.screen()->availableGeometry();
        QVERIFY2(screen.contains(main.frameGeometry()), qPrintable(placementFaults(&main).join(u'\n')));
        QVERIFY(main.width() >= main.minimumSizeHint().width());
        QVERIFY(main.height() >= main.minimumSizeHint().height());
    }

    // A window whose grid would hold it taller than the screen gives way: the
    // grid scrolls and the buttons below it stay on the screen.
    void oversizedDialogShrinksToTheScreen()
    {
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("Oversized"));
        auto *grid = new QTableWidget(200, 2, &dialog);
        const QSize screen = dialog.screen()->availableGeometry().size();
        grid->setMinimumHeight(screen.height() * 2);
        auto *button = new QPushButton(QStringLiteral("Help"), &dialog);
        button->setObjectName(QStringLiteral("HelpButton"));
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(grid);
        layout->addWidget(button);
        dialog.resize(screen.width() + 300, screen.height() * 2);
        WindowStyle::centre(&dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QStringList faults = placementFaults(&dialog);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        QVERIFY(grid->verticalScrollBar()->maximum() > 0);
    }

    void mainWindowControlsNeverOverlap()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        main.catalog().EnableEndSearch(); // "SEARCH ON" shows
        const QSize screen = main.screen()->availableGeometry().size();
        for (int mode = 1; mode <= 3; ++mode) {
            main.setLayoutMode(mode);
            for (const QSize &size : {main.minimumSize(), QSize(640, 480), screen}) {
                main.resize(size.expandedTo(main.minimumSizeHint()));
                QCoreApplication::processEvents();
                QList<QWidget *> controls;
                for (QWidget *w : main.findChildren<QWidget *>()) {
                    if (w->isVisibleTo(&main) && (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w)) &&
                        !w->objectName().isEmpty())
                        controls << w;
                }
                for (int i = 0; i < controls.size(); ++i) {
                    for (int j = i + 1; j < controls.size(); ++j) {
                        const QRect a(controls[i]->mapTo(&main, QPoint()), controls[i]->size());
                        const QRect b(controls[j]->mapTo(&main, QPoint()), controls[j]->size());
                        QVERIFY2(!a.intersects(b),
                                 qPrintable(QStringLiteral("mode %1 at %2x%3: %4 covers %5")
                                                .arg(mode)
                                                .arg(main.width())
                                                .arg(main.height())
                                                .arg(controls[i]->objectName(), controls[j]->objectName())));
                    }
                }
            }
        }
    }
};

SHELFMARK_TEST(TestScreens)
#include "TestScreens.moc"
