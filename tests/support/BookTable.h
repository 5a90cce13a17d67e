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

// Every leaf entry of a tag of the .MDX, as (record, key) in tree order.
std::vector<std::pair<std::uint32_t, QByteArray>> indexEntries(const QString &mdxPath, const QString &tag);

} // namespace TestSupport
