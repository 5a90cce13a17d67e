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
#include <QTest>
#include <cstring>

namespace {

using Levels = QList<int>;

// Four books whose titles, authors, costs and dates sort differently by each.
// Loaded in this record order: delta, alpha, Charlie, Bravo.
QString makeBooks(const QString &path)
{
    struct Book
    {
        const char *title;
        const char *author;
        double cost;
        QDate bought;
    };
    const Book books[] = {{"delta", "smith", 100, QDate(2001, 3, 5)},
                          {"alpha", "Jones", 9.5, QDate(2000, 12, 1)},
                          {"Charlie", "SMITH", 20, QDate(2001, 1, 20)},
                          {"Bravo", "adams", 5, QDate(1999, 7, 4)}};
    CatalogTable::create(path);
    DbfTable table;
    table.open(path);
    for (const Book &book : books) {
        table.append();
        table.setText(0, QString::fromLatin1(book.title));
        table.setText(1, QString::fromLatin1(book.author));
        table.setNumber(6, book.cost);
        table.setDate(11, book.bought);
        table.post();
    }
    return path;
}

struct Window
{
    MainWindowFixture f;
    QString books;
    TMain *main = nullptr;

    explicit Window(const QByteArray &databaseSettings = {})
    {
        books = makeBooks(f.path(QStringLiteral("BOOKS.DBF")));
        if (!databaseSettings.isEmpty())
            TestSupport::writeAll(f.path(QStringLiteral("BOOKS.INI")), databaseSettings);
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        main = &f.start();
        MessageService::clearShown();
    }

    MyTable &table() const { return *main->table(); }

    // Chooses the four levels and presses Ok; answers whether the window closed.
    bool apply(const Levels &levels)
    {
        TMySortOrder window(*main);
        window.show();
        for (int i = 0; i < 4; ++i)
            window.findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(i + 1))->setCurrentIndex(levels[i]);
        window.findChild<QPushButton *>(QStringLiteral("OkButton"))->click();
        return window.result() == QDialog::Accepted && !window.isVisible();
    }

    QStringList titlesShown() const
    {
        QStringList titles;
        for (int row = 0; row < table().recordCount(); ++row)
            titles << table().engine().recordAt(row).text(0);
        return titles;
    }
    Levels levelsInMemory() const
    {
        const auto &levels = main->settings().sortLevels;
        return Levels(levels.begin(), levels.end());
    }
    Levels levelsInFile() const
    {
        Settings stored{QString()};
        stored.read(Settings::Mode::Database, main->settingsPath());
        return Levels(stored.sortLevels.begin(), stored.sortLevels.end());
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const MessageService::Shown &shown : MessageService::shown())
            texts << shown.caption + QLatin1Char('|') + shown.text;
        return texts;
    }
};

class FaultAt
{
public:
    explicit FaultAt(const char *point)
    {
        s_point = point;
        FaultPoint::setHook([](const char *reached) {
            if (std::strcmp(reached, s_point) == 0)
                throw DbfError(QStringLiteral("No room left on the device."));
        });
    }
    ~FaultAt() { FaultPoint::setHook(nullptr); }

private:
    static inline const char *s_point = nullptr;
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
        QCOMPARE(w.levelsInMemory(), levels);
        QCOMPARE(w.levelsInFile(), levels);
        QCOMPARE(w.main->sortString(), expression);
        QVERIFY(w.table().isOpen());
        QCOMPARE(w.table().access(), DbfTable::Access::Shared);
        QCOMPARE(w.titlesShown(), titles);
        QCOMPARE(w.f.countText(), QStringLiteral("4"));
        if (expression.isEmpty()) {
            QVERIFY(w.table().indexName().isEmpty());
            QVERIFY(!QFileInfo::exists(w.table().engine().mdxPath()));
        } else {
            QCOMPARE(w.table().indexName(), CatalogTable::IndexTag);
            QCOMPARE(w.table().engine().tagExpression(CatalogTable::IndexTag), expression);
        }
    }

    void windowListsDisplayNamesAndSelectsStoredLevels()
    {
        Window w("[Sort Order]\r\nPrimary Sort=12\r\nSecondary Sort=2\r\n[Field Names]\r\nAuthor=Writer\r\n");
        TMySortOrder window(*w.main);
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Sort Order"));
        const QStringList captions{"Primary Sort", "Secondary Sort", "Third Level Sort", "Fourth Level Sort"};
        Levels selected;
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("LabelSort%1").arg(i))->text(), captions[i - 1]);
            auto *list = window.findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(i));
            QCOMPARE(list->count(), 1 + CatalogFields::Count);
            QCOMPARE(list->itemText(0), QStringLiteral("<NONE>"));
            QCOMPARE(list->itemText(2), QStringLiteral("Writer"));
            QCOMPARE(list->itemText(36), QStringLiteral("User Defined 6"));
            selected << list->currentIndex();
        }
        QCOMPARE(selected, Levels({12, 2, 0, 0}));

        window.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
        window.findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
        QCOMPARE(w.levelsInMemory(), Levels({12, 2, 0, 0}));
        QCOMPARE(w.main->sortString(), QStringLiteral("DTOS(PurchDate)+Upper(Left(Author,40))"));
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
        QCOMPARE(w.levelsInMemory(), Levels({2, 0, 0, 0}));
        QVERIFY(w.table().isOpen());
        QCOMPARE(w.table().indexName(), CatalogTable::IndexTag);
        QCOMPARE(w.titlesShown(), QStringList({"Bravo", "alpha", "delta", "Charlie"}));
    }

    void failureRestoresTheLevelsAndReopensTheTable()
    {
        Window w("[Sort Order]\r\nPrimary Sort=1\r\n");
        const FaultAt fault("mdx:written");
        QVERIFY(!w.apply({7, 0, 0, 0}));
        QCOMPARE(w.messages(), QStringList{"Error|Error in implementing sort order.  New sort order not implemented."});
        QCOMPARE(w.levelsInMemory(), Levels({1, 0, 0, 0}));
        QCOMPARE(w.levelsInFile(), Levels({1, 0, 0, 0}));
        QCOMPARE(w.main->sortString(), QStringLiteral("Upper(Left(Title,80))"));
        // The old tag went before the new one failed: record order.
        QVERIFY(w.table().isOpen());
        QCOMPARE(w.table().access(), DbfTable::Access::Shared);
        QVERIFY(w.table().indexName().isEmpty());
        QCOMPARE(w.titlesShown(), QStringList({"delta", "alpha", "Charlie", "Bravo"}));
    }
};

SHELFMARK_TEST(TestSortOrder)
#include "TestSortOrder.moc"
