#pragma once

#include "app/DateFormat.h"
#include "app/NumberFormat.h"
#include "app/Settings.h"
#include "framework/dbase/DbfTable.h"
#include "framework/report/ReportRecording.h"
#include "framework/report/TReportFiler.h"
#include "framework/report/TReportPrinter.h"
#include "reports/ReportDefinition.h"
#include "reports/ReportGenerator.h"
#include "storage/CatalogTable.h"

#include "TestSupport.h"

#include <QDate>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

// A small catalog and the runs of a report over it, on Letter paper, dated
// 5 March 2001, in the U.S. number formats and the date format m/d/yy.
namespace ReportFixture {

inline const QDate Today(2001, 3, 5);

struct Book
{
    QString title, author;
    std::optional<double> year;
    QString category;
    std::optional<double> cost, value, low, high, pages;
    QString location, checkOut;
    QDate checkDate;
    QString checkName;
};

// Five books under four authors, one without an author; sorted by author.
inline QList<Book> books()
{
    return {
        {QStringLiteral("The Hobbit"),
         QStringLiteral("Tolkien, J.R.R."),
         1937,
         QStringLiteral("Fantasy"),
         12.5,
         40,
         30,
         55.25,
         310,
         QStringLiteral("Shelf 1"),
         QStringLiteral("No"),
         {},
         {}},
        {QStringLiteral("The Lord of the Rings: The Fellowship of the Ring, being the first part"),
         QStringLiteral("Tolkien, J.R.R."), 1954, QStringLiteral("Fantasy"), 1234.5, 2000, 1500, 2500.75, 1178,
         QStringLiteral("Shelf 1"), QStringLiteral("Yes"), QDate(2001, 2, 1), QStringLiteral("Anna")},
        {QStringLiteral("Œuvres complètes"),
         QStringLiteral("Molière"),
         1682,
         QStringLiteral("Drama"),
         8,
         {},
         {},
         {},
         {},
         QStringLiteral("Attic"),
         QStringLiteral("No"),
         {},
         {}},
        {QStringLiteral("Anonymous Ballads"),
         QString(),
         {},
         QStringLiteral("Poetry"),
         {},
         {},
         {},
         {},
         96,
         QString(),
         QString(),
         {},
         {}},
        {QStringLiteral("Ulysses"),
         QStringLiteral("Joyce, James"),
         1922,
         QStringLiteral("Novel"),
         0.99,
         3.5,
         2,
         4,
         730,
         QStringLiteral("Attic"),
         QStringLiteral("No"),
         {},
         {}},
    };
}

inline void add(DbfTable &table, const Book &b)
{
    auto set = [&](const char *name, const QString &text) {
        table.setText(table.field(QString::fromLatin1(name)), text);
    };
    auto number = [&](const char *name, std::optional<double> v) {
        table.setNumber(table.field(QString::fromLatin1(name)), v);
    };
    table.append();
    set("Title", b.title);
    set("Author", b.author);
    number("YearPub", b.year);
    set("Category", b.category);
    number("Cost", b.cost);
    number("Value", b.value);
    number("LowMarket", b.low);
    number("HighMarket", b.high);
    number("Pages", b.pages);
    set("Location", b.location);
    set("CheckOut", b.checkOut);
    table.setDate(table.field(u"CheckDate"), b.checkDate);
    set("CheckName", b.checkName);
    table.post();
}

// The catalog at dir/BOOKS.DBF, open in `table` ordered by `levels`.
inline void makeCatalog(const QTemporaryDir &dir, DbfTable &table, const QList<Book> &list = books(),
                        const CatalogTable::SortLevels &levels = {2, 0, 0, 0})
{
    const QString path = dir.filePath(QStringLiteral("BOOKS.DBF"));
    CatalogTable::create(path);
    {
        DbfTable writer;
        writer.open(path);
        for (const Book &b : list)
            add(writer, b);
    }
    table.close();
    table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, CatalogTable::sortString(levels)});
}

inline Settings settings(const CatalogTable::SortLevels &levels = {2, 0, 0, 0})
{
    Settings s{QString()};
    s.sortLevels = levels;
    return s;
}

inline const NumberFormat &usNumbers()
{
    static const NumberFormat format;
    return format;
}

inline void prepare(TBaseReport &engine)
{
    engine.setPageSize(QPageSize(QPageSize::Letter));
}

// Mode 3 into `path`; answers the number of pages.
inline int toText(const ReportDefinition &d, const DbfTable &table, const Settings &s, const QString &path,
                  const NumberFormat &numbers = usNumbers())
{
    ReportRecording discarded;
    TReportFiler filer(discarded);
    prepare(filer);
    ReportGenerator generator(d, ReportGenerator::Mode::File, table, s, numbers, DateFormat());
    generator.setTextFile(path);
    generator.setToday(Today);
    generator.attach(filer);
    filer.execute();
    return discarded.pageCount();
}

// Mode 2 into `recording`.
inline void record(const ReportDefinition &d, const DbfTable &table, const Settings &s, ReportRecording &recording,
                   const NumberFormat &numbers = usNumbers())
{
    TReportFiler filer(recording);
    prepare(filer);
    ReportGenerator generator(d, ReportGenerator::Mode::View, table, s, numbers, DateFormat());
    generator.setToday(Today);
    generator.attach(filer);
    filer.execute();
}

// The pages of a PDF file.
inline int pdfPages(const QString &path)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(TestSupport::readAll(path)).count(page));
}

} // namespace ReportFixture
