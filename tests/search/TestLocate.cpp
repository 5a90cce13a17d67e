#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "framework/dbase/DbfTable.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/MessageService.h"
#include "search/Locator.h"
#include "search/TMyLocateDialog.h"
#include "storage/CatalogTable.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

namespace {

// Engine field indexes of the catalog (record order of the field definition table).
constexpr int Title = 0;
constexpr int Author = 1;
constexpr int YearPub = 2;
constexpr int Cost = 6;
constexpr int PurchDate = 11;
constexpr int KeyWords = 22;

// A catalog table open shared on the books (title, author, year, cost, date).
struct BookTable
{
    struct Book
    {
        QString title, author;
        std::optional<double> year, cost;
        QDate bought;
    };
    QTemporaryDir dir;
    DbfTable table;

    explicit BookTable(const QList<Book> &books)
    {
        CatalogTable::create(dir.filePath(QStringLiteral("BOOKS.DBF")));
        table.open(dir.filePath(QStringLiteral("BOOKS.DBF")));
        for (const Book &book : books) {
            table.append();
            table.setText(Title, book.title);
            table.setText(Author, book.author);
            table.setNumber(YearPub, book.year);
            table.setNumber(Cost, book.cost);
            table.setDate(PurchDate, book.bought);
            table.post();
        }
    }
};

QStringList messages()
{
    QStringList texts;
    for (const MessageService::Shown &shown : MessageService::shown())
        texts << shown.caption + QLatin1Char('|') + shown.text;
    return texts;
}

// The catalog of four authors in author order: GOLDSMITH, JONES, SMITH, SMITHERS.
struct Window
{
    MainWindowFixture f;
    TMyLocateDialog *locate = nullptr;

    Window()
    {
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), {"SMITH", "GOLDSMITH", "JONES", "SMITHERS"});
        f.openCatalog(books);
        locate = new TMyLocateDialog(f.catalog(), f.look(), f.window());
        MessageService::clearShown();
    }
    MyTable &table() { return f.catalog().table(); }
    QString currentAuthor() { return table().text(2); }
};

} // namespace

