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

const QStringList Authors = {"Smith", "Jones", "Brown", "Smithson"}; // "Book 1" ... "Book 4"

// A main window on a catalog of one book per author and its search window,
// shown as the Search command shows it.
struct Session
{
    Session()
    {
        const QString books = f.makeCatalog(QStringLiteral("BOOKS.DBF"), Authors);
        f.writeGlobalSettings("[Misc]\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        main = &f.start();
        search = std::make_unique<TMySearch>(main->catalog(), main->look(), main);
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
    bool pageEmpty() const
    {
        for (int row = 1; row <= SearchRows::Count; ++row) {
            if (!cell(row).isEmpty())
                return false;
        }
        return true;
    }
    QLineEdit *editor() const { return qobject_cast<QLineEdit *>(grid()->indexWidget(grid()->currentIndex())); }

    // Types into the row's cell editor as a user would, then leaves the cell.
    void typeKeys(int row, const QString &keys)
    {
        grid()->setCurrentCell(row - 1, 2);
        QTest::keyClicks(editor(), keys);
        grid()->setCurrentCell(row == 1 ? 1 : 0, 2);
    }

    // Clicks the row's "..." cell and lets `answer` act on the options dialog;
    // false when none came up.
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

// Chooses entry `index` and answers Ok; `entries` gets what the list offered.
std::function<void(TSearchOptions &)> choose(int index, QStringList *entries = nullptr)
{
    return [index, entries](TSearchOptions &options) {
        auto *list = options.findChild<QListWidget *>(QStringLiteral("ListBox1"));
        for (int i = 0; entries && i < list->count(); ++i)
            *entries << list->item(i)->text();
        list->setCurrentRow(index);
        options.findChild<QPushButton *>(QStringLiteral("OkButton"))->click();
    };
}

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::installMessageFilter(); }

    void levelsOrCriteriaAndAgainOnlyTheNewOnes()
    {
        Session s;
        QCOMPARE(s.grid()->item(0, 0)->text(), QStringLiteral(" Title"));
        QCOMPARE(s.grid()->item(1, 1)->background().color(), QColor(128, 128, 128));
        s.type(2, QStringLiteral("smith"));
        s.click("MoreButton");
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 2)"));
        QVERIFY(s.pageEmpty());
        s.type(2, QStringLiteral("  JONES "));
        s.click("OkButton");
        QVERIFY(s.main->catalog().searchOn());
        QVERIFY(!s.search->isVisible());
        QCOMPARE(s.shown(), (QStringList{"Jones", "Smith", "Smithson"}));

        // Again while the search is on: this page only, both criteria holding.
        s.search->show();
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
        s.type(2, QStringLiteral("smith"));
        s.type(1, QStringLiteral("book 4"));
        s.click("OkButton");
        QCOMPARE(s.shown(), QStringList{"Smithson"});
        QVERIFY(MessageService::shown().isEmpty());
    }

