#pragma once

#include "framework/dbase/CodePage.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

class DateFormat;
class DbfRecord;
class DbfTable;

// The rows of the search grid are the 36 fields of the book record (row 1-36).
// Numeric and date rows compare with an operator: 1 equal, 2 greater, 3 less,
// 4 a range (greater than the lower bound and less than the upper one).
namespace SearchRows {

constexpr int Count = 36;
constexpr int KeyWordsRow = 23;
constexpr int CheckOutRow = 17;

enum class Type { Text, KeyWords, Numeric, Date };
Type type(int row);
// Numeric, date and value-list rows offer a choice under their "..." cell.
bool hasOptions(int row);

// The cell's edit mask: "c" for each character of a text field; for numeric
// and date rows the operator's symbol, then "c" (any character), "9"
// (optional digit), "0" (digit) places, "\" before a literal letter or sign,
// "/" for the date separator and ";1" when literals are kept in the text.
QString editMask(int row, int op);
// The same mask for a Qt line edit, with blanks for unfilled places (the cell
// text then always shows the symbols and keeps the places); empty for text
// rows, which take at most their field's width instead.
QString inputMask(const QString &editMask, QChar dateSeparator);
// For each place of such an input mask: whether it takes input (false for a
// literal).
std::vector<bool> inputPlaces(const QString &inputMask);
// A criterion cell after the row's operator changed: the new symbol in front
// of the value already typed, in the places of the new mask. A range keeps the
// value as its lower bound; a single value comes from the lower bound, or the
// upper one when the lower is blank. An empty cell stays empty.
QString applyOperator(const QString &cell, int row, int op, QChar dateSeparator);

} // namespace SearchRows

enum class SearchKind { Equal = 1, Greater = 2, Less = 3, Contains = 5, AnyWord = 6 };

// One stored criterion. Dates count days since 1899-12-30.
struct SearchItem
{
    static constexpr int MaxText = 110;

    QString text; // upper-cased text, the number as typed, or the date's day count
    double number = 0;
    double date = 0;
    int row = 0;
    SearchKind kind = SearchKind::Contains;
    bool levelEnd = false;
    bool isDate = false;
};

// The criteria of a search: pages of criteria stored as levels (at most 10),
// the criteria of a level all holding (AND), any level matching (OR); at most
// 75 items in all, a range counting as two.
class SearchCriteria
{
public:
    static constexpr int MaxItems = 75;
    static constexpr int MaxLevel = 10;

    enum class Outcome { Stored, Invalid, TooMany, NoCriteria };
    struct Result
    {
        Outcome outcome;
        int row = 0; // the row of an invalid criterion
    };

    using Page = std::array<QString, SearchRows::Count>;  // criterion cells, index row - 1
    using Operators = std::array<int, SearchRows::Count>; // per row, index row - 1

    // Stores a page as the next level. Invalid: a number or date that does not
    // convert, or a range with one bound only; nothing of the page is kept.
    // TooMany: the 76th item clears everything. NoCriteria: an empty page, the
    // stored levels stay. Numbers take "." as the decimal point whatever the
    // locale; dates are read in `dates`; an untouched date mask is no criterion.
    Result SaveFields(const Page &page, const Operators &operators, const DateFormat &dates);
    void ClearSearch();
    void nextLevel() { ++m_level; }

    int level() const { return m_level; }
    bool canFindMore() const { return m_level < MaxLevel; }
    const std::vector<SearchItem> &items() const { return m_items; }

private:
    std::vector<SearchItem> m_items;
    int m_level = 1;
};

// The criteria prepared for the records of one table: texts encoded to the
// table's bytes and upper-cased, fields found by position. Copies are cheap
// and independent of the criteria they came from.
class SearchTest
{
public:
    // Throws DbfError when the table lacks a field of the criteria.
    SearchTest(const std::vector<SearchItem> &items, const DbfTable &table);

    // Whether the record passes: a level whose criteria all hold. Text criteria
    // are contained in the field without regard to case (a key-word criterion:
    // any of its words); an empty date reads as before every date.
    bool BuildFilter(const DbfRecord &record) const;

private:
    struct Condition
    {
        SearchKind kind;
        bool isDate;
        bool levelEnd;
        int field;
        int offset;
        int width;
        double value;                  // number, or the date's Julian day
        std::vector<QByteArray> texts; // upper-cased bytes: the text, or the key words
    };
    bool holds(const Condition &condition, const DbfRecord &record) const;
    bool contains(const Condition &condition, const char *data) const;

    std::vector<Condition> m_conditions;
    CodePage m_codePage = CodePage::windows1252();
};
