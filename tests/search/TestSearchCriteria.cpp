#include "TestSupport.h"

#include "app/DateFormat.h"
#include "framework/dbase/DbfTable.h"
#include "search/SearchCriteria.h"
#include "storage/CatalogTable.h"

#include <QTest>

namespace {

// One criterion cell: row, operator, text.
struct Cell
{
    int row;
    int op;
    QString text;
};
using Level = QList<Cell>;

SearchCriteria::Result store(SearchCriteria &criteria, const Level &level, const DateFormat &dates = {7, true})
{
    SearchCriteria::Page page;
    SearchCriteria::Operators operators;
    operators.fill(1);
    for (const Cell &cell : level) {
        page[std::size_t(cell.row - 1)] = cell.text;
        operators[std::size_t(cell.row - 1)] = cell.op;
    }
    return criteria.SaveFields(page, operators, dates);
}

// "kind:text" of each stored item, "|" between them.
QString describe(const SearchCriteria &criteria)
{
    QStringList items;
    for (const SearchItem &item : criteria.items())
        items << QStringLiteral("%1:%2").arg(int(item.kind)).arg(item.text);
    return items.join(QLatin1Char('|'));
}

// A page of 44 items: ranges on the six numeric and two date rows, every
// text row filled.
Level fullPage()
{
    Level level;
    for (int row = 1; row <= SearchRows::Count; ++row) {
        switch (SearchRows::type(row)) {
        case SearchRows::Type::Numeric:
            level << Cell{row, 4, QStringLiteral("> 1 AND < 9")};
            break;
        case SearchRows::Type::Date:
            level << Cell{row, 4, QStringLiteral("> 01/01/2000 AND < 01/01/2001")};
            break;
        default:
            level << Cell{row, 1, QStringLiteral("x")};
        }
    }
    return level;
}

struct Book
{
    const char *title;
    const char *author;
    std::optional<double> cost;
    QDate bought;
    const char *keyWords;
    std::optional<double> pages;
};

} // namespace

class TestSearchCriteria : public QObject
{
    Q_OBJECT

private slots:
    void storesCell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("dateFormat");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("items"); // "invalid", "none" or the items stored

