#include "BookTable.h"

#include "TestSupport.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/MdxFile.h"

namespace TestSupport {

std::vector<FieldDef> bookFields()
{
    return {FieldDef::text(QStringLiteral("Title"), 30), FieldDef::text(QStringLiteral("Author"), 20),
            FieldDef::number(QStringLiteral("YearPub"), 11, 0), FieldDef::number(QStringLiteral("Cost"), 20, 4),
            FieldDef::date(QStringLiteral("PurchDate"))};
}

std::vector<FieldDef> earlierFirstFields()
{
    const auto text = [](const char *name, int width) { return FieldDef::text(QString::fromLatin1(name), width); };
    const auto number = [](const char *name, int width, int decimals) {
        return FieldDef::number(QString::fromLatin1(name), width, decimals);
    };
    return {number("Id", 5, 0),    text("TITLE", 60),      text("AUTHOR", 40),     number("YEARPUB", 4, 0),
            text("PUBLISHER", 40), text("CATEGORY", 20),   text("WHEREPURCH", 30), number("COST", 8, 2),
            number("VALUE", 8, 2), text("DESCRIPTIO", 80), text("ISBN", 20),       text("RATING", 15),
            text("PURCHDAY", 2),   text("PURCHMONTH", 4),  text("PURCHYEAR", 4)};
}

void appendBook(DbfTable &table, const Book &book)
{
    table.append();
    table.setText(0, book.title);
    table.setText(1, book.author);
    table.setNumber(2, book.year);
    table.setNumber(3, book.cost);
    table.setDate(4, book.bought);
    table.post();
}

QString makeShelf(const QString &folder, int books, int deleteEvery)
{
    const QString path = folder + QStringLiteral("/BOOKS.DBF");
    DbfTable::create(path, bookFields());
    DbfTable table;
    table.open(path, DbfTable::Access::Exclusive);
    table.beginBulkUpdate();
    for (int i = 0; i < books; ++i)
        appendBook(table, {QStringLiteral("Book %1").arg(i), QStringLiteral("Author %1").arg(i * 7 % 100), i, {}, {}});
    table.endBulkUpdate();
    for (int r = deleteEvery; deleteEvery > 0 && r <= books; r += deleteEvery) {
        table.goToRecord(std::uint32_t(r));
        table.deleteRecord();
    }
    table.addIndex(ShelfTag, ShelfKey, true);
    return path;
}

std::vector<std::pair<std::uint32_t, QByteArray>> indexEntries(const QString &mdxPath, const QString &tag)
{
    const QByteArray bytes = readAll(mdxPath);
    const MdxReader reader(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
    const MdxTag *t = reader.tag(tag);
    if (!t)
        return {};
    std::vector<std::pair<std::uint32_t, QByteArray>> entries;
    reader.walk(*t, [&](std::uint32_t record, const std::uint8_t *key) {
        entries.emplace_back(record, QByteArray(reinterpret_cast<const char *>(key), t->keyLength));
    });
    return entries;
}

} // namespace TestSupport