    void leavingKeepsTheResultNoMatchEndsIt()
    {
        Session s;
        s.type(2, QStringLiteral("smith"));
        s.click("OkButton");
        const QStringList result = {"Smith", "Smithson"};
        s.search->show();
        QVERIFY(s.pageEmpty());
        s.click("ExitButton");
        s.main->catalog().table().refresh();
        QCOMPARE(s.shown(), result);

        s.search->show();
        s.type(2, QStringLiteral("jones"));
        s.click("MoreButton");
        s.click("ExitButton");
        s.main->catalog().table().refresh();
        QVERIFY(s.main->catalog().searchOn());
        QCOMPARE(s.shown(), result);

        // A search that finds nothing ends the search and clears the page.
        s.search->show();
        s.type(2, QStringLiteral("tolkien"));
        s.click("MoreButton");
        s.type(1, QStringLiteral("book 9"));
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Notice: No valid matches found.  Search Criteria will be cleared."));
        QVERIFY(!s.main->catalog().searchOn());
        QCOMPARE(s.shown().size(), Authors.size());
        QVERIFY(s.search->isVisible() && s.pageEmpty());
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));
    }

    void pageErrorsAndLimits()
    {
        Session s;
        s.type(2, QStringLiteral("smith"));
        s.type(7, QStringLiteral("= 1,5"));
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Error: Invalid search criteria entered.  Please correct."));
        QCOMPARE(s.grid()->currentRow(), 6);
        QVERIFY(s.search->isVisible() && !s.main->catalog().searchOn());

        s.type(7, QString());
        s.click("MoreButton");
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Error: No search criteria entered."));
        QCOMPARE(s.search->criteria().items().size(), std::size_t(1));

        // 28 text rows a page: the third page passes 75 items.
        for (const char *button : {"MoreButton", "MoreButton", "OkButton"}) {
            for (int row = 1; row <= SearchRows::Count; ++row) {
                const SearchRows::Type type = SearchRows::type(row);
                const bool text = type == SearchRows::Type::Text || type == SearchRows::Type::KeyWords;
                s.type(row, text ? QStringLiteral("x") : QString());
            }
            s.click(button);
        }
        QCOMPARE(s.lastMessage(),
                 QStringLiteral("Error: More than 75 search items have been entered.  This exceeds the "
                                "maximum allowable.  Search criteria will be cleared."));
        QVERIFY(s.search->criteria().items().empty() && s.pageEmpty());
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 1)"));

        // Find More stops at level 10, Ok does not.
        for (int level = 1; level < 10; ++level) {
            QVERIFY(s.button("MoreButton")->isEnabled());
            s.type(2, QStringLiteral("nobody"));
            s.click("MoreButton");
        }
        QCOMPARE(s.heading(), QStringLiteral(" SEARCH CRITERIA    (Level 10)"));
        QVERIFY(!s.button("MoreButton")->isEnabled());
        s.type(2, QStringLiteral("smith"));
        s.click("OkButton");
        QCOMPARE(s.shown(), (QStringList{"Smith", "Smithson"}));
        QVERIFY(s.button("MoreButton")->isEnabled());
    }

    // Enter stores the criterion and leaves the cell highlighted; a click on
    // it and keys typed at once, every one of them reaches the cell.
    // The window opens on the first criterion: keys typed at once go there.
    void keysTypedAtOnceGoToTheFirstCriterion()
    {
        Session s;
        TestSupport::activate(s.search.get());
        QTRY_VERIFY(QApplication::focusWidget());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Book 4"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(s.cell(1), QStringLiteral("Book 4"));
    }

    void keysTypedRightAfterAClickOnTheCursorReachTheCell()
    {
        Session s;
        QVERIFY(TestSupport::activate(s.search.get()));
        const auto clickAndType = [&s](int row, const QString &keys) {
            s.grid()->setCurrentCell(row - 1, 2);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(!s.editor());
            const QRect cell = s.grid()->visualItemRect(s.grid()->item(row - 1, 2));
            QTest::mouseClick(s.grid()->viewport(), Qt::LeftButton, {}, cell.center());
            // Each key to the widget that has the focus when it comes, as the
            // keyboard sends it.
            for (const QChar key : keys)
                QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
        clickAndType(2, QStringLiteral("jones"));
        QTRY_COMPARE(s.cell(2), QStringLiteral("jones"));
        clickAndType(3, QStringLiteral("1950"));
        QTRY_COMPARE(s.cell(3), QStringLiteral("= 1950     "));
    }

    void masksAndOptions()
    {
        Session s;
        const QString sep = DateFormat::current().separator();
        s.typeKeys(7, QStringLiteral("12.5"));
        QCOMPARE(s.cell(7), QStringLiteral("= 12.5     "));
        s.typeKeys(12, QStringLiteral("03052001"));
        QCOMPARE(s.cell(12), QStringLiteral("= 03") + sep + QStringLiteral("05") + sep + QStringLiteral("2001"));
        s.typeKeys(18, QString()); // only visited
        QCOMPARE(s.cell(18), QString());

        // A range chosen while the cell is being edited: the value stays, as
        // the lower bound, in the editor too.
        s.grid()->setCurrentCell(6, 2);
        QStringList operators;
        QVERIFY(s.clickOptions(7, choose(3, &operators)));
        QCOMPARE(operators, (QStringList{" = ", " > ", " < ", " > X < "}));
        QCOMPARE(s.search->rowOperator(7), 4);
        QCOMPARE(s.cell(7), QStringLiteral("> 12.5      AND <         "));
        QCOMPARE(s.editor()->displayText(), s.cell(7));
        QVERIFY(s.clickOptions(12, [](TSearchOptions &options) { options.reject(); }));
        QCOMPARE(s.search->rowOperator(12), 1);

        QComboBox *authors = s.main->recordEditor()->listCombo(1);
        authors->clear();
        authors->addItems({QStringLiteral("Austen, Jane"), QStringLiteral("Brontë, Emily")});
        QStringList offered;
        QVERIFY(s.clickOptions(2, choose(1, &offered)));
        QCOMPARE(offered, (QStringList{"Austen, Jane", "Brontë, Emily"}));
        QCOMPARE(s.cell(2), QStringLiteral("Brontë, Emily"));
        offered.clear();
        QVERIFY(s.clickOptions(17, choose(0, &offered)));
        QCOMPARE(offered, (QStringList{"YES", "NO"}));
        QVERIFY(!s.clickOptions(1, choose(0)));

        // The range with one bound is refused; operators outlive the showing.
        s.click("OkButton");
        QCOMPARE(s.lastMessage(), QStringLiteral("Error: Invalid search criteria entered.  Please correct."));
        QCOMPARE(s.grid()->currentRow(), 6);
        s.click("ExitButton");
        s.search->show();
        QVERIFY(s.pageEmpty());
        QCOMPARE(s.search->rowOperator(7), 4);
    }
};

SHELFMARK_TEST(TestSearchWindow)
#include "TestSearchWindow.moc"