class TestLocate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void matchRules_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("match");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QStringList>("found");
        using M = Locator::Match;
        const auto row = [](const char *name, int field, const QString &value, M match, bool caseSensitive,
                            const QStringList &found) {
            QTest::newRow(name) << field << value << int(match) << caseSensitive << found;
        };
        row("start: SMI finds SMITH, not GOLDSMITH", Author, "SMI", M::PartialStart, false,
            {"smith", "Smith2", "smithers"});
        row("anywhere: SMI finds GOLDSMITH too", Author, "SMI", M::PartialAnywhere, false,
            {"smith", "goldsmith", "Smith2", "smithers"});
        row("case-sensitive start", Author, "smi", M::PartialStart, true, {"smithers"});
        row("exact ignores case", Author, "smith", M::Exact, false, {"smith", "Smith2"});
        row("exact with case", Author, "Smith", M::Exact, true, {"Smith2"});
        row("exact needs the whole text", Author, "SMITHER", M::Exact, false, {});
        row("accented capitals", Author, QString::fromUtf8("émile"), M::PartialStart, false, {"emile"});
        row("accents with case", Author, QString::fromUtf8("émile"), M::PartialStart, true, {});
        row("value longer than any field", Author, "SMITHERSSMITHERS", M::PartialAnywhere, false, {});
        row("not in the code page", Author, QString::fromUtf8("Zola一"), M::PartialAnywhere, false, {});
        row("blank field, exact empty value", Author, "", M::Exact, false, {"blank"});
        row("whole number", YearPub, "1997", M::Exact, false, {"smith"});
        row("whole number start", YearPub, "19", M::PartialStart, false, {"smith", "goldsmith"});
        row("money as shown", Cost, "12.5", M::Exact, false, {"smith"});
        row("money not padded", Cost, "12.50", M::PartialAnywhere, false, {});
        row("money decimals", Cost, ".75", M::PartialAnywhere, false, {"goldsmith"});
        row("zero is not blank", Cost, "0", M::Exact, false, {"Smith2"});
        row("date in the format in force", PurchDate, "5/3/2001", M::Exact, false, {"smith"});
        row("date year", PurchDate, "/2001", M::PartialAnywhere, false, {"smith", "smithers"});
    }

    void matchRules()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(int, match);
        QFETCH(bool, caseSensitive);
        QFETCH(QStringList, found);
        const DateFormat saved = DateFormat::current();
        DateFormat::setCurrent(DateFormat(10, false)); // d/m/yyyy
        const auto restore = qScopeGuard([saved] { DateFormat::setCurrent(saved); });
        const BookTable catalog({{"smith", "SMITH", 1997, 12.5, QDate(2001, 3, 5)},
                                 {"goldsmith", "GOLDSMITH", 1968, 1234.75, {}},
                                 {"Smith2", "Smith", {}, 0, QDate(1999, 3, 5)},
                                 {"smithers", "smithers", 2004, {}, QDate(2001, 12, 25)},
                                 {"emile", QString::fromUtf8("ÉMILE ZOLA"), {}, {}, {}},
                                 {"blank", "", {}, {}, {}}});
        const Locator locator(catalog.table, field, value, Locator::Match(match), caseSensitive);
        QStringList titles;
        for (int row = 0; row < catalog.table.recordCount(); ++row) {
            if (locator.matches(catalog.table.recordAt(row)))
                titles << catalog.table.recordAt(row).text(Title);
        }
        QCOMPARE(titles, found);
    }

    // Every match in turn as a walk through the visible rows finds it, on more
    // rows than are looked at one by one before the file is read in order.
    void scanVisitsTheVisibleRowsInOrder_data()
    {
        QTest::addColumn<bool>("indexed");
        QTest::addColumn<bool>("filtered");
        QTest::addColumn<int>("matches");
        // Pairs of books hold the value: far apart in record order, one of a
        // pair next to the other but far from it in index order.
        QTest::newRow("record order") << false << false << 8;
        QTest::newRow("index order") << true << false << 8;
        QTest::newRow("index order through a filter") << true << true << 5;
    }

    void scanVisitsTheVisibleRowsInOrder()
    {
        QFETCH(bool, indexed);
        QFETCH(bool, filtered);
        QFETCH(int, matches);
        BookTable catalog({});
        DbfTable &table = catalog.table;
        table.beginBulkUpdate();
        for (int i = 0; i < 3000; ++i) {
            table.append();
            table.setText(Title, QString::number(i));
            table.setText(Author, QStringLiteral("A%1").arg((i * 1543) % 3000, 5, 10, QLatin1Char('0')));
            if (i % 997 < 2)
                table.setText(KeyWords, i % 2 ? QStringLiteral("NEEDLE") : QStringLiteral("a Needle here"));
            table.post();
        }
        table.endBulkUpdate();
        if (indexed)
            table.addIndex(CatalogTable::IndexTag, QStringLiteral("Upper(Left(Author,80))"), true);
        if (filtered)
            table.setFilter([](const DbfRecord &record) { return record.text(Title).toInt() % 3 != 0; });

        const Locator locator(table, KeyWords, QStringLiteral("needle"), Locator::Match::PartialAnywhere, false);
        const auto expectedFrom = [&table](int row) {
            while (row < table.recordCount() &&
                   !table.recordAt(row).text(KeyWords).contains(QLatin1String("needle"), Qt::CaseInsensitive))
                ++row;
            return row < table.recordCount() ? row : -1;
        };
        int found = 0;
        for (int from = 0;; ++found) {
            const int row = locator.findFrom(from);
            QCOMPARE(row, expectedFrom(from));
            if (row < 0)
                break;
            from = row + 1;
        }
        QCOMPARE(found, matches);
    }

    void locateNextWalksTheMatchesAndStaysOnTheLast()
    {
        Window w;
        w.table().setRow(0);
        w.locate->setSearchField(QStringLiteral("AUTHOR"));
        w.locate->setFieldValue(QStringLiteral("smi"));
        w.locate->setMatchType(TMyLocateDialog::mtPartialMatchAny);
        QVERIFY(w.locate->FindNext());
        QCOMPARE(w.currentAuthor(), QStringLiteral("SMITH"));
        QCOMPARE(w.table().row(), 2);
        QVERIFY(w.locate->FindNext());
        QCOMPARE(w.currentAuthor(), QStringLiteral("SMITHERS"));
        QVERIFY(!w.locate->FindNext());
        QCOMPARE(messages(), QStringList{"Information|No more matches found"});
        QCOMPARE(w.currentAuthor(), QStringLiteral("SMITHERS"));
        w.locate->setShowMessages(false);
        QVERIFY(!w.locate->FindNext());
        QCOMPARE(messages().size(), 1);
    }

    void locateNextWithAValueButNoField()
    {
        Window w;
        w.table().setRow(1);
        w.locate->setFieldValue(QStringLiteral("JONES"));
        QVERIFY(!w.locate->FindNext());
        QCOMPARE(messages(), QStringList{"Information|No more matches found"});
        QCOMPARE(MessageService::shown().first().icon, MessageService::Icon::Information);
        QCOMPARE(w.table().row(), 1);
    }

    void locateNextBeforeAnyLocateOpensTheDialog()
    {
        Window w;
        w.locate->setDefaultButton(TMyLocateDialog::dbFindFirst);
        QString caption;
        TestSupport::whenModal([&] {
            caption = QApplication::activeModalWidget()->windowTitle();
            QVERIFY(TestSupport::activate(QApplication::activeModalWidget()));
            TestSupport::modalControl<QLineEdit>("SearchValue")->setFocus();
            QVERIFY(TestSupport::modalControl<QPushButton>("NextButton")->isDefault());
            QVERIFY(!TestSupport::modalControl<QPushButton>("FirstButton")->isDefault());
            TestSupport::modalControl<QPushButton>("BitBtn1")->click();
        });
        QVERIFY(!w.locate->FindNext());
        QCOMPARE(caption, QStringLiteral("Locate Field Value"));
        QCOMPARE(w.locate->DefaultButton(), TMyLocateDialog::dbFindNext);
    }

    void cancelledDialogKeepsItsChoicesForLocateNext()
    {
        Window w;
        w.f.catalog().settings().displayNames[0] = QStringLiteral("Book~Title");
        QStringList labels;
        TestSupport::whenModal([&] {
            auto *fields = TestSupport::modalControl<QComboBox>("FieldNameComboBox");
            for (int i = 0; i < fields->count(); ++i)
                labels << fields->itemText(i);
            fields->setCurrentIndex(fields->findText(QStringLiteral("Author")));
            TestSupport::modalControl<QLineEdit>("SearchValue")->setText(QStringLiteral("smi"));
            TestSupport::modalControl<QRadioButton>("PartialMatchAnyBtn")->setChecked(true);
            TestSupport::modalControl<QCheckBox>("CaseSensitiveCheckBox")->setChecked(true);
            TestSupport::modalControl<QPushButton>("BitBtn1")->click();
        });
        QVERIFY(!w.locate->Execute());
        QCOMPARE(labels.size(), CatalogFields::Count);
        QVERIFY(labels.contains(QStringLiteral("Book Title")));
        QVERIFY(std::is_sorted(labels.begin(), labels.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        }));
        QCOMPARE(w.locate->SearchField(), QStringLiteral("AUTHOR"));
        QCOMPARE(w.locate->FieldValue(), QStringLiteral("smi"));
        QCOMPARE(w.locate->MatchType(), TMyLocateDialog::mtPartialMatchAny);
        QVERIFY(w.locate->CaseSensitive());
        // Case-sensitive "smi" is in no author; without the case rule it is in SMITH.
        w.table().setRow(1);
        QVERIFY(!w.locate->FindNext());
        w.locate->setCaseSensitive(false);
        QVERIFY(w.locate->FindNext());
        QCOMPARE(w.currentAuthor(), QStringLiteral("SMITH"));
    }

    void dialogFirstAndNext()
    {
        Window w;
        w.locate->setSearchField(QStringLiteral("TITLE"));
        w.locate->setFieldValue(QStringLiteral("Book 9"));
        w.table().setRow(2);
        TestSupport::whenModal([&] {
            auto *fields = TestSupport::modalControl<QComboBox>("FieldNameComboBox");
            auto *value = TestSupport::modalControl<QLineEdit>("SearchValue");
            QCOMPARE(fields->currentText() + '|' + value->text(), QStringLiteral("Title|Book 9"));
            QVERIFY(TestSupport::modalControl<QRadioButton>("PartialMatchStartBtn")->isChecked());
            TestSupport::modalControl<QPushButton>("FirstButton")->click();
            QCOMPARE(messages(), QStringList{"Information|No matches found"});
            QVERIFY(QApplication::activeModalWidget());
            QCOMPARE(w.table().row(), 2);
            // Another field empties the value.
            fields->setCurrentIndex(fields->findText(QStringLiteral("Author")));
            QVERIFY(value->text().isEmpty());
            value->setText(QStringLiteral("smithers"));
            TestSupport::modalControl<QRadioButton>("ExactMatchBtn")->setChecked(true);
            TestSupport::modalControl<QPushButton>("NextButton")->click();
        });
        QVERIFY(w.locate->Execute());
        QCOMPARE(w.currentAuthor(), QStringLiteral("SMITHERS"));
        QCOMPARE(w.locate->MatchType(), TMyLocateDialog::mtExactMatch);
    }

    void fieldListKeepsEnterFromLocating()
    {
        Window w;
        TestSupport::whenModal([&] {
            QVERIFY(TestSupport::activate(QApplication::activeModalWidget()));
            auto *fields = TestSupport::modalControl<QComboBox>("FieldNameComboBox");
            auto *value = TestSupport::modalControl<QLineEdit>("SearchValue");
            auto *next = TestSupport::modalControl<QPushButton>("NextButton");
            // No field yet: the list has the focus and Enter does not locate.
            QCOMPARE(QApplication::focusWidget(), fields);
            QVERIFY(!next->isDefault());
            // A choice by key moves on to the value, where Enter locates again.
            value->setText(QStringLiteral("stale"));
            QTest::keyClick(fields, Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget(), value);
            QVERIFY(value->text().isEmpty());
            QVERIFY(next->isDefault());
            // Enter in the dropped-down list takes the entry and goes to the value.
            fields->setFocus();
            fields->showPopup();
            QTest::keyClick(fields->view(), Qt::Key_Down);
            QTest::keyClick(fields->view(), Qt::Key_Return);
            QVERIFY(!fields->view()->isVisible());
            QCOMPARE(fields->currentIndex(), 1);
            QCOMPARE(QApplication::focusWidget(), value);
        });
        QVERIFY(!w.locate->Execute());
    }

    void noActiveTable()
    {
        Window w;
        w.table().close();
        QVERIFY(!w.locate->Execute());
        QVERIFY(!w.locate->FindNext());
        QCOMPARE(messages(), QStringList({"Error|DataSource does not reference an active DataSet",
                                          "Warning|DataSource does not refer to an active table!"}));
        QCOMPARE(MessageService::shown().last().icon, MessageService::Icon::Warning);
    }
};

SHELFMARK_TEST(TestLocate)
#include "TestLocate.moc"
