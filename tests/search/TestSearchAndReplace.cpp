#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/MyTable.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/ui/MessageService.h"
#include "search/Replacement.h"
#include "search/TSearchAndReplace.h"
#include "storage/CatalogTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <cstring>

namespace {

struct Run
{
    MainWindowFixture f;
    TSearchAndReplace *window = nullptr;

    explicit Run(const QStringList &authors, const QByteArray &settings = {})
    {
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), authors);
        if (!settings.isEmpty())
            TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), settings);
        open(books);
    }
    // A catalog that another program made, its years four digits wide.
    explicit Run(const std::vector<double> &years)
    {
        std::vector<FieldDef> fields = CatalogTable::fieldDefinitions();
        fields[2].width = 4;
        const QString books = f.path(QStringLiteral("BOOKS.DBF"));
        DbfTable::create(books, fields);
        DbfTable table;
        table.open(books);
        for (double year : years) {
            table.append();
            table.setNumber(2, year);
            table.post();
        }
        table.close();
        open(books);
    }
    void open(const QString &books)
    {
        f.openCatalog(books);
        window = new TSearchAndReplace(f.catalog(), f.look(), f.window());
        window->show();
    }
    ~Run() { delete window; }

    void choose(int row, const QString &search, const QString &replacement, bool confirm = false)
    {
        window->FieldBoxChange(row - 1);
        window->findChild<QLineEdit *>(QStringLiteral("SearchText"))->setText(search);
        window->findChild<QLineEdit *>(QStringLiteral("ReplaceText"))->setText(replacement);
        window->findChild<QCheckBox *>(QStringLiteral("ConfirmBox"))->setChecked(confirm);
        window->StartButtonClick();
    }
    // The one message after a failed run; the window stays open on the table
    // opened shared again.
    void checkFailure(const QString &message, int changed)
    {
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().caption, QStringLiteral("Error"));
        QCOMPARE(MessageService::shown().constFirst().text, message);
        QVERIFY(window->isVisible());
        QCOMPARE(count("ChangedCount"), QString::number(changed));
        QCOMPARE(f.catalog().table().engine().access(), DbfTable::Access::Shared);
    }
    QString count(const char *name) const { return window->findChild<QLabel *>(QString::fromLatin1(name))->text(); }
    QStringList authors()
    {
        QStringList all;
        const DbfTable &table = f.catalog().table().engine();
        for (std::uint32_t r = 1; r <= table.physicalCount(); ++r)
            all << table.physicalRecord(r).text(1);
        return all;
    }
};

} // namespace

