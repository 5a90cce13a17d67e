#include "TestSupport.h"

#include "app/DateFormat.h"
#include "framework/dbase/DbfTable.h"
#include "search/SearchCriteria.h"
#include "storage/CatalogTable.h"

#include <QTest>
#include <algorithm>

namespace {

struct Cell
{
    int row;
    int op;
    QString text;
};
using Level = QList<Cell>;

SearchCriteria::Outcome store(SearchCriteria &criteria, const Level &level, const DateFormat &dates = {7, true})
{
    SearchCriteria::Page page;
    SearchCriteria::Operators operators;
    operators.fill(1);
    for (const Cell &cell : level) {
        page[std::size_t(cell.row - 1)] = cell.text;
        operators[std::size_t(cell.row - 1)] = cell.op;
    }
    return criteria.SaveFields(page, operators, dates).outcome;
}

// "kind:text" of each stored item, "|" between them.
QString describe(const SearchCriteria &criteria)
{
    QStringList items;
    for (const SearchItem &item : criteria.items())
        items << QStringLiteral("%1:%2").arg(int(item.kind)).arg(item.text);
    return items.join(QLatin1Char('|'));
}

// The first `cells` cells of a page holding ranges on the numeric and date
// rows and text elsewhere: all 36 make 44 items, the first 25 make 31.
Level rangesAndTexts(int cells)
{
    Level level;
    for (int row = 1; row <= cells; ++row) {
        const SearchRows::Type type = SearchRows::type(row);
        level << (type == SearchRows::Type::Numeric ? Cell{row, 4, QStringLiteral("> 1 AND < 9")}
                  : type == SearchRows::Type::Date  ? Cell{row, 4, QStringLiteral("> 01/01/2000 AND < 01/01/2001")}
                                                    : Cell{row, 1, QStringLiteral("x")});
    }
    return level;
}

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

        QTest::newRow("text") << 2 << 1 << 7 << "  müller, j.  "
                              << "5:MÜLLER, J.";
        QTest::newRow("key words") << 23 << 1 << 7 << "cat  dog"
                                   << "6:CAT  DOG";
        QTest::newRow("number") << 7 << 1 << 7 << "= 12.5     "
                                << "1:12.5";
        QTest::newRow("decimal comma") << 7 << 1 << 7 << "= 12,5"
                                       << "invalid";
        QTest::newRow("not a number") << 7 << 1 << 7 << "= inf"
                                      << "invalid";
        QTest::newRow("untouched number") << 7 << 1 << 7 << "=          "
                                          << "none";
        QTest::newRow("range") << 3 << 4 << 7 << "> 1900      AND < 2000    "
                               << "2:1900|3:2000";
        QTest::newRow("range, lower bound only") << 3 << 4 << 7 << "> 1900      AND <         "
                                                 << "invalid";
        QTest::newRow("range, upper bound only") << 3 << 4 << 7 << ">           AND < 2000    "
                                                 << "invalid";
        QTest::newRow("untouched range") << 3 << 4 << 7 << ">           AND <         "
                                         << "none";
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
        QCOMPARE(store(criteria, {{1, 1, QStringLiteral("kept")}}), SearchCriteria::Outcome::Stored);
        criteria.nextLevel();

        const auto stored = store(criteria, {{1, 1, QStringLiteral("new")}, {row, op, cell}}, {dateFormat, true});
        if (items == QLatin1String("invalid")) {
            QCOMPARE(stored, SearchCriteria::Outcome::Invalid);
            QCOMPARE(describe(criteria), QStringLiteral("5:KEPT"));
        } else {
            QCOMPARE(stored, SearchCriteria::Outcome::Stored);
            QCOMPARE(describe(criteria), QStringLiteral("5:KEPT|5:NEW") +
                                             (items == QLatin1String("none") ? QString() : QLatin1Char('|') + items));
            const auto &all = criteria.items();
            QVERIFY(all.back().levelEnd);
            QCOMPARE(std::count_if(all.begin(), all.end(), [](const SearchItem &i) { return i.levelEnd; }), 2);
        }
    }

    void pageErrors()
    {
        SearchCriteria criteria;
        QCOMPARE(store(criteria, {}), SearchCriteria::Outcome::NoCriteria);
        QCOMPARE(store(criteria, rangesAndTexts(36)), SearchCriteria::Outcome::Stored);
        criteria.nextLevel();
        SearchCriteria::Operators equal;
        equal.fill(1);
        const auto invalid =
            criteria.SaveFields({QStringLiteral("a"), {}, {}, {}, {}, {}, QStringLiteral("= x")}, equal, {});
        QCOMPARE(invalid.outcome, SearchCriteria::Outcome::Invalid);
        QCOMPARE(invalid.row, 7);
        QCOMPARE(store(criteria, {}), SearchCriteria::Outcome::NoCriteria);
        QCOMPARE(criteria.items().size(), std::size_t(44));
        QCOMPARE(criteria.level(), 2);

        QCOMPARE(store(criteria, rangesAndTexts(25)), SearchCriteria::Outcome::Stored);
        QCOMPARE(criteria.items().size(), std::size_t(SearchCriteria::MaxItems));
        criteria.nextLevel();
        QCOMPARE(store(criteria, {{1, 1, QStringLiteral("76th")}}), SearchCriteria::Outcome::TooMany);
        QVERIFY(criteria.items().empty());
        QCOMPARE(criteria.level(), 1);
    }

    void operatorChangeKeepsTheValue_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number to range") << 7 << "= 12.5     " << 4 << "> 12.5      AND <         ";
        QTest::newRow("range, upper only") << 7 << ">           AND < 10      " << 1 << "= 10       ";
        QTest::newRow("date to range") << 12 << "<  3/ 5/2001" << 4 << ">  3/ 5/2001 AND <   -  -    ";
        QTest::newRow("date range to equal") << 18 << ">   /  /     AND < 12/31/2000" << 1 << "= 12/31/2000";
        QTest::newRow("empty cell") << 7 << "" << 2 << "";
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
        row("blank date before every date", {{{12, 3, "< 01/01/1800"}}}, {"Beta"});
    }

    void recordTest()
    {
        QFETCH(QList<Level>, levels);
        QFETCH(QStringList, titles);
        struct Book
        {
            const char *title, *author;
            double cost;
            QDate bought;
            const char *keyWords;
            std::optional<double> pages;
        };
        const Book books[] = {
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
            QCOMPARE(store(criteria, level), SearchCriteria::Outcome::Stored);
            criteria.nextLevel();
        }
        const SearchTest test(criteria.items(), table);
        QStringList found;
        for (std::uint32_t recno = 1; recno <= table.physicalCount(); ++recno) {
            if (test.BuildFilter(table.physicalRecord(recno)))
                found << table.physicalRecord(recno).text(0);
        }
        QCOMPARE(found, titles);
        QVERIFY(!SearchTest({}, table).BuildFilter(table.physicalRecord(1)));
    }
};

SHELFMARK_TEST(TestSearchCriteria)
#include "TestSearchCriteria.moc"
