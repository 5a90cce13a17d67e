#include "MainWindowFixture.h"
#include "TestSupport.h"

#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "edit/TMyEdit.h"
#include "framework/ui/MessageService.h"
#include "search/TMySearch.h"
#include "search/TSearchOptions.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

// A main window on a catalog of one book per author ("Book 1", "Book 2", ...)
// and its search window, shown as the Search command shows it.
class Session
{
public:
    explicit Session(const QStringList &authors)
    {
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), authors);
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        main = &f.start();
        search = std::make_unique<TMySearch>(*main);
        search->show();
    }

    QTableWidget *grid() const { return search->findChild<QTableWidget *>(QStringLiteral("SearchGrid")); }
    QString cell(int row) const { return grid()->item(row - 1, 2)->text(); }
    void type(int row, const QString &text) { grid()->item(row - 1, 2)->setText(text); }
    QPushButton *button(const char *name) const { return search->findChild<QPushButton *>(QLatin1String(name)); }
    void click(const char *name) { button(name)->click(); }
    QString heading() const { return grid()->horizontalHeaderItem(2)->text(); }
    QStringList shown() const
    {
        QStringList authors = f.authorsShown();
        authors.sort();
        return authors;
    }
    QString lastMessage() const
    {
        const auto &shown = MessageService::shown();
        return shown.isEmpty() ? QString() : shown.last().caption + QStringLiteral(": ") + shown.last().text;
    }
    bool allCriteriaEmpty() const
    {
        for (int row = 1; row <= SearchRows::Count; ++row) {
            if (!cell(row).isEmpty())
                return false;
        }
        return true;
    }

    // Types into the row's cell editor as a user would, then leaves the cell.
    void typeKeys(int row, const QString &keys)
    {
        grid()->setCurrentCell(row - 1, 2);
        auto *editor = qobject_cast<QLineEdit *>(grid()->indexWidget(grid()->currentIndex()));
        QVERIFY(editor);
        QTest::keyClicks(editor, keys);
        grid()->setCurrentCell(row == 1 ? 1 : 0, 2);
    }

    // Clicks the row's "..." cell; `answer` acts on the options dialog that
    // comes up. False when none came up.
    bool clickOptions(int row, const std::function<void(TSearchOptions &)> &answer)
    {
        auto answered = std::make_shared<bool>(false);
        QTimer::singleShot(0, search.get(), [answer, answered] {
            if (auto *options = qobject_cast<TSearchOptions *>(QApplication::activeModalWidget())) {
                *answered = true;
                answer(*options);
            }
        });
        QTableWidgetItem *button = grid()->item(row - 1, 1);
        grid()->scrollToItem(button);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualItemRect(button).center());
        QCoreApplication::processEvents();
        return *answered;
    }

    MainWindowFixture f;
    TMain *main = nullptr;
    std::unique_ptr<TMySearch> search;
};