        QTest::newRow("text upper-cased, blanks trimmed") << 2 << 1 << 7 << "  smith, j.  "
                                                          << "5:SMITH, J.";
        QTest::newRow("accented text upper-cased") << 2 << 1 << 7 << "müller"
                                                   << "5:MÜLLER";
        QTest::newRow("key words") << 23 << 1 << 7 << "cat  dog"
                                   << "6:CAT  DOG";
        QTest::newRow("equal number") << 7 << 1 << 7 << "= 12.5     "
                                      << "1:12.5";
        QTest::newRow("greater number") << 24 << 2 << 7 << ">   300    "
                                        << "2:300";
        QTest::newRow("signed exponent") << 7 << 3 << 7 << "< -1.5e2"
                                         << "3:-1.5e2";
        QTest::newRow("decimal comma") << 7 << 1 << 7 << "= 12,5"
                                       << "invalid";
        QTest::newRow("trailing letter") << 7 << 1 << 7 << "= 12x"
                                         << "invalid";
        QTest::newRow("not a number") << 7 << 1 << 7 << "= inf"
                                      << "invalid";
        QTest::newRow("untouched number") << 7 << 1 << 7 << "=          "
                                          << "none";
        QTest::newRow("number range") << 3 << 4 << 7 << "> 1900      AND < 2000    "
                                      << "2:1900|3:2000";
        QTest::newRow("range, lower bound only") << 3 << 4 << 7 << "> 1900      AND <         "
                                                 << "invalid";
        QTest::newRow("range, upper bound only") << 3 << 4 << 7 << ">           AND < 2000    "
                                                 << "invalid";
        QTest::newRow("untouched range") << 3 << 4 << 7 << ">           AND <         "
                                         << "none";
        QTest::newRow("range bound not a number") << 3 << 4 << 7 << "> a AND < 2000"
                                                  << "invalid";
        QTest::newRow("date") << 12 << 1 << 7 << "= 03/05/2001"
                              << "1:36955";
        QTest::newRow("date, day first with dots") << 12 << 2 << 12 << "> 05.03.2001"
                                                   << "2:36955";
        QTest::newRow("untouched date /") << 12 << 1 << 7 << "=   /  /    "
                                          << "none";
        QTest::newRow("untouched date -") << 18 << 2 << 8 << ">   -  -    "
                                          << "none";
        QTest::newRow("untouched date .") << 18 << 3 << 9 << "<   .  .    "
                                          << "none";
        QTest::newRow("impossible date") << 12 << 1 << 7 << "= 13/45/2001"
                                         << "invalid";
        QTest::newRow("date range") << 18 << 4 << 7 << "> 03/05/2001 AND < 03/06/2001"
                                    << "2:36955|3:36956";
        QTest::newRow("date range, upper bound only") << 18 << 4 << 7 << ">   /  /     AND < 03/06/2001"
                                                      << "invalid";
        QTest::newRow("untouched date range") << 18 << 4 << 11 << ">   -  -     AND <   -  -    "
                                              << "none";
    }

    void storesCell()
    {
        QFETCH(int, row);
        QFETCH(int, op);
        QFETCH(int, dateFormat);
        QFETCH(QString, cell);
        QFETCH(QString, items);
        SearchCriteria criteria;
        const auto result = store(criteria, {{1, 1, QStringLiteral("kept")}}); // an earlier level
        QCOMPARE(result.outcome, SearchCriteria::Outcome::Stored);
        criteria.nextLevel();

        const auto stored = store(criteria, {{row, op, cell}}, DateFormat(dateFormat, true));
        if (items == QLatin1String("invalid")) {
            QCOMPARE(stored.outcome, SearchCriteria::Outcome::Invalid);
            QCOMPARE(stored.row, row);
            QCOMPARE(describe(criteria), QStringLiteral("5:KEPT"));
        } else if (items == QLatin1String("none")) {
            QCOMPARE(stored.outcome, SearchCriteria::Outcome::NoCriteria);
            QCOMPARE(describe(criteria), QStringLiteral("5:KEPT"));
        } else {
            QCOMPARE(stored.outcome, SearchCriteria::Outcome::Stored);
            QCOMPARE(describe(criteria), QStringLiteral("5:KEPT|") + items);
            QVERIFY(criteria.items().back().levelEnd);
        }
    }

    void invalidRowDiscardsItsWholePage()
    {
        SearchCriteria criteria;
        store(criteria, {{2, 1, QStringLiteral("smith")}});
        criteria.nextLevel();
        const auto result = store(criteria, {{1, 1, QStringLiteral("dune")},
                                             {3, 4, QStringLiteral("> 1950 AND < 1960")},
                                             {7, 1, QStringLiteral("= cheap")},
                                             {9, 1, QStringLiteral("never read")}});
        QCOMPARE(result.outcome, SearchCriteria::Outcome::Invalid);
        QCOMPARE(result.row, 7);
        QCOMPARE(describe(criteria), QStringLiteral("5:SMITH"));
        QCOMPARE(criteria.level(), 2);

        QCOMPARE(store(criteria, {{1, 1, QStringLiteral("dune")}, {24, 2, QStringLiteral("> 10")}}).outcome,
                 SearchCriteria::Outcome::Stored);
        std::vector<bool> ends;
        for (const SearchItem &item : criteria.items())
            ends.push_back(item.levelEnd);
        QCOMPARE(ends, (std::vector<bool>{true, false, true}));
    }

    void seventySixthItemClearsEverything()
    {
        SearchCriteria criteria;
        QCOMPARE(store(criteria, fullPage()).outcome, SearchCriteria::Outcome::Stored);
        QCOMPARE(criteria.items().size(), std::size_t(44));
        criteria.nextLevel();
        // 31 more make 75: rows 1-25 hold 25 cells, 6 of them ranges.
        Level upTo75 = fullPage();
        while (upTo75.size() > 25)
            upTo75.removeLast();
        QCOMPARE(store(criteria, upTo75).outcome, SearchCriteria::Outcome::Stored);
        QCOMPARE(criteria.items().size(), std::size_t(SearchCriteria::MaxItems));
        criteria.nextLevel();

        QCOMPARE(store(criteria, {{1, 1, QStringLiteral("one more")}}).outcome, SearchCriteria::Outcome::TooMany);
        QVERIFY(criteria.items().empty());
        QCOMPARE(criteria.level(), 1);
        QCOMPARE(store(criteria, {{1, 1, QStringLiteral("again")}}).outcome, SearchCriteria::Outcome::Stored);
    }

    void operatorChangeKeepsTheValue_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number to range") << 7 << "= 12.5     " << 4 << "> 12.5      AND <         ";
        QTest::newRow("range to less") << 7 << "> 5         AND < 10      " << 3 << "< 5        ";
        QTest::newRow("range with upper only") << 7 << ">           AND < 10      " << 1 << "= 10       ";
        QTest::newRow("date to greater") << 12 << "= 03/05/2001" << 2 << "> 03/05/2001";
        QTest::newRow("date to range") << 12 << "<  3/ 5/2001" << 4 << ">  3/ 5/2001 AND <   -  -    ";
        QTest::newRow("date range to equal") << 18 << ">   /  /     AND < 12/31/2000" << 1 << "= 12/31/2000";
        QTest::newRow("untouched date") << 18 << "=   /  /    " << 3 << "<   -  -    ";
        QTest::newRow("empty cell") << 7 << "" << 2 << "";
        QTest::newRow("text row") << 1 << "= dune" << 2 << "= dune";
    }

    void operatorChangeKeepsTheValue()
    {
        QFETCH(int, row);
        QFETCH(QString, cell);
        QFETCH(int, op);
        QFETCH(QString, expected);
        QCOMPARE(SearchRows::applyOperator(cell, row, op, QLatin1Char('-')), expected);
    }

    void recordTest_data()
    {
        QTest::addColumn<QList<Level>>("levels");
        QTest::addColumn<QStringList>("titles");
        auto row = [](const char *name, QList<Level> levels, QStringList titles) {
            QTest::newRow(name) << levels << titles;
        };
        auto text = [](int r, const char *t) { return Cell{r, 1, QString::fromUtf8(t)}; };
        row("levels OR-ed", {{text(2, "smith")}, {text(2, "jones")}}, {"Alpha", "Beta", "Gamma"});
        row("criteria AND-ed", {{text(2, "smith"), {7, 2, "> 10"}}}, {"Alpha"});
        row("a failed level does not spoil the next", {{{7, 2, "> 100"}, text(2, "brown")}, {text(1, "delta")}},
            {"Delta"});
        row("any key word", {{text(23, "cat dog")}}, {"Alpha", "Beta", "Delta"});
        row("key words after two blanks", {{text(23, "dog  birds")}}, {"Beta", "Gamma", "Delta"});
        row("accents without regard to case", {{text(2, "MüLLER")}}, {"Delta"});
        row("character the table cannot hold", {{text(2, "smith \u65e5")}}, {});
        row("key word the table cannot hold", {{text(23, "\u65e5 birds")}}, {"Gamma"});
        row("numbers compare exactly", {{{7, 1, "= 12.5"}}}, {"Alpha", "Epsilon"});
        row("blank number reads as zero", {{{24, 3, "< 1"}}}, {"Beta"});
        row("range excludes its bounds", {{{12, 4, "> 01/01/2000 AND < 12/31/2000"}}}, {"Alpha"});
        row("equal date", {{{12, 1, "= 12/31/1999"}}}, {"Gamma"});
        row("blank date before every date", {{{12, 3, "< 01/01/1800"}}}, {"Beta"});
    }

    void recordTest()
    {
        QFETCH(QList<Level>, levels);
        QFETCH(QStringList, titles);
        const QList<Book> books = {
            {"Alpha", "Smith, John", 12.5, QDate(2000, 6, 15), "cat stories", 100},
            {"Beta", "Smithson, Ann", 5, {}, "dog tales", {}},
            {"Gamma", "Jones, Mary", 25, QDate(1999, 12, 31), "birds", 300},
            {"Delta", "Müller, Hans", 0, QDate(2001, 1, 1), "Cat and Dog", 50},
            {"Epsilon", "Brown", 12.5, QDate(2000, 1, 1), "", 200},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
        CatalogTable::create(path);
        DbfTable table;
        table.open(path);
        for (const Book &b : books) {
            table.append();
            table.setText(0, QString::fromUtf8(b.title));
            table.setText(1, QString::fromUtf8(b.author));
            table.setNumber(6, b.cost);
            table.setDate(11, b.bought);
            table.setText(22, QString::fromUtf8(b.keyWords));
            table.setNumber(23, b.pages);
            table.post();
        }

        SearchCriteria criteria;
        for (const Level &level : levels) {
            QCOMPARE(store(criteria, level).outcome, SearchCriteria::Outcome::Stored);
            criteria.nextLevel();
        }
        const SearchTest test(criteria.items(), table);
        QStringList found;
        for (std::uint32_t recno = 1; recno <= table.physicalCount(); ++recno) {
            const DbfRecord record = table.physicalRecord(recno);
            if (test.BuildFilter(record))
                found << record.text(0);
        }
        QCOMPARE(found, titles);
        QVERIFY(!SearchTest({}, table).BuildFilter(table.physicalRecord(1)));
    }
};

SHELFMARK_TEST(TestSearchCriteria)
#include "TestSearchCriteria.moc"