class TestSearchAndReplace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void wholeValuesWithoutRegardToCase()
    {
        Run run(
            {QStringLiteral("Smith"), QStringLiteral("SMITH"), QStringLiteral("Smithson"), QStringLiteral("Jones")});
        run.choose(2, QStringLiteral("smith"), QStringLiteral("Smyth"));
        QCOMPARE(run.authors(), QStringList({"Smyth", "Smyth", "Smithson", "Jones"}));
        QCOMPARE(run.count("ProcessedCount"), QStringLiteral("4"));
        QCOMPARE(run.count("FoundCount"), QStringLiteral("2"));
        QCOMPARE(run.count("ChangedCount"), QStringLiteral("2"));
        QCOMPARE(MessageService::shown().constLast().caption, QStringLiteral("Finished"));
        QCOMPARE(MessageService::shown().constLast().text, QStringLiteral("Global Search and Replace Complete."));
        QVERIFY(!run.window->isVisible());
        // The order is back: the index was built again from the sort levels.
        QCOMPARE(run.f.catalog().table().indexName(), QStringLiteral("NewIndex"));
        QCOMPARE(run.f.shown(2), QStringList({"Jones", "Smithson", "Smyth", "Smyth"}));
        QVERIFY(run.f.catalog().table().engine().indexRepairReason().isEmpty());
    }

    void emptySearchReplacesEmptyValues()
    {
        Run run({QStringLiteral("Austen"), QString(), QString()});
        run.choose(2, QString(), QStringLiteral("Unknown"));
        QCOMPARE(run.authors(), QStringList({"Austen", "Unknown", "Unknown"}));
    }

    void answeringNoChangesNothing()
    {
        Run run({QStringLiteral("Mann"), QStringLiteral("Mann")});
        MessageService::queueAnswer(MessageService::No);
        MessageService::queueAnswer(MessageService::No);
        run.choose(2, QStringLiteral("MANN"), QStringLiteral("Musil"), true);
        QCOMPARE(MessageService::shown()[0].caption, QStringLiteral("Confirm"));
        QCOMPARE(MessageService::shown()[0].text, QStringLiteral("Item = \"Book 1\".  Change this record?"));
        QCOMPARE(run.count("FoundCount"), QStringLiteral("2"));
        QCOMPARE(run.count("ChangedCount"), QStringLiteral("0"));
        QCOMPARE(run.authors(), QStringList({"Mann", "Mann"}));
    }

    void aSearchStaysOnAndBooksOutsideItChange()
    {
        Run run({QStringLiteral("Mann"), QStringLiteral("Austen"), QStringLiteral("Mann")});
        run.f.catalog().setSearchTest([](const DbfRecord &r) { return r.text(0) == QLatin1String("Book 2"); });
        run.f.catalog().EnableEndSearch();
        run.f.catalog().table().refresh();
        QCOMPARE(run.f.catalog().table().recordCount(), 1);
        run.choose(2, QStringLiteral("Mann"), QStringLiteral("Musil"));
        QCOMPARE(run.authors(), QStringList({"Musil", "Austen", "Musil"}));
        QVERIFY(run.f.catalog().searchOn());
        QCOMPARE(run.f.catalog().table().recordCount(), 1);
    }

    void numbersAndDates()
    {
        Run run({QStringLiteral("A"), QStringLiteral("B")});
        {
            DbfTable &table = run.f.catalog().table().engine();
            table.edit(1);
            table.setNumber(2, 1970);
            table.setDate(11, QDate(2001, 3, 5));
            table.post();
        }
        run.choose(3, QStringLiteral("1970"), QStringLiteral("1971"));
        QCOMPARE(run.f.catalog().table().engine().physicalRecord(1).number(2), std::optional<double>(1971));
        delete run.window;
        run.window = new TSearchAndReplace(run.f.catalog(), run.f.look(), run.f.window());
        run.window->show();
        run.choose(12, QStringLiteral("03/05/2001"), QStringLiteral("12/31/1999"));
        QCOMPARE(run.f.catalog().table().engine().physicalRecord(1).date(11), QDate(1999, 12, 31));
    }

    void refusals_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("message");
        QTest::newRow("no field") << 0 << ""
                                  << ""
                                  << "No field has been selected.";
        QTest::newRow("bad number") << 7 << "12x"
                                    << "1"
                                    << "Invalid search value entered.  Please correct.";
        QTest::newRow("empty number") << 7 << ""
                                      << "1"
                                      << "Invalid search value entered.  Please correct.";
        QTest::newRow("bad replacement number") << 24 << "12"
                                                << ""
                                                << "Invalid replacement value entered.  Please correct.";
        QTest::newRow("untouched date") << 18 << ""
                                        << "01/01/2001"
                                        << "Invalid search date entered.  Please correct.";
        QTest::newRow("bad replacement date") << 18 << "01/01/2001"
                                              << "13/13/2001"
                                              << "Invalid replacement date entered.  Please correct.";
    }

    void refusals()
    {
        QFETCH(int, row);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, message);
        Run run({QStringLiteral("A")});
        if (row == 0)
            run.window->StartButtonClick();
        else
            run.choose(row, search, replacement);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().constFirst().caption, QStringLiteral("Error"));
        QCOMPARE(MessageService::shown().constFirst().text, message);
        QVERIFY(run.window->isVisible());
        QVERIFY(run.f.catalog().table().isOpen());
    }

    void refusedWhileAnotherProgramHoldsTheTable()
    {
        Run run({QStringLiteral("Mann")});
        DbfTable other;
        other.open(run.f.catalog().path());
        run.choose(2, QStringLiteral("Mann"), QStringLiteral("Musil"));
        QVERIFY(MessageService::shown().constFirst().text.startsWith(
            QLatin1String("Search and Replace requires exclusive use of the DBase File.")));
        QVERIFY(run.window->isVisible());
        QCOMPARE(run.f.shown(2), QStringList({"Mann"}));
    }

    // After a failure the user learns what failed and how many books were
    // changed; the run never reports itself complete.
    void failuresSayHowManyBooksChanged()
    {
        {
            Run run(std::vector<double>{1970, 1971, 1970});
            run.choose(3, QStringLiteral("1970"), QStringLiteral("12345"));
            run.checkFailure(
                QStringLiteral("An error stopped the search and replace: The number 12345 does not fit the "
                               "field YEARPUB (4 characters).  No book was changed."),
                0);
            QCOMPARE(run.f.shown(3), QStringList({"1970", "1971", "1970"}));
        }
        Run run({QStringLiteral("Mann"), QStringLiteral("Austen"), QStringLiteral("Mann")});
        FaultPoint::setHook([](const char *point) {
            if (std::strcmp(point, "mdx:written") == 0)
                throw DbfError(QStringLiteral("No room left on the device."));
        });
        const auto unhook = qScopeGuard([] { FaultPoint::setHook(nullptr); });
        run.choose(2, QStringLiteral("mann"), QStringLiteral("Musil"));
        run.checkFailure(QStringLiteral("The sort order could not be built again after the search and replace: No "
                                        "room left on the device.  2 books were changed."),
                         2);
        QCOMPARE(run.authors(), QStringList({"Musil", "Austen", "Musil"}));
    }

    // A run stopped half-way keeps and counts the books it changed.
    void aStoppedRunCountsWhatItChanged()
    {
        MainWindowFixture f;
        DbfTable table;
        table.open(f.makeCatalog(QStringLiteral("BOOKS.DBF"), QStringList(4, QStringLiteral("Mann"))),
                   DbfTable::Access::Exclusive);
        Replacement::Counts counts;
        QVERIFY_THROWS_EXCEPTION(DbfError, Replacement::text(1, QStringLiteral("mann"), QStringLiteral("Musil"))
                                               .run(table, counts, {}, [](const Replacement::Counts &c) {
                                                   if (c.changed == 2)
                                                       throw DbfError(QStringLiteral("No room left on the device."));
                                               }));
        QCOMPARE(counts.processed, 2);
        QCOMPARE(counts.changed, 2);
        QCOMPARE(table.state(), DbfTable::State::Browse);
        table.close();
        table.open(f.path(QStringLiteral("BOOKS.DBF")), DbfTable::Access::ReadOnly);
        QStringList authors;
        table.forEachRow([&](int, const DbfRecord &r) { authors << r.text(1); });
        QCOMPARE(authors, QStringList({"Musil", "Musil", "Mann", "Mann"}));
    }

    // The counters are painted as the run goes, each wide enough for its number.
    void countersShowWholeNumbers()
    {
        Run run(QStringList(1500, QStringLiteral("Mann")));
        QVERIFY(QTest::qWaitForWindowExposed(run.window));
        struct Painted : QObject
        {
            QStringList texts;
            bool clipped = false;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Paint) {
                    auto *label = static_cast<QLabel *>(watched);
                    texts << label->text();
                    clipped |= label->contentsRect().width() < label->fontMetrics().horizontalAdvance(label->text());
                }
                return false;
            }
        } painted;
        for (const char *name : {"ProcessedCount", "FoundCount", "ChangedCount"})
            run.window->findChild<QLabel *>(QString::fromLatin1(name))->installEventFilter(&painted);
        run.choose(2, QStringLiteral("Mann"), QStringLiteral("Musil"));
        QCOMPARE(MessageService::shown().constLast().text, QStringLiteral("Global Search and Replace Complete."));
        QVERIFY(painted.texts.contains(QStringLiteral("1500")));
        QVERIFY(!painted.clipped);
    }

    void recordOrderWithoutASortOrder()
    {
        Run run({QStringLiteral("Zola"), QStringLiteral("Austen")}, "[Sort Order]\r\nPrimary Sort=0\r\n");
        QCOMPARE(run.f.shown(2), QStringList({"Zola", "Austen"}));
        run.choose(2, QStringLiteral("zola"), QStringLiteral("Balzac"));
        QVERIFY(run.f.catalog().table().indexName().isEmpty());
        QCOMPARE(run.f.shown(2), QStringList({"Balzac", "Austen"}));
    }
};

SHELFMARK_TEST(TestSearchAndReplace)
#include "TestSearchAndReplace.moc"
