#pragma once

#include "framework/dbase/DbfHeader.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

class DbfTable;

// A small table of books for the engine's tests: Title C(30), Author C(20),
// YearPub N(11,0), Cost N(20,4), PurchDate D; 90 bytes a record.
namespace TestSupport {

std::vector<FieldDef> bookFields();

// The catalog table of the program's first generation, BLOG.DBF: any first
// field, then Title ... Rating and the purchase day, month and year.
std::vector<FieldDef> earlierFirstFields();

struct Book
{
    QString title;
    QString author;
    std::optional<double> year;
    std::optional<double> cost;
    QDate bought;
};

// Appends, fills and posts one book.
void appendBook(DbfTable &table, const Book &book);

// The tag of makeShelf's tables: the author, upper-cased.
inline const QString ShelfTag = QStringLiteral("NewIndex");
inline const QString ShelfKey = QStringLiteral("Upper(Left(Author,20))");

// Creates BOOKS.DBF in `folder` with `books` books, "Book i" by "Author (7i
// mod 100)" of the year i, deletes every `deleteEvery`-th and builds the tag
// ShelfTag. Answers the table's path.
QString makeShelf(const QString &folder, int books, int deleteEvery = 0);

// Every leaf entry of a tag of the .MDX, as (record, key) in tree order.
std::vector<std::pair<std::uint32_t, QByteArray>> indexEntries(const QString &mdxPath, const QString &tag);

} // namespace TestSupport