QStringList entries(TSearchOptions &options)
{
    QStringList texts;
    const auto *list = options.findChild<QListWidget *>(QStringLiteral("ListBox1"));
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void choose(TSearchOptions &options, int index)
{
    options.findChild<QListWidget *>(QStringLiteral("ListBox1"))->setCurrentRow(index);
    options.findChild<QPushButton *>(QStringLiteral("OkButton"))->click();
}

const QStringList Authors = {QStringLiteral("Smith"), QStringLiteral("Jones"), QStringLiteral("Brown"),
                             QStringLiteral("Smithson")};

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void levelsOrCriteriaAndAgainOnlyTheNewOnes()
    {
        Session s(Authors);
        QTableWidget *grid = s.grid();
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral(" FIELD"));
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral(" Title"));
        QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("..."));
        QCOMPARE(grid->item(1, 1)->background().color(), QColor(128, 128, 128));
        QCOMPARE(grid->item(0, 1)->text(), QString());
        QVERIFY(!(grid->item(0, 0)->flags() & Qt::ItemIsEditable));

        s.type(2, QStringLiteral("smith"));
        s.click("MoreButton");
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 2)"));
        QVERIFY(s.allCriteriaEmpty());
        s.type(2, QStringLiteral("  JONES "));
        s.click("OkButton");
        QVERIFY(s.main->searchOn());
        QVERIFY(!s.search->isVisible());
        QCOMPARE(s.shown(), (QStringList{"Jones", "Smith", "Smithson"}));

        // A second search while the first is on: its own criteria only, both
        // of one page holding.
        s.search->show();
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
        s.type(2, QStringLiteral("smith"));
        s.type(1, QStringLiteral("book 4"));
        s.click("OkButton");
        QVERIFY(s.main->searchOn());
        QCOMPARE(s.shown(), QStringList{"Smithson"});
        QVERIFY(MessageService::shown().isEmpty());
    }

    void leavingWithoutSearchingKeepsTheResult()
    {
        Session s(Authors);
        s.type(2, QStringLiteral("smith"));
        s.click("OkButton");
        const QStringList result = {"Smith", "Smithson"};
        QCOMPARE(s.shown(), result);

        s.search->show();
        QVERIFY(s.allCriteriaEmpty());
        s.click("ExitButton");
        QVERIFY(!s.search->isVisible());
        s.main->table()->refresh();
        QCOMPARE(s.shown(), result);

        s.search->show();
        s.type(2, QStringLiteral("jones"));
        s.click("MoreButton");
        s.click("ExitButton");
        s.main->table()->refresh();
        QVERIFY(s.main->searchOn());
        QCOMPARE(s.shown(), result);

        s.main->DoEndSearch();
        QCOMPARE(s.shown().size(), Authors.size());
    }

    void searchWithoutMatchEndsTheSearch()
    {
        Session s(Authors);
        s.type(2, QStringLiteral("smith"));
        s.click("OkButton");
        s.search->show();
        s.type(2, QStringLiteral("tolkien"));
        s.click("MoreButton");
        s.type(1, QStringLiteral("book 9"));
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Notice: No valid matches found.  Search Criteria will be cleared."));
        QVERIFY(!s.main->searchOn());
        QCOMPARE(s.shown().size(), Authors.size());
        QVERIFY(s.search->isVisible());
        QVERIFY(s.allCriteriaEmpty());
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
        QVERIFY(s.search->criteria().items().empty());
    }

    void pageErrorsKeepTheWindowOpen()
    {
        Session s(Authors);
        s.type(2, QStringLiteral("smith"));
        s.type(7, QStringLiteral("= 1,5"));
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Error: Invalid search criteria entered.  Please correct."));
        QCOMPARE(s.grid()->currentRow(), 6);
        QVERIFY(s.search->isVisible());
        QVERIFY(!s.main->searchOn());
        QVERIFY(s.search->criteria().items().empty());

        s.type(7, QString());
        s.click("MoreButton");
        s.type(2, QString());
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Error: No search criteria entered."));
        QCOMPARE(s.search->criteria().items().size(), std::size_t(1));
        QVERIFY(!s.main->searchOn());
    }

    void tenthLevelEndsFindMore()
    {
        Session s(Authors);
        for (int level = 1; level < 10; ++level) {
            QVERIFY(s.button("MoreButton")->isEnabled());
            s.type(2, QStringLiteral("nobody %1").arg(level));
            s.click("MoreButton");
        }
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 10)"));
        QVERIFY(!s.button("MoreButton")->isEnabled());
        s.type(2, QStringLiteral("smith"));
        s.click("OkButton");
        QCOMPARE(s.shown(), (QStringList{"Smith", "Smithson"}));
        QVERIFY(s.button("MoreButton")->isEnabled());
    }

    void seventySixthItemClearsTheSearch()
    {
        Session s(Authors);
        // 44 items a page: ranges on the numeric and date rows, text elsewhere.
        auto fillPage = [&s] {
            for (int row = 1; row <= SearchRows::Count; ++row) {
                if (SearchRows::type(row) == SearchRows::Type::Numeric)
                    s.type(row, QStringLiteral("> 1 AND < 2"));
                else if (SearchRows::type(row) == SearchRows::Type::Date)
                    s.type(row, DateFormat::current().format(QDate(2001, 3, 5)) + QStringLiteral(" AND ") +
                                    DateFormat::current().format(QDate(2001, 3, 6)));
                else
                    s.type(row, QStringLiteral("x"));
            }
        };
        for (int row : {3, 7, 8, 24, 29, 30, 12, 18})
            QVERIFY(s.clickOptions(row, [](TSearchOptions &options) { choose(options, 3); }));
        fillPage();
        s.click("MoreButton");
        QCOMPARE(s.search->criteria().items().size(), std::size_t(44));
        fillPage();
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Error: More than 75 search items have been entered.  This exceeds "
                                                 "the maximum allowable.  Search criteria will be cleared."));
        QVERIFY(s.search->criteria().items().empty());
        QVERIFY(s.allCriteriaEmpty());
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
        QVERIFY(!s.main->searchOn());
    }

    void masksAndOptions()
    {
        Session s(Authors);
        const QString sep = DateFormat::current().separator();

        s.typeKeys(7, QStringLiteral("12.5"));
        QCOMPARE(s.cell(7), QStringLiteral("= 12.5     "));
        s.typeKeys(12, QStringLiteral("03052001"));
        QCOMPARE(s.cell(12), QStringLiteral("= 03") + sep + QStringLiteral("05") + sep + QStringLiteral("2001"));
        s.typeKeys(18, QString()); // a cell only visited stays empty
        QCOMPARE(s.cell(18), QString());

        // A range for Cost, chosen while its cell is being edited: the typed
        // value stays, now as the lower bound.
        s.grid()->setCurrentCell(6, 2);
        QStringList operators;
        QVERIFY(s.clickOptions(7, [&operators](TSearchOptions &options) {
            QCOMPARE(options.findChild<QLabel *>(QStringLiteral("FieldNameLabel"))->text(), QStringLiteral("Cost"));
            QCOMPARE(options.selectedIndex(), 0);
            operators = entries(options);
            choose(options, 3);
        }));
        QCOMPARE(operators, (QStringList{" = ", " > ", " < ", " > X < "}));
        QCOMPARE(s.search->rowOperator(7), 4);
        QCOMPARE(s.cell(7), QStringLiteral("> 12.5      AND <         "));
        QCOMPARE(s.grid()->currentRow(), 6);
        auto *editor = qobject_cast<QLineEdit *>(s.grid()->indexWidget(s.grid()->currentIndex()));
        QVERIFY(editor);
        QCOMPARE(editor->displayText(), s.cell(7));

        // Cancel changes nothing; the date row keeps its "=".
        QVERIFY(s.clickOptions(12, [](TSearchOptions &options) {
            options.findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
        }));
        QCOMPARE(s.search->rowOperator(12), 1);

        // Value lists: the record editor's, and YES and NO for Checked Out.
        QComboBox *authors = s.main->recordEditor()->listCombo(1);
        authors->clear();
        authors->addItems({QStringLiteral("Austen, Jane"), QStringLiteral("Brontë, Emily")});
        QStringList offered;
        QVERIFY(s.clickOptions(2, [&offered](TSearchOptions &options) {
            offered = entries(options);
            choose(options, 1);
        }));
        QCOMPARE(offered, (QStringList{"Austen, Jane", "Brontë, Emily"}));
        QCOMPARE(s.cell(2), QStringLiteral("Brontë, Emily"));
        QCOMPARE(s.grid()->currentRow(), 1);
        QVERIFY(s.clickOptions(17, [&offered](TSearchOptions &options) {
            offered = entries(options);
            choose(options, 0);
        }));
        QCOMPARE(offered, (QStringList{"YES", "NO"}));
        QCOMPARE(s.cell(17), QStringLiteral("YES"));
        QVERIFY(!s.clickOptions(1, [](TSearchOptions &options) { options.reject(); }));

        // The range with one bound is refused; the operators outlive the showing.
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Error: Invalid search criteria entered.  Please correct."));
        QCOMPARE(s.grid()->currentRow(), 6);
        s.click("ExitButton");
        s.search->show();
        QVERIFY(s.allCriteriaEmpty());
        QCOMPARE(s.search->rowOperator(7), 4);
    }
};

SHELFMARK_TEST(TestSearchWindow)
#include "TestSearchWindow.moc"
