#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/MyTable.h"
#include "app/NumberFormat.h"
#include "edit/TMyEdit.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/profile/IniFile.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/DataNavigator.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/HelpWindow.h"
#include "framework/ui/MessageService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleOptionHeader>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void firstStartCreatesAnEmptyMaster()
    {
        MainWindowFixture f;
        TMain &main = f.start({}, true); // no settings file at all
        const QString master = QDir(f.dataDir()).filePath(QStringLiteral("MASTER.DBF"));
        QVERIFY(QFile::exists(master));
        QCOMPARE(main.catalog().path(), master);
        QCOMPARE(main.windowTitle(), QStringLiteral("Shelfmark Books 97 (MASTER)"));
        QCOMPARE(f.countText(), QStringLiteral("0"));
        QCOMPARE(f.child<QLabel>(QStringLiteral("Count2Label"))->text(), QStringLiteral("Books"));
        QCOMPARE(f.child<QLabel>(QStringLiteral("ViewerLabel"))->text(), QStringLiteral("Book Viewer"));
        QCOMPARE(main.layoutMode(), 1);
        QVERIFY(f.child<QWidget>(QStringLiteral("SpeedPanel"))->isVisible());
        QVERIFY(!f.child<QPushButton>(QStringLiteral("AddButton"))->isVisible());
        QCOMPARE(main.geometry().size(), QSize(640, 480));
        QCOMPARE(main.catalog().sortString(), QStringLiteral("Upper(Left(Author,80))"));
        QCOMPARE(main.catalog().table().indexName(), QStringLiteral("NewIndex"));
        QCOMPARE(f.columnLabels().size(), 36);
        QCOMPARE(f.columnLabels().first(), QStringLiteral("Title"));
        QCOMPARE(f.columnLabels().last(), QStringLiteral("User Defined 6"));
        QVERIFY(!main.catalog().searchOn());
        QVERIFY(!f.child<QLabel>(QStringLiteral("SearchOnLabel"))->isVisible());
        QVERIFY(!f.child<QAction>(QStringLiteral("MenuEndSearch"))->isEnabled());
        QVERIFY(MessageService::shown().isEmpty());
        // Closing writes both settings files.
        f.close();
        QVERIFY(QFile::exists(QDir(f.configDir()).filePath(QStringLiteral("SHMKLIB.INI"))));
        QVERIFY(QFile::exists(QDir(f.dataDir()).filePath(QStringLiteral("MASTER.INI"))));
        IniFile global;
        global.load(QDir(f.configDir()).filePath(QStringLiteral("SHMKLIB.INI")));
        QCOMPARE(global.value(QStringLiteral("Misc"), QStringLiteral("Last Database")), master);
    }

    void tipOfTheDayComesOnceAtStartUp()
    {
        MainWindowFixture f;
        TMain &main = f.start({}, true);
        main.activateWindow();
        QVERIFY(TestSupport::activate(&main));
        QTRY_COMPARE(f.tipsShown(), 1);
        main.activateWindow();
        QTest::qWait(50);
        QCOMPARE(f.tipsShown(), 1);
    }

    void missingLastDatabaseFallsBackToMaster()
    {
        MainWindowFixture f;
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(f.path(QStringLiteral("GONE.DBF"))) +
                              "\r\n");
        TMain &main = f.start();
        QCOMPARE(main.catalog().path(), QDir(f.dataDir()).filePath(QStringLiteral("MASTER.DBF")));
        QVERIFY(MessageService::shown().isEmpty());
    }

    void lastDatabaseOpensInItsOrder()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"),
                                            {QStringLiteral("Zola"), QStringLiteral("Austen"), QStringLiteral("Mann")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        QCOMPARE(main.catalog().path(), books);
        QCOMPARE(f.countText(), QStringLiteral("3"));
        QCOMPARE(f.authorsShown(),
                 QStringList({QStringLiteral("Austen"), QStringLiteral("Mann"), QStringLiteral("Zola")}));
        QVERIFY(QFile::exists(f.path(QStringLiteral("BOOKS.MDX"))));
    }

    void settingsFileWithGarbageStartsWithDefaults()
    {
        MainWindowFixture f;
        f.writeGlobalSettings(
            "\x01\x02 not a settings file\r\n[Misc\r\nButton Bar=two\r\n=\r\n[Misc]\r\nWindow Size=x\r\n");
        TMain &main = f.start();
        QCOMPARE(main.layoutMode(), 1); // "two" was not in the [Misc] section that counts
        QCOMPARE(f.countText(), QStringLiteral("0"));
    }

    void browseModeLeavesOnlyViewing()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), "[Grid Options]\r\nField Editing=Yes\r\n");
        f.writeGlobalSettings("[Misc]\r\nButton Bar=2\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start({QStringLiteral("/browse")});
        QVERIFY(main.catalog().browseMode());
        for (const char *name : {"MenuAdd", "MenuCopy", "MenuDelete", "MenuBackup", "MenuRestore", "MenuViewer",
                                 "MenuImport", "MenuSearchReplace"})
            QVERIFY2(!f.child<QAction>(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(!f.child<QMenu>(QStringLiteral("MenuMaintain"))->isEnabled());
        for (const char *name : {"AddSpeed", "CopySpeed", "ImportSpeed", "DeleteSpeed", "ViewerSpeed"})
            QVERIFY2(!f.child<QToolButton>(QString::fromLatin1(name))->isEnabled(), name);
        for (const char *name : {"AddButton", "CopyButton", "DeleteButton", "ViewerButton"})
            QVERIFY2(!f.child<QPushButton>(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(f.child<QPushButton>(QStringLiteral("EditButton"))->isEnabled());
        auto *navigator = f.child<DataNavigator>(QStringLiteral("MyNavigator"));
        QVERIFY(navigator->button(DataNavigator::Next)->isVisible());
        QVERIFY(!navigator->button(DataNavigator::Insert)->isVisible());
        QVERIFY(!navigator->button(DataNavigator::Delete)->isVisible());
        QCOMPARE(f.child<DataGrid>(QStringLiteral("ViewerGrid"))->editTriggers(), QAbstractItemView::NoEditTriggers);
        // The lettered buttons stay off in every layout mode.
        main.setLayoutMode(1);
        main.setLayoutMode(2);
        QVERIFY(!f.child<QPushButton>(QStringLiteral("AddButton"))->isEnabled());
        f.close();
        IniFile settings;
        settings.load(f.path(QStringLiteral("BOOKS.INI")));
        QCOMPARE(settings.value(QStringLiteral("Grid Options"), QStringLiteral("Field Editing")),
                 QStringLiteral("Yes"));
    }

    void layoutModesPlaceTheTable_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("gridTop");
        QTest::addColumn<int>("gridInset");
        QTest::addColumn<int>("navigatorTop");
        QTest::newRow("speed buttons") << 1 << 70 << 77 << 3;
        QTest::newRow("lettered buttons") << 2 << 122 << 129 << 47;
        QTest::newRow("none") << 3 << 40 << 47 << 8;
    }

    void layoutModesPlaceTheTable()
    {
        QFETCH(int, mode);
        QFETCH(int, gridTop);
        QFETCH(int, gridInset);
        QFETCH(int, navigatorTop);
        MainWindowFixture f;
        TMain &main = f.start();
        main.setLayoutMode(mode);
        main.resize(900, 700);
        QCoreApplication::processEvents();
        QWidget *client = main.centralWidget();
        auto *grid = f.child<DataGrid>(QStringLiteral("ViewerGrid"));
        QCOMPARE(grid->geometry(), QRect(7, gridTop, client->width() - 14, client->height() - gridInset));
        QCOMPARE(f.child<QWidget>(QStringLiteral("MyNavigator"))->y(), navigatorTop);
        QCOMPARE(f.child<QWidget>(QStringLiteral("SpeedPanel"))->isVisible(), mode == 1);
        QCOMPARE(f.child<QPushButton>(QStringLiteral("SearchButton"))->isVisible(), mode == 2);
        QCOMPARE(f.child<QLabel>(QStringLiteral("NavigatorLabel"))->isVisible(), mode == 2);
        QCOMPARE(f.child<QAction>(QStringLiteral("MenuButtons"))->isChecked(), mode == 2);
        if (mode == 3)
            QCOMPARE(f.child<QWidget>(QStringLiteral("MyNavigator"))->x(), client->width() - 207);
        auto *label = f.child<QLabel>(QStringLiteral("ViewerLabel"));
        QVERIFY(qAbs(label->geometry().center().x() - client->width() / 2) <= 1);
    }

    void fieldOrderThatIsNoPermutation()
    {
        // Title and Author both claim position 2; Year Pub claims 99.
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        QByteArray ini = "[Field Order]\r\nTitle=2\r\nAuthor=2\r\nYearPub=99\r\n[Display Fields]\r\n";
        for (const char *row :
             {"Publisher", "Category",  "WherePurch", "Cost",       "Value",     "Descriptio", "ISBN",
              "Rating",    "PurchDate", "BookType",   "CatalogNum", "Sub1",      "Sub2",       "CheckOut",
              "CheckDate", "CheckName", "Volume",     "Issue",      "Edition",   "KeyWords",   "Pages",
              "Location",  "Condition", "Editor",     "Dewey",      "LowMarket", "HighMarket", "UserDef1",
              "UserDef2",  "UserDef3",  "UserDef4",   "UserDef5",   "UserDef6"})
            ini += QByteArray(row) + "=No\r\n";
        ini += "[Field Names]\r\nTitle=Name of the book\r\n";
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), ini);
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        f.start();
        // Positions 1 and 3 are claimed by nobody and position 2 by Title first, so
        // Title moves to column 0, 1 and finally 2; Author and Year Pub, never
        // placed, keep their defaults and slide to the front.
        QCOMPARE(f.columnLabels(), QStringList({QStringLiteral("Author"), QStringLiteral("Year Pub"),
                                                QStringLiteral("Name of the book")}));
    }

    void hiddenFieldsLeaveTheirColumns()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        QByteArray ini = "[Display Fields]\r\n";
        const char *rows[] = {"Title",     "Author",     "YearPub",    "Publisher", "Category",  "WherePurch",
                              "Cost",      "Value",      "Descriptio", "ISBN",      "Rating",    "PurchDate",
                              "BookType",  "CatalogNum", "Sub1",       "Sub2",      "CheckOut",  "CheckDate",
                              "CheckName", "Volume",     "Issue",      "Edition",   "KeyWords",  "Pages",
                              "Location",  "Condition",  "Editor",     "Dewey",     "LowMarket", "HighMarket",
                              "UserDef1",  "UserDef2",   "UserDef3",   "UserDef4",  "UserDef5",  "UserDef6"};
        for (const char *row : rows)
            ini += QByteArray(row) +
                   (QByteArray(row) == "Cost" || QByteArray(row) == "Author" || QByteArray(row) == "PurchDate"
                        ? "=Yes\r\n"
                        : "=No\r\n");
        ini += "[Field Order]\r\nCost=1\r\nTitle=7\r\n[Field Width]\r\nCost=0\r\n";
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), ini);
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        f.start();
        QCOMPARE(f.columnLabels(),
                 QStringList({QStringLiteral("Cost"), QStringLiteral("Author"), QStringLiteral("Purchase Date")}));
    }

    void searchOnStateShowsAndEnds()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(
            QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann"), QStringLiteral("Musil")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        main.catalog().setSearchTest([](const DbfRecord &r) { return r.text(1).startsWith(QLatin1Char('M')); });
        main.catalog().EnableEndSearch();
        main.catalog().table().refresh();
        main.DisplayCount();
        QVERIFY(f.child<QLabel>(QStringLiteral("SearchOnLabel"))->isVisible());
        QVERIFY(f.child<QAction>(QStringLiteral("MenuEndSearch"))->isEnabled());
        QVERIFY(f.child<QToolButton>(QStringLiteral("EndSearchSpeed"))->isEnabled());
        QCOMPARE(f.countText(), QStringLiteral("2"));
        f.child<QAction>(QStringLiteral("MenuEndSearch"))->trigger();
        QVERIFY(!main.catalog().searchOn());
        QVERIFY(!f.child<QLabel>(QStringLiteral("SearchOnLabel"))->isVisible());
        QCOMPARE(f.countText(), QStringLiteral("3"));
    }

    void deleteAsksFirst()
    {
        MainWindowFixture f;
        const QString books =
            f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        MessageService::queueAnswer(MessageService::No);
        f.child<QAction>(QStringLiteral("MenuDelete"))->trigger();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constLast().caption, QStringLiteral("Confirm"));
        QCOMPARE(MessageService::shown().constLast().text, QStringLiteral("Delete this record?"));
        QCOMPARE(MessageService::shown().constLast().buttons, MessageService::Yes | MessageService::No);
        QCOMPARE(f.countText(), QStringLiteral("2"));
        MessageService::queueAnswer(MessageService::Yes);
        f.child<QToolButton>(QStringLiteral("DeleteSpeed"))->click();
        QCOMPARE(f.countText(), QStringLiteral("1"));
        QCOMPARE(f.authorsShown(), QStringList({QStringLiteral("Mann")}));
        QCOMPARE(main.catalog().table().engine().physicalCount(), 2u);
    }

    void navigatorMovesAndCounts()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(
            QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann"), QStringLiteral("Musil")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        auto *navigator = f.child<DataNavigator>(QStringLiteral("MyNavigator"));
        auto *grid = f.child<DataGrid>(QStringLiteral("ViewerGrid"));
        navigator->button(DataNavigator::Last)->click();
        QCOMPARE(main.catalog().table().row(), 2);
        QCOMPARE(grid->currentIndex().row(), 2);
        navigator->button(DataNavigator::Prior)->click();
        QCOMPARE(grid->currentIndex().row(), 1);
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCOMPARE(main.catalog().table().row(), 0);
        // Without in-place editing "+" adds a book in the record editor.
        int editorMode = 0;
        QTimer::singleShot(0, [&] {
            editorMode = main.recordEditor()->mode();
            main.recordEditor()->reject();
        });
        navigator->button(DataNavigator::Insert)->click();
        QCOMPARE(editorMode, 1);
        QCOMPARE(f.countText(), QStringLiteral("3"));
    }

    void closingTheMainWindowClosesTheHelpWindow()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        main.MenuContentsClick();
        QWidget *help = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window != &main && window->isVisible() && window->objectName() == QLatin1String("HelpWindow"))
                help = window;
        }
        QVERIFY(help);
        main.close();
        QVERIFY(!help->isVisible());
    }

    void newGridRowIsStoredOnlyWhenTypedInto()
    {
        MainWindowFixture f;
        const QString books =
            f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann")});
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), "[Grid Options]\r\nField Editing=Yes\r\n");
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        QVERIFY(TestSupport::activate(&main));
        auto *navigator = f.child<DataNavigator>(QStringLiteral("MyNavigator"));
        auto *grid = f.child<DataGrid>(QStringLiteral("ViewerGrid"));
        const DbfTable &table = main.catalog().table().engine();
        const int author = f.columnLabels().indexOf(QStringLiteral("Author"));

        // Untouched, then Cancel, Esc or leaving: nothing is stored.
        navigator->button(DataNavigator::Insert)->click();
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(table.physicalCount(), 2u);
        navigator->button(DataNavigator::Cancel)->click();
        QCOMPARE(grid->model()->rowCount(), 2);
        navigator->button(DataNavigator::Insert)->click();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Escape); // closes the cell editor
        QTest::keyClick(grid, Qt::Key_Escape); // drops the row
        QCOMPARE(grid->model()->rowCount(), 2);
        navigator->button(DataNavigator::Insert)->click();
        grid->setCurrentIndex(grid->model()->index(0, author));
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(table.physicalCount(), 2u);
        QCOMPARE(f.countText(), QStringLiteral("2"));

        // Typed into and left: stored, and the row the user went to is current.
        navigator->button(DataNavigator::Insert)->click();
        QVERIFY(grid->model()->setData(grid->model()->index(2, author), QStringLiteral("Zweig"), Qt::EditRole));
        QCOMPARE(table.physicalCount(), 2u);
        grid->setCurrentIndex(grid->model()->index(1, author));
        QCOMPARE(table.physicalCount(), 3u);
        QCOMPARE(f.countText(), QStringLiteral("3"));
        QCOMPARE(main.catalog().table().text(2), QStringLiteral("Mann"));

        // Typed into and posted.
        navigator->button(DataNavigator::Insert)->click();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Alcott"));
        navigator->button(DataNavigator::Post)->click();
        QCOMPARE(table.physicalCount(), 4u);
        QCOMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(MessageService::shown().size(), 0);
    }

    void inPlaceEditsArePostedAndChecked()
    {
        MainWindowFixture f;
        const QString books =
            f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann")});
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), "[Grid Options]\r\nField Editing=Yes\r\n");
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        auto *grid = f.child<DataGrid>(QStringLiteral("ViewerGrid"));
        QAbstractItemModel *model = grid->model();
        const int author = f.columnLabels().indexOf(QStringLiteral("Author"));
        QVERIFY(model->setData(model->index(0, author), QStringLiteral("Zweig"), Qt::EditRole));
        QCOMPARE(f.authorsShown(), QStringList({QStringLiteral("Mann"), QStringLiteral("Zweig")}));
        QVERIFY(!model->setData(model->index(0, author), QStringLiteral("Miłosz"), Qt::EditRole));
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(MessageService::shown().constLast().text.contains(QLatin1String("AUTHOR")));
        QCOMPARE(f.authorsShown(), QStringList({QStringLiteral("Mann"), QStringLiteral("Zweig")}));
        const int year = f.columnLabels().indexOf(QStringLiteral("Year Pub"));
        QVERIFY(!model->setData(model->index(0, year), QStringLiteral("19x4"), Qt::EditRole));
        QVERIFY(model->setData(model->index(0, year), QStringLiteral("1924"), Qt::EditRole));
        QCOMPARE(model->index(0, year).data().toString(), QStringLiteral("1924"));
        const int checkedOut = f.columnLabels().indexOf(QStringLiteral("Checked Out"));
        QVERIFY(model->setData(model->index(1, checkedOut), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(model->index(1, checkedOut).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        main.catalog().table().setRow(1);
        QCOMPARE(main.catalog().table().text(17), QStringLiteral("Yes"));
    }

    // Amounts show in the money format in force, right-aligned, and are typed
    // back in it; a cell left as it is stays exactly as stored.
    void gridAmountsFollowTheMoneyFormat()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        {
            DbfTable table;
            table.open(books);
            table.setRow(0);
            table.edit();
            table.setNumber(6, 1234.5); // Cost
            table.post();
        }
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), "[Grid Options]\r\nField Editing=Yes\r\n");
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        QAbstractItemModel *model = f.child<DataGrid>(QStringLiteral("ViewerGrid"))->model();
        const QModelIndex cost = model->index(0, f.columnLabels().indexOf(QStringLiteral("Cost")));
        QCOMPARE(cost.data().toString(), QStringLiteral("1,234.50"));
        QCOMPARE(cost.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

        // A system format with a decimal comma, as the record editor reads it.
        NumberFormat::Symbols comma = NumberFormat::current().system();
        comma.decimal = QLatin1Char(',');
        comma.thousands = QLatin1Char('.');
        comma.currencyDigits = 2;
        NumberFormat::setCurrent(NumberFormat(NumberFormat::current().numeric(), NumberFormat::Style::US, comma));
        main.MenuCurrencyClick(int(NumberFormat::Style::System));
        QCOMPARE(cost.data().toString(), QStringLiteral("1.234,50"));
        QVERIFY(model->setData(cost, QStringLiteral("12,75"), Qt::EditRole));
        main.catalog().table().setRow(0);
        QCOMPARE(main.catalog().table().number(7), std::optional<double>(12.75));
        QVERIFY(!model->setData(cost, QStringLiteral("12,7x"), Qt::EditRole));
        main.MenuCurrencyClick(int(NumberFormat::Style::US));
        QCOMPARE(cost.data().toString(), QStringLiteral("12.75"));
    }

    // A title wider than its column ends in an ellipsis; its start stays.
    void longTitlesAreElidedAtTheEnd()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        f.start();
        auto *grid = f.child<DataGrid>(QStringLiteral("ViewerGrid"));
        const int column = f.columnLabels().indexOf(QStringLiteral("Purchase Date"));
        grid->horizontalHeader()->resizeSection(column, 60);
        struct Probe : QHeaderView
        {
            using QHeaderView::initStyleOptionForIndex;
        };
        QStyleOptionHeader option;
        (grid->horizontalHeader()->*(&Probe::initStyleOptionForIndex))(&option, column);
        QVERIFY2(option.text.startsWith(QStringLiteral("Pu")) && option.text.endsWith(QChar(0x2026)),
                 qPrintable(option.text));
        QVERIFY(grid->horizontalHeader()->fontMetrics().horizontalAdvance(option.text) <= 60);
    }

    void f1OpensTheActiveWindowsHelp_data()
    {
        QTest::addColumn<std::function<void(TMain &)>>("open");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("main window") << std::function<void(TMain &)>() << "";
        QTest::newRow("record editor") << std::function<void(TMain &)>(&TMain::MenuAddClick) << "Input Window";
        QTest::newRow("search") << std::function<void(TMain &)>(&TMain::MenuSearchClick) << "Search Window";
        QTest::newRow("export") << std::function<void(TMain &)>(&TMain::MenuExportClick) << "Export Window";
    }

    void f1OpensTheActiveWindowsHelp()
    {
        QFETCH(std::function<void(TMain &)>, open);
        QFETCH(QString, keyword);
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        TMain &main = f.start();
        TestSupport::activate(&main);
        HelpWindow *help = HelpWindow::instance();
        help->showContents();
        const QUrl contents = help->source();
        help->showAnchor(HelpService::anchorFor(QStringLiteral("Sort Order")));
        help->hide();
        if (!open) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &main, Qt::Key_F1);
            QVERIFY(help->isVisible());
            QCOMPARE(help->source(), contents);
            return;
        }
        QString anchor;
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            QWidget *focus = dialog->focusWidget() ? dialog->focusWidget() : dialog;
            QTest::keyClick(focus, Qt::Key_F1);
            anchor = help->isVisible() ? help->anchor() : QString();
            if (auto *modal = qobject_cast<QDialog *>(dialog))
                modal->done(QDialog::Rejected);
            else
                dialog->close();
        });
        open(main);
        QCOMPARE(anchor, HelpService::anchorFor(keyword));
    }

    // A catalog whose index must be built in a folder where nothing can be
    // created: the program starts with the books in order, says once that the
    // index could not be saved, and writes nothing there.
    void startUpSurvivesAnIndexItCannotSave()
    {
        MainWindowFixture f;
        const QString books =
            f.makeCatalog(QStringLiteral("BOOKS.DBF"), {QStringLiteral("Woolf"), QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        QFile::remove(f.path(QStringLiteral("BOOKS.MDX")));
        const QByteArray before = TestSupport::readAll(books);
        const QStringList filesBefore = QDir(f.path(QString())).entryList(QDir::Files);
        static QString folder;
        folder = QFileInfo(books).absolutePath();
        FaultPoint::setFailureHook([](FaultPoint::Operation operation, const QString &path, std::uint64_t,
                                      std::size_t &) {
            return operation != FaultPoint::Operation::Write && QFileInfo(path).absolutePath() == folder ? EACCES : 0;
        });
        const auto restore = qScopeGuard([] { FaultPoint::setFailureHook(nullptr); });
        f.start();
        QCOMPARE(f.authorsShown(), QStringList({QStringLiteral("Austen"), QStringLiteral("Woolf")}));
        const auto notSaved = [](const MessageService::Shown &m) {
            return m.text.contains(QLatin1String("could not be saved"));
        };
        QCOMPARE(std::count_if(MessageService::shown().cbegin(), MessageService::shown().cend(), notSaved), 1);
        QCOMPARE(TestSupport::readAll(books), before);
        QCOMPARE(QDir(f.path(QString())).entryList(QDir::Files), filesBefore);
    }

    void commandsCarryTheirCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("new") << "MenuNew"
                             << "&New Database"
                             << "Ctrl+W";
        QTest::newRow("open") << "MenuOpen"
                              << "&Open Database"
                              << "Ctrl+O";
        QTest::newRow("update") << "MenuUpdateDatabase"
                                << "&Update Database"
                                << "Ctrl+Z";
        QTest::newRow("backup") << "MenuBackup"
                                << "&Back Up Data"
                                << "Ctrl+B";
        QTest::newRow("restore") << "MenuRestore"
                                 << "&Restore Data"
                                 << "Ctrl+Y";
        QTest::newRow("print") << "MenuPrint"
                               << "&Print"
                               << "Ctrl+P";
        QTest::newRow("exit") << "MenuExit"
                              << "E&xit"
                              << "Ctrl+X";
        QTest::newRow("add") << "MenuAdd"
                             << "&Add"
                             << "Ctrl+A";
        QTest::newRow("edit") << "MenuEdit"
                              << "&Edit"
                              << "Ctrl+E";
        QTest::newRow("copy") << "MenuCopy"
                              << "&Copy"
                              << "Ctrl+C";
        QTest::newRow("delete") << "MenuDelete"
                                << "&Delete"
                                << "Ctrl+D";
        QTest::newRow("import") << "MenuImport"
                                << "&Import"
                                << "Ctrl+M";
        QTest::newRow("export") << "MenuExport"
                                << "E&xport"
                                << "Ctrl+T";
        QTest::newRow("search") << "MenuSearch"
                                << "&Search (Query)"
                                << "Ctrl+S";
        QTest::newRow("end search") << "MenuEndSearch"
                                    << "&End Search"
                                    << "Ctrl+I";
        QTest::newRow("locate") << "MenuFind"
                                << "&Locate"
                                << "Ctrl+L";
        QTest::newRow("locate next") << "MenuFindNext"
                                     << "Locate &Next"
                                     << "Ctrl+N";
        QTest::newRow("reports") << "MenuReports"
                                 << "&Reports"
                                 << "Ctrl+R";
        QTest::newRow("viewer") << "MenuViewer"
                                << "&Viewer"
                                << "Ctrl+V";
        QTest::newRow("sort order") << "MenuSortOrder"
                                    << "Sort &Order"
                                    << "Ctrl+Q";
        QTest::newRow("speed") << "MenuSpeed"
                               << "&Speed Buttons"
                               << "Ctrl+F1";
        QTest::newRow("lettered") << "MenuButtons"
                                  << "&Lettered Buttons"
                                  << "Ctrl+F2";
        QTest::newRow("none") << "MenuNoButtons"
                              << "&None"
                              << "Ctrl+F3";
        QTest::newRow("main color") << "MenuMainColor"
                                    << "&Main Window Color"
                                    << "Ctrl+F4";
        QTest::newRow("all colors") << "MenuAllColor"
                                    << "&ALL Windows Color"
                                    << "Ctrl+F9";
        QTest::newRow("640") << "N640x480"
                             << "640 x 480"
                             << "Shift+F1";
        QTest::newRow("1280") << "N1280x1024"
                              << "1280 x 1024"
                              << "Shift+F4";
        QTest::newRow("label font") << "MenuLabelFont"
                                    << "&Label Font"
                                    << "Shift+F8";
        QTest::newRow("button font") << "MenuButtonFont"
                                     << "&Button Font"
                                     << "Shift+F10";
        QTest::newRow("replace") << "MenuSearchReplace"
                                 << "&Search and Replace"
                                 << "Ctrl+F";
        QTest::newRow("rebuild") << "MenuRebuild"
                                 << "&Rebuild Indexes"
                                 << "";
        QTest::newRow("pack") << "MenuPack"
                              << "&Pack Database"
                              << "";
        QTest::newRow("contents") << "MenuContents"
                                  << "&Contents"
                                  << "Ctrl+H";
        QTest::newRow("tips") << "MenuTips"
                              << "&Review \"Tips of the Day\""
                              << "";
        QTest::newRow("about") << "MenuAbout"
                               << "&About"
                               << "";
        QTest::newRow("date 10") << "MenuDateDMYSlashYr"
                                 << "dd/mm/yyyy"
                                 << "";
    }

    void commandsCarryTheirCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        MainWindowFixture f;
        f.start();
        auto *action = f.child<QAction>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(), shortcut);
    }

    void speedButtonsCarryTheirHints()
    {
        MainWindowFixture f;
        f.start();
        const QList<QToolButton *> buttons =
            f.child<QWidget>(QStringLiteral("SpeedPanel"))->findChildren<QToolButton *>();
        QStringList hints;
        for (QToolButton *b : buttons) {
            QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
            hints << b->toolTip();
        }
        QCOMPARE(hints, QStringList({"New Database", "Open Database", "Add Record", "Edit Record", "Copy Record",
                                     "Delete Record", "Import Records", "Export Records", "Search Records",
                                     "End Search", "Locate Record", "Locate Next Record", "Reports",
                                     "Viewer Configuration", "Color Setup", "Set Sorting Order", "Help"}));
    }

    void colourChoicesReachTheirSets()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        main.catalog().settings().editColors[0] = 255;
        // ALL starts from the main set; Ok stores the working set in all five.
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Color Configuration"));
            auto *presets = dialog->findChild<QComboBox *>(QStringLiteral("ColorSets"));
            presets->setCurrentIndex(3); // Midnight Black
            emit presets->activated(3);
            dialog->findChild<QPushButton *>(QStringLiteral("Ok"))->click();
        });
        f.child<QToolButton>(QStringLiteral("ColorSpeed"))->click();
        for (const ColorSet *set : {&main.catalog().settings().mainColors, &main.catalog().settings().editColors,
                                    &main.catalog().settings().searchColors, &main.catalog().settings().reportColors,
                                    &main.catalog().settings().configureColors})
            QCOMPARE((*set)[0], 0); // background black
        QCOMPARE(main.centralWidget()->palette().color(QPalette::Window), QColor(0, 0, 0));
        // Cancel changes nothing.
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            auto *presets = dialog->findChild<QComboBox *>(QStringLiteral("ColorSets"));
            presets->setCurrentIndex(1);
            emit presets->activated(1);
            dialog->findChild<QPushButton *>(QStringLiteral("Cancel"))->click();
        });
        f.child<QAction>(QStringLiteral("MenuEditColor"))->trigger();
        QCOMPARE(main.catalog().settings().editColors[0], 0);
    }

    void viewerConfigurationRenamesColumns()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        QTimer::singleShot(0, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Viewer Configuration"));
            auto *names = dialog->findChild<QTableWidget *>(QStringLiteral("FieldNameGrid"));
            names->item(1, 1)->setText(QStringLiteral("Writer")); // the second field: Author
            dialog->findChild<QPushButton *>(QStringLiteral("ExitButton"))->click();
        });
        main.MenuViewerClick();
        QCOMPARE(main.catalog().settings().displayNames[1], QStringLiteral("Writer"));
        QCOMPARE(f.columnLabels().at(1), QStringLiteral("Writer"));
    }

    void aboutBoxShowsTheProgram()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        QTimer::singleShot(0, [&] {
            QWidget *about = QApplication::activeModalWidget();
            QVERIFY(about);
            QCOMPARE(about->windowTitle(), QStringLiteral("About"));
            auto *ok = about->findChild<QPushButton *>(QStringLiteral("OKButton"));
            QCOMPARE(ok->text(), QStringLiteral("&Ok"));
            ok->click();
        });
        main.MenuAboutClick();
    }
};

SHELFMARK_TEST(TestMainWindow)
#include "TestMainWindow.moc"
