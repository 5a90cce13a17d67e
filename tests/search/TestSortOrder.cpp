#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/MyTable.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/ui/MessageService.h"
#include "search/TMySortOrder.h"
#include "storage/CatalogTable.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <cstring>
#include <tuple>

namespace {

using Levels = QList<int>;

// The catalog on four books whose titles, authors, costs and dates sort
// differently by each; record order: delta, alpha, Charlie, Bravo.
struct Window
{
    MainWindowFixture f;
    QString books = f.path(QStringLiteral("BOOKS.DBF"));
    explicit Window(const QByteArray &databaseSettings = {})
    {
        CatalogTable::create(books);
        {
            DbfTable table;
            table.open(books);
            const std::tuple<const char *, const char *, double, QDate> rows[] = {
                {"delta", "smith", 100, QDate(2001, 3, 5)},
                {"alpha", "Jones", 9.5, QDate(2000, 12, 1)},
                {"Charlie", "SMITH", 20, QDate(2001, 1, 20)},
                {"Bravo", "adams", 5, QDate(1999, 7, 4)}};
            for (const auto &[title, author, cost, bought] : rows) {
                table.append();
                table.setText(0, QString::fromLatin1(title));
                table.setText(1, QString::fromLatin1(author));
                table.setNumber(6, cost);
                table.setDate(11, bought);
                table.post();
            }
        }
        TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), databaseSettings);
        f.openCatalog(books);
        MessageService::clearShown();
    }

    MyTable &table() { return f.catalog().table(); }

    // Chooses the four levels and presses Ok; answers whether the window closed.
    bool apply(const Levels &levels)
    {
        TMySortOrder window(f.catalog(), f.look(), f.window());
        window.show();
        for (int i = 0; i < 4; ++i)
            window.findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(i + 1))->setCurrentIndex(levels[i]);
        window.findChild<QPushButton *>(QStringLiteral("OkButton"))->click();
        return window.result() == QDialog::Accepted && !window.isVisible();
    }

    QStringList titlesShown()
    {
        QStringList titles;
        for (int row = 0; row < table().recordCount(); ++row)
            titles << table().engine().recordAt(row).text(0);
        return titles;
    }
    // The levels in memory and in the settings file.
    QList<Levels> levels()
    {
        Settings stored{QString()};
        stored.read(Settings::Mode::Database, f.catalog().iniPath());
        const auto &inMemory = f.catalog().settings().sortLevels;
        return {Levels(inMemory.begin(), inMemory.end()), Levels(stored.sortLevels.begin(), stored.sortLevels.end())};
    }
    static QStringList messages()
    {
        QStringList texts;
        for (const MessageService::Shown &shown : MessageService::shown())
            texts << shown.caption + QLatin1Char('|') + shown.text;
        return texts;
    }
};

} // namespace

