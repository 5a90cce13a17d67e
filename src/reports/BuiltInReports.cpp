#include "BuiltInReports.h"

#include "storage/CatalogFields.h"

#include <QLatin1StringView>
#include <initializer_list>

namespace {

ReportElement fill(int width)
{
    return {ReportElement::Filler, 0, width, {}};
}

ReportElement label(const char *text, int width)
{
    return {ReportElement::Label, 0, width, QString::fromLatin1(text)};
}

// A book field by its name in the field definition table.
ReportElement field(const char *name, int width)
{
    for (int row = 1; row <= CatalogFields::Count; ++row) {
        if (QLatin1StringView(CatalogFields::row(row).name) == QLatin1StringView(name))
            return {QString::fromLatin1(name), row, width, {}};
    }
    Q_UNREACHABLE();
}

ReportElement total(int number, const char *name, int width)
{
    return {QString::fromLatin1(name), number, width, {}};
}

// The elements given, then fillers of width 0.
ReportLine line(std::initializer_list<ReportElement> elements)
{
    ReportLine result;
    std::size_t i = 0;
    for (const ReportElement &element : elements)
        result.elements[i++] = element;
    for (; i < result.elements.size(); ++i)
        result.elements[i] = fill(0);
    return result;
}

ReportFont arial(int size)
{
    ReportFont font;
    font.name = QStringLiteral("Arial");
    font.size = size;
    return font;
}

void setFonts(ReportDefinition &d, const ReportFont &font)
{
    d.titleFont = d.columnHeaderFont = d.bodyFont = d.spareFont = d.footnoteFont = font;
}

ReportDefinition common(const char *name)
{
    ReportDefinition d;
    d.name = QString::fromLatin1(name);
    d.width = 120;
    setFonts(d, arial(8));
    d.columnHeaders = d.pageNumbers = d.dateOnPages = d.useTotals = true;
    d.landscape = false;
    d.numLines = 1;
    d.topMargin = d.bottomMargin = d.leftMargin = d.rightMargin = 0.5;
    d.vertLines = d.horzLines = false;
    d.bodyLines.fill(ReportLine::undesigned());
    d.level1Group = true;
    d.level2Group = false;
    d.totalsLine = line({label("Cost:", 10), fill(1), total(1, "Cost", 12), label("Value:", 8), fill(1),
                         total(2, "Value", 12), label("Low Market:", 13), fill(1), total(3, "Low Market", 12),
                         label("High Market:", 14), fill(1), total(4, "High Market", 12), fill(60)});
    return d;
}

// Width 90 in Arial 10 with one ruled line per book.
ReportDefinition narrow(const char *name)
{
    ReportDefinition d = common(name);
    d.width = 90;
    setFonts(d, arial(10));
    d.vertLines = d.horzLines = true;
    return d;
}

// Width 120 in Arial 8 (the spare font "Courier"), several lines per book.
ReportDefinition multiLine(const char *name, int numLines)
{
    ReportDefinition d = common(name);
    d.spareFont.name = QStringLiteral("Courier");
    d.columnHeaders = false;
    d.numLines = numLines;
    return d;
}

} // namespace

