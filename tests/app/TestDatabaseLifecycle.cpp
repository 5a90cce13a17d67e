#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/CommandLine.h"
#include "app/MyTable.h"
#include "framework/dbase/DbfTable.h"
#include "framework/profile/IniFile.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/MessageService.h"
#include "storage/RecentFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString invalidType = QStringLiteral("Invalid file type selected.");

QStringList recentCaptions(MainWindowFixture &f)
{
    QStringList captions;
    for (int slot = 1; slot <= 5; ++slot) {
        auto *action = f.child<QAction>(QStringLiteral("MenuLastFile%1").arg(slot));
        if (action->isVisible())
            captions << action->text();
    }
    return captions;
}

} // namespace

class TestDatabaseLifecycle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void recentListUpdate()
    {
        RecentFiles::List list = {QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("E"),
                                  QStringLiteral("F")};
        RecentFiles::update(list, QStringLiteral("A"), QStringLiteral("D"));
        QCOMPARE(list, RecentFiles::List({"A", "B", "C", "E", "F"}));
        RecentFiles::update(list, QStringLiteral("G"), QStringLiteral("X"));
        QCOMPARE(list, RecentFiles::List({"G", "A", "B", "C", "E"}));        // F falls off
        RecentFiles::update(list, QStringLiteral("A"), QStringLiteral("a")); // exact match only
        QCOMPARE(list, RecentFiles::List({"A", "G", "A", "B", "C"}));
        RecentFiles::List empty;
        RecentFiles::update(empty, QStringLiteral("M"), QStringLiteral("M"));
        QCOMPARE(empty, RecentFiles::List({"M", "", "", "", ""}));
    }

    void openingThreeDatabasesInTurn()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen")});
        const QString b = f.makeCatalog(QStringLiteral("B.DBF"), {QStringLiteral("Brontë"), QStringLiteral("Byron")});
        const QString c = f.makeCatalog(QStringLiteral("C.DBF"), {QStringLiteral("Camus")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        QVERIFY(!f.child<QAction>(QStringLiteral("MenuExitSep"))->isVisible());
        QVERIFY(recentCaptions(f).isEmpty());
        DialogService::queueResult(b);
        f.child<QAction>(QStringLiteral("MenuOpen"))->trigger();
        QCOMPARE(main.catalog().path(), b);
        QCOMPARE(f.countText(), QStringLiteral("2"));
        QCOMPARE(main.windowTitle(), QStringLiteral("Shelfmark Books 97 (B)"));
        DialogService::queueResult(c);
        main.MenuOpenClick();
        QCOMPARE(DialogService::requests(), QStringList({"Open Database File", "Open Database File"}));
        QCOMPARE(recentCaptions(f), QStringList({QStringLiteral("&1   ") + b, QStringLiteral("&2   ") + a}));
        QVERIFY(f.child<QAction>(QStringLiteral("MenuExitSep"))->isVisible());
        // Back to A from the list: A leaves it, C enters at the front.
        f.child<QAction>(QStringLiteral("MenuLastFile2"))->trigger();
        QCOMPARE(main.catalog().path(), a);
        QCOMPARE(recentCaptions(f), QStringList({QStringLiteral("&1   ") + c, QStringLiteral("&2   ") + b}));
        QVERIFY(MessageService::shown().isEmpty());
        // Each database left got its settings file.
        QVERIFY(QFile::exists(f.path(QStringLiteral("B.INI"))));
        QVERIFY(QFile::exists(f.path(QStringLiteral("C.INI"))));
    }

    void commandLineArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("browse");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("unknown");
        const auto row = [](const char *name, const QStringList &arguments, bool browse, const char *catalog,
                            const char *asked, const char *unknown) {
            QTest::newRow(name) << arguments << browse << QString::fromUtf8(catalog) << QString::fromLatin1(asked)
                                << QString::fromLatin1(unknown);
        };
        row("none", {}, false, "", "", "");
        row("browse in any case", {"/Browse"}, true, "", "", "");
        row("catalog after browse", {"/BROWSE", "Bücher.DBF"}, true, "Bücher.DBF", "", "");
        row("catalog before browse", {"/data/B.DBF", "/browse"}, true, "/data/B.DBF", "", "");
        row("the first catalog counts", {"A.DBF", "B.DBF"}, false, "A.DBF", "", "");
        row("help", {"A.DBF", "--help"}, false, "A.DBF", "help", "");
        row("short version", {"-v"}, false, "", "version", "");
        row("unknown option", {"--browse", "-x"}, false, "", "", "--browse");
        row("a dash alone is a file", {"-"}, false, "-", "", "");
        row("after --, options are files", {"--", "--help"}, false, "--help", "", "");
        row("/BROWSE with more is a file", {"/BROWSER"}, false, "/BROWSER", "", "");
    }

    void commandLineArguments()
    {
        QFETCH(QStringList, arguments);
        const CommandLine line = CommandLine::parse(arguments);
        QTEST(line.browse, "browse");
        QTEST(line.catalog, "catalog");
        QFETCH(QString, asked);
        QCOMPARE(line.help, asked == QLatin1String("help"));
        QCOMPARE(line.version, asked == QLatin1String("version"));
        QTEST(line.unknownOption, "unknown");
    }

    void catalogNamedOnTheCommandLine()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen")});
        const QString b = f.makeCatalog(QStringLiteral("B.DBF"), {QStringLiteral("Brontë"), QStringLiteral("Byron")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        // Named relative to the folder the program started in, after the switch.
        TMain &main = f.start({QStringLiteral("/browse"), QStringLiteral("B.DBF")});
        QCOMPARE(main.catalog().path(), b);
        QCOMPARE(f.countText(), QStringLiteral("2"));
        QCOMPARE(main.windowTitle(), QStringLiteral("Shelfmark Books 97 (B)"));
        QCOMPARE(recentCaptions(f), QStringList({QStringLiteral("&1   ") + a}));
        QVERIFY(main.catalog().browseMode());
        QVERIFY(MessageService::shown().isEmpty());
        f.close();
        // The next start without a name opens it again.
        QCOMPARE(f.start().catalog().path(), b);
    }

    void commandLineCatalogRefusedOrAlreadyOpen()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TestSupport::writeAll(f.path(QStringLiteral("NOTES.TXT")), "not a catalog\r\n");
        TMain &main = f.start({f.path(QStringLiteral("NOTES.TXT"))});
        QCOMPARE(main.catalog().path(), a);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().text, invalidType);
        f.close();
        MessageService::clearShown();
        TMain &again = f.start({QStringLiteral("B.DBF")}); // no such file
        QCOMPARE(again.catalog().path(), a);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().caption, QStringLiteral("Error"));
        f.close();
        // The catalog open already is not opened a second time.
        MessageService::clearShown();
        TMain &same = f.start({QStringLiteral("./A.DBF")});
        QCOMPARE(same.catalog().path(), a);
        QVERIFY(recentCaptions(f).isEmpty());
        QVERIFY(MessageService::shown().isEmpty());
    }

    void reopeningTheOpenDatabase()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        main.catalog().settings().displayNames[0] = QStringLiteral("Book Title");
        DialogService::queueResult(a);
        main.MenuOpenClick();
        QCOMPARE(main.catalog().path(), a);
        QCOMPARE(recentCaptions(f), QStringList({QStringLiteral("&1   ") + a}));
        // Its settings were written and read back.
        QCOMPARE(f.columnLabels().first(), QStringLiteral("Book Title"));
        IniFile ini;
        ini.load(f.path(QStringLiteral("A.INI")));
        QCOMPARE(ini.value(QStringLiteral("Field Names"), QStringLiteral("Title")), QStringLiteral("Book Title"));
    }

    void extensionsAreChecked()
    {
        MainWindowFixture f;
        const QString lower = f.makeCatalog(QStringLiteral("books.dbf"), {QStringLiteral("Austen")});
        const QString other = f.makeCatalog(QStringLiteral("books.dbx"), {QStringLiteral("Austen")});
        TMain &main = f.start();
        DialogService::queueResult(other);
        main.MenuOpenClick();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().caption, QStringLiteral("Error"));
        QCOMPARE(MessageService::shown().constFirst().text, invalidType);
        QVERIFY(main.catalog().path().endsWith(QLatin1String("MASTER.DBF")));
        DialogService::queueResult(lower);
        main.MenuOpenClick();
        QCOMPARE(main.catalog().path(), lower);
        QCOMPARE(main.windowTitle(), QStringLiteral("Shelfmark Books 97 (books)"));
        QCOMPARE(MessageService::shown().size(), 1);
    }

    void foreignTablesAreRefused()
    {
        MainWindowFixture f;
        TMain &main = f.start();
        const QString foreign =
            TestSupport::copyData(QStringLiteral("dbase/libreoffice-export.dbf"), QTemporaryDir(), QString());
        Q_UNUSED(foreign);
        QTemporaryDir dir;
        const QString copy =
            TestSupport::copyData(QStringLiteral("dbase/libreoffice-export.dbf"), dir, QStringLiteral("OTHER.DBF"));
        DialogService::queueResult(copy);
        main.MenuOpenClick();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(
            MessageService::shown().constFirst().text,
            QStringLiteral("This DBase file was not created with Shelfmark Books 97.  It cannot be opened.  You may, "
                           "however, import data from this file using the import function."));
        QVERIFY(main.catalog().path().endsWith(QLatin1String("MASTER.DBF")));
        QCOMPARE(f.countText(), QStringLiteral("0"));
    }

    void recentSlotWhoseFileIsGone()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen")});
        const QString gone = f.path(QStringLiteral("GONE.DBF"));
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) +
                              "\r\nLast File 1=" + QFile::encodeName(gone) + "\r\n");
        TMain &main = f.start();
        f.child<QAction>(QStringLiteral("MenuLastFile1"))->trigger();
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(MessageService::shown().constFirst().text.contains(QLatin1String("GONE.DBF")));
        QCOMPARE(main.catalog().path(), a);
        QCOMPARE(f.countText(), QStringLiteral("1"));
        QCOMPARE(recentCaptions(f), QStringList({QStringLiteral("&1   ") + gone}));
    }

    void searchEndsWhenAnotherDatabaseOpens()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann")});
        const QString b = f.makeCatalog(QStringLiteral("B.DBF"), {QStringLiteral("Byron")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        main.catalog().setSearchTest([](const DbfRecord &) { return false; });
        main.catalog().EnableEndSearch();
        DialogService::queueResult(b);
        main.MenuOpenClick();
        QVERIFY(!main.catalog().searchOn());
        QVERIFY(!f.child<QLabel>(QStringLiteral("SearchOnLabel"))->isVisible());
        QCOMPARE(f.countText(), QStringLiteral("1"));
    }

    void newDatabaseStartsWithDefaults()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen")});
        TestSupport::writeAll(f.path(QStringLiteral("A.INI")), "[Sort Order]\r\nPrimary Sort=1\r\n");
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        QCOMPARE(main.catalog().sortString(), QStringLiteral("Upper(Left(Title,80))"));
        const QString fresh = f.path(QStringLiteral("FRESH.DBF"));
        DialogService::queueResult(fresh);
        f.child<QAction>(QStringLiteral("MenuNew"))->trigger();
        QCOMPARE(DialogService::requests(), QStringList({QStringLiteral("New Database File")}));
        QCOMPARE(main.catalog().path(), fresh);
        QCOMPARE(main.catalog().sortString(), QStringLiteral("Upper(Left(Author,80))"));
        QCOMPARE(f.countText(), QStringLiteral("0"));
        QVERIFY(QFile::exists(f.path(QStringLiteral("FRESH.MDX"))));
        QCOMPARE(recentCaptions(f), QStringList({QStringLiteral("&1   ") + a}));
        DialogService::queueResult(f.path(QStringLiteral("WRONG.TXT")));
        main.MenuNewClick();
        QCOMPARE(MessageService::shown().constLast().text, invalidType);
        QVERIFY(!QFile::exists(f.path(QStringLiteral("WRONG.TXT"))));
    }

    void newDatabaseOverATableHeldElsewhere()
    {
        MainWindowFixture f;
        const QString held = f.makeCatalog(QStringLiteral("HELD.DBF"), {QStringLiteral("Austen")});
        TMain &main = f.start();
        DbfTable other;
        other.open(held);
        DialogService::queueResult(held);
        main.MenuNewClick();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().text,
                 QStringLiteral("The table \"") + held +
                     QStringLiteral("\" is currently in use by another program.  New table creation will be aborted."));
        QCOMPARE(other.recordCount(), 1);
        QVERIFY(main.catalog().path().endsWith(QLatin1String("MASTER.DBF")));
    }

    void packWhileAnotherProgramHoldsTheTable()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        DbfTable other;
        other.open(a);
        MessageService::queueAnswer(MessageService::Yes);
        f.child<QAction>(QStringLiteral("MenuPack"))->trigger();
        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(MessageService::shown()[0].caption, QStringLiteral("Confirm"));
        QVERIFY(MessageService::shown()[0].text.startsWith(QLatin1String("Deleted items are not permanently removed")));
        QCOMPARE(MessageService::shown()[1].caption, QStringLiteral("Error"));
        QVERIFY(MessageService::shown()[1].text.startsWith(
            QLatin1String("Unable to pack table.  Packing requires exclusive")));
        QVERIFY(main.catalog().table().isOpen());
        QCOMPARE(main.catalog().table().access(), DbfTable::Access::Shared);
        QCOMPARE(f.countText(), QStringLiteral("2"));
        QCOMPARE(f.authorsShown().size(), 2);
        other.close();
        // Alone with it, the pack goes through.
        main.catalog().table().setRow(0);
        main.catalog().table().deleteRecord();
        MessageService::queueAnswer(MessageService::Yes);
        main.MenuPackClick();
        QCOMPARE(main.catalog().table().engine().physicalCount(), 1u);
        QCOMPARE(main.catalog().table().access(), DbfTable::Access::Shared);
        QCOMPARE(f.countText(), QStringLiteral("1"));
        // Answering No does nothing.
        MessageService::queueAnswer(MessageService::No);
        main.MenuRebuildClick();
        QVERIFY(
            MessageService::shown().constLast().text.startsWith(QLatin1String("It is possible for your index files")));
    }

    void deletedIndexIsRebuilt()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Mann"), QStringLiteral("Austen")});
        const QString b = f.makeCatalog(QStringLiteral("B.DBF"), {QStringLiteral("Zola"), QStringLiteral("Byron")});
        {
            DbfTable table;
            table.open(a);
            table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,80))"));
        }
        QVERIFY(QFile::remove(f.path(QStringLiteral("A.MDX"))));
        QCOMPARE(TestSupport::readAll(a).at(28), char(1)); // the flag still claims an index
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        QVERIFY(QFile::exists(f.path(QStringLiteral("A.MDX"))));
        QCOMPARE(main.catalog().table().indexName(), QStringLiteral("NewIndex"));
        QCOMPARE(f.authorsShown(), QStringList({QStringLiteral("Austen"), QStringLiteral("Mann")}));
        DialogService::queueResult(b);
        main.MenuOpenClick();
        QVERIFY(QFile::exists(f.path(QStringLiteral("B.MDX"))));
        QCOMPARE(f.authorsShown(), QStringList({QStringLiteral("Byron"), QStringLiteral("Zola")}));
    }

    void updateDatabaseKeepsTheSearch()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        main.catalog().setSearchTest([](const DbfRecord &r) { return r.text(1) == QLatin1String("Mann"); });
        main.catalog().EnableEndSearch();
        main.catalog().table().refresh();
        main.catalog().settings().displayNames[1] = QStringLiteral("Writer");
        f.child<QAction>(QStringLiteral("MenuUpdateDatabase"))->trigger();
        QVERIFY(main.catalog().searchOn());
        QCOMPARE(f.countText(), QStringLiteral("1"));
        IniFile ini;
        ini.load(f.path(QStringLiteral("A.INI")));
        QCOMPARE(ini.value(QStringLiteral("Field Names"), QStringLiteral("Author")), QStringLiteral("Writer"));
    }

    void invalidLastDatabaseAsksForAnother()
    {
        MainWindowFixture f;
        QTemporaryDir foreignDir;
        const QString foreign = TestSupport::copyData(QStringLiteral("dbase/libreoffice-export.dbf"), foreignDir,
                                                      QStringLiteral("OLD.DBF"));
        const QString good = f.makeCatalog(QStringLiteral("GOOD.DBF"), {QStringLiteral("Austen")});
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(foreign) + "\r\n");
        DialogService::queueResult(f.path(QStringLiteral("NOTES.TXT"))); // refused: wrong type
        DialogService::queueResult(good);
        TMain &main = f.start();
        QCOMPARE(main.catalog().path(), good);
        QCOMPARE(f.countText(), QStringLiteral("1"));
        QCOMPARE(MessageService::shown().size(), 3);
        QVERIFY(MessageService::shown()[0].text.startsWith(QLatin1String("This DBase file was not created")));
        QCOMPARE(MessageService::shown()[1].text,
                 QStringLiteral("The last database used as recorded in the INI file is not a valid Shelfmark Books 97 "
                                "file.  You will need to choose a new file."));
        QCOMPARE(MessageService::shown()[2].text, invalidType);
        QVERIFY(recentCaptions(f).isEmpty()); // nothing was left
    }

    void databaseHeldExclusivelyElsewhere()
    {
        MainWindowFixture f;
        const QString held = f.makeCatalog(QStringLiteral("HELD.DBF"), {QStringLiteral("Austen")});
        TMain &main = f.start();
        DbfTable other;
        other.open(held, DbfTable::Access::Exclusive);
        DialogService::queueResult(held);
        main.MenuOpenClick();
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(MessageService::shown().constFirst().text.contains(QLatin1String("in use by another program")));
        QVERIFY(main.catalog().path().endsWith(QLatin1String("MASTER.DBF")));
        QVERIFY(main.catalog().table().isOpen());
    }

    void readOnlyDatabaseOpensForViewing()
    {
        MainWindowFixture f;
        const QString a = f.makeCatalog(QStringLiteral("A.DBF"), {QStringLiteral("Austen"), QStringLiteral("Mann")});
        {
            DbfTable table;
            table.open(a);
            table.addIndex(QStringLiteral("NewIndex"), QStringLiteral("Upper(Left(Author,80))"));
        }
        TestSupport::ReadOnlyFile readOnly(a);
        if (!readOnly.active())
            QSKIP("this file system cannot make a file read-only for this user");
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(a) + "\r\n");
        TMain &main = f.start();
        QCOMPARE(f.countText(), QStringLiteral("2"));
        QVERIFY(main.catalog().table().isReadOnly());
        MessageService::queueAnswer(MessageService::Yes);
        main.MenuDeleteClick();
        QCOMPARE(MessageService::shown().size(), 2);
        QVERIFY(MessageService::shown()[1].text.contains(QLatin1String("read-only")));
        QCOMPARE(f.countText(), QStringLiteral("2"));
    }

    // The open dialog shows its filter as written, lists names of either case
    // that match it, and opens where a file of its kind was last chosen.
    void fileDialogMatchesNamesOfEitherCase()
    {
        QTemporaryDir dir;
        for (const char *name : {"books.dbf", "OTHER.DBF", "Mixed.Dbf", "notes.txt"})
            TestSupport::writeAll(QDir(dir.path()).filePath(QString::fromLatin1(name)), "x");
        // A kind of file of its own, so that no earlier choice decides the folder.
        const DialogService::FileRequest request{QStringLiteral("Open Database File"), dir.path(),
                                                 QStringLiteral("Tables (*.DBF *.DBX)"), QStringLiteral("DBF")};
        QStringList filters;
        QStringList listed;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            filters = dialog->nameFilters();
            auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
            QTRY_VERIFY_WITH_TIMEOUT(view && view->model()->rowCount(view->rootIndex()) >= 3, 10000);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            dialog->reject();
        });
        QCOMPARE(DialogService::openFile(nullptr, request), QString());
        QCOMPARE(filters, QStringList({QStringLiteral("Tables (*.DBF *.DBX)")}));
        listed.sort();
        QCOMPARE(listed,
                 QStringList({QStringLiteral("Mixed.Dbf"), QStringLiteral("OTHER.DBF"), QStringLiteral("books.dbf")}));

        // A file of the kind chosen in another folder: the next dialog opens there.
        QTemporaryDir elsewhere;
        DialogService::startRecording();
        DialogService::queueResult(QDir(elsewhere.path()).filePath(QStringLiteral("MINE.DBF")));
        DialogService::openFile(nullptr, request);
        DialogService::stopRecording();
        QCOMPARE(DialogService::directoryFor(request), elsewhere.path());
        DialogService::FileRequest text = request;
        text.filter = QStringLiteral("Ascii Delimited Text (*.TXT)");
        QCOMPARE(DialogService::directoryFor(text), dir.path());
    }
};

SHELFMARK_TEST(TestDatabaseLifecycle)
#include "TestDatabaseLifecycle.moc"