class TestSortOrder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void okOrdersTheBooksByTheLevels_data()
    {
        QTest::addColumn<Levels>("levels");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QStringList>("titles");

        QTest::newRow("none: record order, no tag")
            << Levels{0, 0, 0, 0} << QString() << QStringList{"delta", "alpha", "Charlie", "Bravo"};
        QTest::newRow("text without regard to case")
            << Levels{1, 0, 0, 0} << "Upper(Left(Title,80))" << QStringList{"alpha", "Bravo", "Charlie", "delta"};
        QTest::newRow("money by value") << Levels{7, 0, 0, 0} << "STR(Cost,12,2)"
                                        << QStringList{"Bravo", "alpha", "Charlie", "delta"};
        QTest::newRow("dates by year, month, day")
            << Levels{0, 12, 0, 0} << "DTOS(PurchDate)" << QStringList{"Bravo", "alpha", "Charlie", "delta"};
        QTest::newRow("same field twice") << Levels{2, 2, 0, 0} << "Upper(Left(Author,40))+Upper(Left(Author,40))"
                                          << QStringList{"Bravo", "alpha", "delta", "Charlie"};
        QTest::newRow("two text levels and a date")
            << Levels{2, 12, 1, 0} << "Upper(Left(Author,26))+DTOS(PurchDate)+Upper(Left(Title,26))"
            << QStringList{"Bravo", "alpha", "Charlie", "delta"};
        QTest::newRow("four text levels")
            << Levels{1, 2, 4, 5}
            << "Upper(Left(Title,20))+Upper(Left(Author,20))+Upper(Left(Publisher,20))+Upper(Left(Category,20))"
            << QStringList{"alpha", "Bravo", "Charlie", "delta"};
    }

    void okOrdersTheBooksByTheLevels()
    {
        QFETCH(Levels, levels);
        QFETCH(QString, expression);
        QFETCH(QStringList, titles);
        Window w;
        QVERIFY(w.apply(levels));
        QCOMPARE(w.messages(), QStringList());
        QCOMPARE(w.levels(), QList<Levels>({levels, levels}));
        QCOMPARE(w.f.catalog().sortString(), expression);
        QCOMPARE(w.table().access(), DbfTable::Access::Shared);
        QCOMPARE(w.titlesShown(), titles);
        QCOMPARE(w.table().recordCount(), 4);
        QCOMPARE(w.table().indexName(), expression.isEmpty() ? QString() : CatalogTable::IndexTag);
        QCOMPARE(w.table().engine().tagExpression(CatalogTable::IndexTag), expression);
        QCOMPARE(QFileInfo::exists(w.table().engine().mdxPath()), !expression.isEmpty());
    }

    void windowListsDisplayNamesAndSelectsStoredLevels()
    {
        Window w("[Sort Order]\r\nPrimary Sort=12\r\nSecondary Sort=2\r\n[Field Names]\r\nAuthor=Writer\r\n");
        TMySortOrder window(w.f.catalog(), w.f.look(), w.f.window());
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Sort Order"));
        QStringList shown;
        for (int i = 1; i <= 4; ++i) {
            const auto *list = window.findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(i));
            shown << window.findChild<QLabel *>(QStringLiteral("LabelSort%1").arg(i))->text() + ':' +
                         list->currentText() + ':' + QString::number(list->count()) + ':' + list->itemText(0);
        }
        QCOMPARE(shown, QStringList({"Primary Sort:Purchase Date:37:<NONE>", "Secondary Sort:Writer:37:<NONE>",
                                     "Third Level Sort:<NONE>:37:<NONE>", "Fourth Level Sort:<NONE>:37:<NONE>"}));
        window.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
        window.findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
        QCOMPARE(w.levels().first(), Levels({12, 2, 0, 0}));
    }

    void refusedWhileAnotherProgramHoldsTheTable()
    {
        Window w;
        DbfTable other;
        other.open(w.books);
        QVERIFY(!w.apply({1, 0, 0, 0}));
        QCOMPARE(w.messages(),
                 QStringList{"Error|Creating a new sort order requires exclusive use of the DBase File.  Make sure "
                             "that the DBase File is not in use by another program  or that no other users are "
                             "running the software or that no other copies of the software are in use."});
        QCOMPARE(w.levels().first(), Levels({2, 0, 0, 0}));
        QCOMPARE(w.table().indexName(), CatalogTable::IndexTag);
        QCOMPARE(w.titlesShown(), QStringList({"Bravo", "alpha", "delta", "Charlie"}));
    }

    void failureRestoresTheLevelsAndReopensTheTable()
    {
        Window w("[Sort Order]\r\nPrimary Sort=1\r\n");
        FaultPoint::setHook([](const char *point) {
            if (std::strcmp(point, "mdx:written") == 0)
                throw DbfError(QStringLiteral("No room left on the device."));
        });
        const auto unhook = qScopeGuard([] { FaultPoint::setHook(nullptr); });
        QVERIFY(!w.apply({7, 0, 0, 0}));
        QCOMPARE(w.messages(), QStringList{"Error|Error in implementing sort order.  New sort order not implemented."});
        QCOMPARE(w.levels(), QList<Levels>({{1, 0, 0, 0}, {1, 0, 0, 0}}));
        QCOMPARE(w.f.catalog().sortString(), QStringLiteral("Upper(Left(Title,80))"));
        // The old tag went before the new one failed: shared, in record order.
        QCOMPARE(w.table().access(), DbfTable::Access::Shared);
        QVERIFY(w.table().indexName().isEmpty());
        QCOMPARE(w.titlesShown(), QStringList({"delta", "alpha", "Charlie", "Bravo"}));
    }
};

SHELFMARK_TEST(TestSortOrder)
#include "TestSortOrder.moc"
