#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class DbfTable;

// The catalog tables of the program's two earlier generations, one dBASE table
// each in the program directory, and their conversion into the open catalog:
//
//   2.x  B2LOG.DBF, 26 fields: any first field, then Title, Author, YearPub,
//        Publisher, Category, WherePurch, Cost, Value, Descriptio, ISBN,
//        Rating, PurchDate, BookType, CatalogNum, Sub1, Sub2, CheckOut,
//        CheckDate, CheckPerso, Volume, Issue, Edition, KeyWords, Pages,
//        Location. CheckPerso fills CheckName; Pages is a whole number that
//        may be written with thousands commas; every other field fills the
//        book field of its name, its value taken as text.
//   1.x  BLOG.DBF, 15 fields: any first field, then Title ... Rating as in
//        2.x, and PurchDay, PurchMonth, PurchYear, which make the purchase date.
//
// Field names compare without regard to case, on their first 10 characters.
class EarlierDatabase
{
public:
    enum class Generation { Second, First };

    // The earlier tables in `programDirectory` (their names in any case) that
    // are laid out as their generation's, 2.x first. A file in another layout,
    // or no dBASE table at all, is left out. A conversion that a crash cut short
    // is settled first: a table whose books reached the catalog is deleted now
    // rather than offered again.
    static std::vector<EarlierDatabase> find(const QString &programDirectory);

    Generation generation() const { return m_generation; }
    const QString &path() const { return m_path; }
    // The question whether to convert it, for a box captioned "Convert".
    QString question() const;

    // Adds a book to `catalog` for every record of the old table (deleted
    // records left out), in one bulk update, and then deletes the old table's
    // file. A value that does not convert to its new field leaves that field
    // empty and the record's other fields as they are. Throws Error with a
    // message for the user; when the books could not be added, `catalog` is as
    // it was before and the old file stays. While it runs, a note beside the
    // old file (its base + ".CNV") tells the next start, after a crash, whether
    // the books were stored. Answers the number of books added.
    int convertInto(DbfTable &catalog) const;

    // A 1.x purchase date from its month ("Jan" ... "Dec", exactly so, or a
    // number), day and year, read as month/day/year whatever date format the
    // user has chosen; null when they make no date.
    static QDate purchaseDate(const QString &day, const QString &month, const QString &year);
    // A 2.x page count: blanks around it and every "," removed, a whole
    // number; nothing when the text is none.
    static std::optional<int> pages(const QString &text);

private:
    EarlierDatabase(Generation generation, const QString &path) : m_generation(generation), m_path(path) {}

    Generation m_generation;
    QString m_path;
};
