#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/Catalog.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"

#include <QSignalSpy>
#include <QTest>

// The open database without any window: switching with its fallback, reopening
// for exclusive work, the search-on state and browse mode.
class TestCatalog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void switchingToATableThatCannotOpenGoesBack()
    {
        MainWindowFixture f;
        const QString first = f.makeCatalog(QStringLiteral("FIRST.DBF"), {"Austen", "Byron"});
        // A catalog table whose header claims a record length the fields do not add up to.
        const QString broken = f.makeCatalog(QStringLiteral("BROKEN.DBF"), {"Eliot"});
        QByteArray bytes = TestSupport::readAll(broken);
        bytes[10] = char(0x01);
        bytes[11] = char(0x00);
        TestSupport::writeAll(broken, bytes);
        TestSupport::writeAll(f.path(QStringLiteral("FIRST.INI")), "[Sort Order]\r\nPrimary Sort=2\r\n");
        Catalog &catalog = f.openCatalog(first);
        QSignalSpy failures(&catalog, &Catalog::failed);
        QSignalSpy changed(&catalog, &Catalog::databaseChanged);

        QVERIFY(!catalog.switchDatabase(broken, Catalog::SwitchKind::Open));
        QCOMPARE(failures.size(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(catalog.path(), first);
        QCOMPARE(catalog.iniPath(), f.path(QStringLiteral("FIRST.INI")));
        QCOMPARE(catalog.sortString(), QStringLiteral("Upper(Left(Author,80))"));
        QVERIFY(catalog.table().isOpen());
        QCOMPARE(catalog.table().recordCount(), 2);
        QCOMPARE(catalog.settings().lastFiles[0], QString());
    }

    void switchingKeepsTheLeftDatabasesSettingsAndRecordsTheRecentFile()
    {
        MainWindowFixture f;
        const QString first = f.makeCatalog(QStringLiteral("FIRST.DBF"), {"Austen"});
        const QString second = f.makeCatalog(QStringLiteral("SECOND.DBF"), {"Byron", "Austen", "Cather"});
        TestSupport::writeAll(f.path(QStringLiteral("SECOND.INI")), "[Sort Order]\r\nPrimary Sort=2\r\n");
        Catalog &catalog = f.openCatalog(first);
        catalog.settings().displayNames[0] = QStringLiteral("Name");

        QVERIFY(catalog.switchDatabase(second, Catalog::SwitchKind::Open));
        QCOMPARE(catalog.path(), second);
        QCOMPARE(catalog.tableName(), QStringLiteral("SECOND"));
        QCOMPARE(f.shown(2), QStringList({"Austen", "Byron", "Cather"}));
        QCOMPARE(catalog.settings().displayNames[0], QStringLiteral("Title"));
        QCOMPARE(catalog.settings().lastFiles[0], first);
        QVERIFY(TestSupport::readAll(f.path(QStringLiteral("FIRST.INI"))).contains("Title=Name"));
    }

    void exclusiveReopenIsRefusedWhileAnotherProgramHoldsTheTable()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {"Austen"});
        Catalog &catalog = f.openCatalog(books);
        QSignalSpy reopened(&catalog, &Catalog::reopened);
        {
            DbfTable other;
            other.open(books);
            QVERIFY_THROWS_EXCEPTION(DbfError, catalog.reopenTable(DbfTable::Access::Exclusive));
            QVERIFY(!catalog.table().isOpen());
        }
        catalog.reopenTable(DbfTable::Access::Exclusive);
        QCOMPARE(catalog.table().access(), DbfTable::Access::Exclusive);
        QVERIFY(Catalog::DBaseInUse(books));
        catalog.reopenTable();
        QCOMPARE(catalog.table().access(), DbfTable::Access::Shared);
        QCOMPARE(reopened.size(), 2);
    }

    void searchStateFiltersUntilItEnds()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {"Austen", "Byron", "Austen"});
        Catalog &catalog = f.openCatalog(books);
        QSignalSpy states(&catalog, &Catalog::searchStateChanged);
        const int author = catalog.table().field(2);
        catalog.setSearchTest([author](const DbfRecord &record) { return record.text(author) == u"Austen"; });
        catalog.table().refresh();
        QCOMPARE(catalog.table().recordCount(), 3); // the test counts only while the search is on

        catalog.EnableEndSearch();
        catalog.table().refresh();
        QCOMPARE(f.shown(2), QStringList({"Austen", "Austen"}));
        {
            const Catalog::SearchSuspension whole(catalog, /*entireDatabase*/ true);
            QVERIFY(!catalog.searchOn());
            QCOMPARE(catalog.table().recordCount(), 3);
        }
        QVERIFY(catalog.searchOn());
        QCOMPARE(catalog.table().recordCount(), 2);
        {
            const Catalog::SearchSuspension inView(catalog, /*entireDatabase*/ false);
            QCOMPARE(catalog.table().recordCount(), 2);
        }
        catalog.DoEndSearch();
        QVERIFY(!catalog.searchOn());
        QCOMPARE(catalog.table().recordCount(), 3);
        QCOMPARE(states.size(), 4);
        QCOMPARE(states.last().first().toBool(), false);
    }

    void browseModeKeepsTheStoredEditingFlag()
    {
        MainWindowFixture f;
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {"Austen"});
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), "[Grid Options]\r\nField Editing=Yes\r\n");
        Catalog &catalog = f.openCatalog(books);
        QVERIFY(catalog.settings().fieldEditing);
        catalog.enterBrowseMode();
        QVERIFY(!catalog.settings().fieldEditing);
        catalog.writeDatabaseSettings();
        QVERIFY(!catalog.settings().fieldEditing);
        Settings stored{QString()};
        stored.read(Settings::Mode::Database, catalog.iniPath());
        QVERIFY(stored.fieldEditing);
    }
};

SHELFMARK_TEST(TestCatalog)
#include "TestCatalog.moc"