namespace BuiltInReports {

std::vector<ReportDefinition> all()
{
    std::vector<ReportDefinition> reports;

    ReportDefinition shortNarrow = narrow("Short Narrow Report");
    shortNarrow.bodyLines[0] = line({field("Title", 59), field("YearPub", 5), field("Author", 27)});
    reports.push_back(shortNarrow);

    ReportDefinition twoLine = multiLine("2 Line 120 Column Report", 2);
    twoLine.bodyLines[0] =
        line({label("Title:", 6), fill(1), field("Title", 70), label("Category:", 11), fill(1), field("Category", 20)});
    twoLine.bodyLines[1] = line({label("Author:", 7), fill(1), field("Author", 60), label("Year Pub:", 11), fill(1),
                                 field("YearPub", 5), label("Rating:", 9), fill(1), field("Rating", 15)});
    reports.push_back(twoLine);

    const ReportLine titleAndType = line(
        {label("Title:", 6), fill(1), field("Title", 70), label("Book Type:", 11), fill(1), field("BookType", 20)});
    auto authorLine = [](int authorWidth) {
        return line({label("Author:", 7), fill(1), field("Author", authorWidth), label("Year Pub:", 11), fill(1),
                     field("YearPub", 5), label("Rating:", 9), fill(1), field("Rating", 15)});
    };
    auto categoryLine = [](int catalogLabelWidth) {
        return line({label("Category:", 9), fill(1), field("Category", 20), label("Catalog:", catalogLabelWidth),
                     fill(1), field("CatalogNum", 15), label("Sub Cat 1:", 12), fill(1), field("Sub1", 6),
                     label("Sub Cat 2:", 12), fill(1), field("Sub2", 6), label("Pages:", 8), fill(1),
                     field("Pages", 5)});
    };

    ReportDefinition fourLine = multiLine("4 Line Report", 4);
    fourLine.bodyLines[0] = titleAndType;
    fourLine.bodyLines[1] = authorLine(59);
    fourLine.bodyLines[2] = categoryLine(9);
    reports.push_back(fourLine);

    ReportDefinition full = multiLine("Full Report", 10);
    full.bodyLines[0] = titleAndType;
    full.bodyLines[1] = authorLine(60);
    full.bodyLines[2] = line({label("Publisher:", 10), fill(1), field("Publisher", 40), label("Editor:", 9), fill(1),
                              field("Editor", 30), label("ISBN:", 7), fill(1), field("ISBN", 20)});
    full.bodyLines[3] =
        line({label("Cost:", 7), fill(1), field("Cost", 12), label("Value:", 8), fill(1), field("Value", 12),
              label("Low Market:", 13), fill(1), field("LowMarket", 12), label("High Market:", 14), fill(1),
              field("HighMarket", 12), label("Cond:", 7), fill(1), field("Condition", 20)});
    full.bodyLines[4] = categoryLine(10);
    full.bodyLines[5] =
        line({label("Date Purchased:", 15), fill(1), field("PurchDate", 11), label("Where Purchased:", 18), fill(1),
              field("WherePurch", 30), label("Location:", 11), fill(1), field("Location", 30)});
    full.bodyLines[6] = line({label("Checked Out:", 12), fill(1), field("CheckOut", 3), label("Checkout Date:", 16),
                              fill(1), field("CheckDate", 11), label("Checked Out To:", 17), fill(1),
                              field("CheckName", 30), label("Edition:", 11), fill(1), field("Edition", 10)});
    full.bodyLines[7] = line({label("Vol:", 4), fill(1), field("Volume", 8), label("Issue:", 8), fill(1),
                              field("Issue", 8), label("Key Words:", 12), fill(1), field("KeyWords", 77)});
    full.bodyLines[8] = line({label("Desc:", 6), fill(1), field("Descriptio", 110)});
    reports.push_back(full);

    ReportDefinition location = narrow("Location Report");
    location.useTotals = false;
    location.bodyLines[0] = line({field("Title", 60), field("Location", 30)});
    reports.push_back(location);

    ReportDefinition checkout = common("Library Checkout Report");
    checkout.useTotals = false;
    checkout.vertLines = checkout.horzLines = true;
    checkout.level1Group = false;
    checkout.bodyLines[0] =
        line({field("Title", 60), field("CheckOut", 3), field("CheckDate", 12), field("CheckName", 30)});
    reports.push_back(checkout);

    ReportDefinition value = narrow("Value Report");
    value.bodyLines[0] = line(
        {field("Title", 42), field("Cost", 12), field("Value", 12), field("LowMarket", 12), field("HighMarket", 12)});
    reports.push_back(value);

    ReportDefinition summary = narrow("Statistic/Summary Report");
    summary.columnHeaders = false;
    summary.numLines = 0;
    summary.vertLines = summary.horzLines = false;
    reports.push_back(summary);

    return reports;
}

} // namespace BuiltInReports

namespace BuiltInReports {

ReportDefinition newReport()
{
    ReportDefinition d;
    d.width = 90;
    d.columnHeaders = d.pageNumbers = d.dateOnPages = d.useTotals = true;
    d.landscape = false;
    d.numLines = 1;
    d.topMargin = d.bottomMargin = d.leftMargin = d.rightMargin = 0.5;
    d.horzLines = d.vertLines = true;
    d.level1Group = true;
    d.level2Group = false;
    ReportFont courier;
    courier.name = QStringLiteral("Courier New");
    courier.size = 10;
    setFonts(d, courier);
    d.titleFont.bold = d.columnHeaderFont.bold = d.footnoteFont.bold = true;
    d.bodyLines.fill(ReportLine::undesigned());
    d.totalsLine = ReportLine::undesigned();
    return d;
}

} // namespace BuiltInReports
