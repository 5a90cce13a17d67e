// SHMKLIB.URP, the report-definitions file: a plain sequence of records of
// 20 622 bytes, no header. Integers are little-endian, margins IEEE doubles,
// strings a length byte and a fixed capacity of Windows-1252 characters (bytes
// past the length mean nothing). A record:
//
//      0  31   Name, capacity 30          338  1  ColumnHeaders  (0/1)
//     31   2   Width, int16               339  1  PageNumbers
//     33  61   TitleFont                  340  1  Landscape
//     94  61   ColumnHeaderFont           341  1  DateOnPages
//    155  61   BodyFont                   342  1  UseTotals
//    216  61   SpareFont                  343  2  NumLines, int16
//    277  61   FootnoteFont               345  1500  TotalsLine
//   1845  4x8  Top, Bottom, Left, Right margins, inches
//   1877   1   VertLines   1878  1  HorzLines
//   1879  3x81 Title1..3, capacity 80
//   2122  12 x 1500  BodyLines
//  20122   1   Level1Group   20123  1  Level2Group   20124  498  Reserved (zero)
//
// A font: FontName (capacity 50) 0, Size int16 51, Bold 53, Italic 54,
// Underline 55, StrikeOut 56, Color int32 57; 61 bytes. A line: 20 elements of
// 75 bytes: ElementName (capacity 30) 0, FieldNo byte 31, ElementWidth int16
// 32, LabelText (capacity 40) 34.

#include "ReportDefinition.h"

#include "framework/dbase/CodePage.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

const QString ReportElement::Filler = QStringLiteral("<FILLER>");
const QString ReportElement::Label = QStringLiteral("<LABEL>");

namespace {

constexpr int FontSize = 61;
constexpr int ElementSize = 75;
constexpr int LineSize = ReportLine::ElementCount * ElementSize;

namespace Offset {
constexpr int Name = 0;
constexpr int Width = 31;
constexpr int Fonts = 33;
constexpr int ColumnHeaders = 338;
constexpr int PageNumbers = 339;
constexpr int Landscape = 340;
constexpr int DateOnPages = 341;
constexpr int UseTotals = 342;
constexpr int NumLines = 343;
constexpr int TotalsLine = 345;
constexpr int Margins = 1845;
constexpr int VertLines = 1877;
constexpr int HorzLines = 1878;
constexpr int Titles = 1879;
constexpr int BodyLines = 2122;
constexpr int Level1Group = 20122;
constexpr int Level2Group = 20123;
} // namespace Offset

constexpr int NameCapacity = 30;
constexpr int FontNameCapacity = 50;
constexpr int TitleCapacity = 80;
constexpr int LabelCapacity = 40;

QString readString(const char *at, int capacity)
{
    const int length = std::min<int>(std::uint8_t(at[0]), capacity);
    QString text(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        text[i] = QChar(Cp1252::toUnicode(std::uint8_t(at[1 + i])));
    return text;
}

void writeString(char *at, int capacity, const QString &text)
{
    int length = 0;
    for (qsizetype i = 0; i < text.size() && length < capacity; ++i) {
        char32_t ch = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const std::uint8_t byte = Cp1252::fromUnicode(ch);
        at[1 + length++] = char(byte != 0 ? byte : '?');
    }
    at[0] = char(length);
}

int readInt16(const char *at)
{
    return qFromLittleEndian<qint16>(at);
}

void writeInt16(char *at, int value)
{
    qToLittleEndian<qint16>(qint16(value), at);
}

double readDouble(const char *at)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(at));
}

void writeDouble(char *at, double value)
{
    qToLittleEndian<quint64>(std::bit_cast<quint64>(value), at);
}

ReportFont readFont(const char *at)
{
    ReportFont font;
    font.name = readString(at, FontNameCapacity);
    font.size = readInt16(at + 51);
    font.bold = at[53] != 0;
    font.italic = at[54] != 0;
    font.underline = at[55] != 0;
    font.strikeOut = at[56] != 0;
    font.color = qFromLittleEndian<qint32>(at + 57);
    return font;
}

void writeFont(char *at, const ReportFont &font)
{
    writeString(at, FontNameCapacity, font.name);
    writeInt16(at + 51, font.size);
    at[53] = font.bold;
    at[54] = font.italic;
    at[55] = font.underline;
    at[56] = font.strikeOut;
    qToLittleEndian<qint32>(font.color, at + 57);
}

ReportLine readLine(const char *at)
{
    ReportLine line;
    for (ReportElement &element : line.elements) {
        element.name = readString(at, NameCapacity);
        element.fieldNo = std::uint8_t(at[31]);
        element.width = readInt16(at + 32);
        element.labelText = readString(at + 34, LabelCapacity);
        at += ElementSize;
    }
    return line;
}

void writeLine(char *at, const ReportLine &line)
{
    for (const ReportElement &element : line.elements) {
        writeString(at, NameCapacity, element.name);
        at[31] = char(element.fieldNo);
        writeInt16(at + 32, element.width);
        writeString(at + 34, LabelCapacity, element.labelText);
        at += ElementSize;
    }
}

// The earlier version's records, 19 831 bytes: Name 0 and Width 31 as now,
// 33-82 unused, ColumnHeaders 83, PageNumbers 84, UseTotals 85, NumLines 86
// (int16), TotalsLine 88, Title1..3 1588/1669/1750, BodyLines 1831.
namespace Old {
constexpr int ColumnHeaders = 83;
constexpr int PageNumbers = 84;
constexpr int UseTotals = 85;
constexpr int NumLines = 86;
constexpr int TotalsLine = 88;
constexpr int Titles = 1588;
constexpr int BodyLines = 1831;
// Its total 3 (Quantity) is total 5 now.
constexpr int OldQuantity = 3;
} // namespace Old

} // namespace

ReportLine ReportLine::undesigned()
{
    ReportLine line;
    for (ReportElement &element : line.elements)
        element.name = ReportElement::Filler;
    line.elements[0].width = 150;
    return line;
}

int ReportLine::usedCount() const
{
    const auto end =
        std::find_if(elements.begin(), elements.end(), [](const ReportElement &element) { return element.width <= 0; });
    return int(end - elements.begin());
}

void ReportLine::normalise(int width)
{
    int sum = 0;
    std::size_t stop = 0;
    for (;; ++stop) {
        ReportElement &element = elements[stop];
        if (element.width == 0)
            element.width = width;
        sum += element.width;
        if (sum >= width || stop == elements.size() - 1)
            break;
    }
    // Cut to fit, or grown at the last element.
    elements[stop].width -= sum - width;
    for (std::size_t i = stop + 1; i < elements.size(); ++i)
        elements[i] = {ReportElement::Filler, 0, 0, {}};
}

QByteArray ReportDefinition::toRecord() const
{
    QByteArray record(RecordSize, '\0');
    char *at = record.data();
    writeString(at + Offset::Name, NameCapacity, name);
    writeInt16(at + Offset::Width, width);
    const std::array<const ReportFont *, 5> fonts = {&titleFont, &columnHeaderFont, &bodyFont, &spareFont,
                                                     &footnoteFont};
    for (std::size_t i = 0; i < fonts.size(); ++i)
        writeFont(at + Offset::Fonts + int(i) * FontSize, *fonts[i]);
    at[Offset::ColumnHeaders] = columnHeaders;
    at[Offset::PageNumbers] = pageNumbers;
    at[Offset::Landscape] = landscape;
    at[Offset::DateOnPages] = dateOnPages;
    at[Offset::UseTotals] = useTotals;
    writeInt16(at + Offset::NumLines, numLines);
    writeLine(at + Offset::TotalsLine, totalsLine);
    const std::array<double, 4> margins = {topMargin, bottomMargin, leftMargin, rightMargin};
    for (std::size_t i = 0; i < margins.size(); ++i)
        writeDouble(at + Offset::Margins + 8 * int(i), margins[i]);
    at[Offset::VertLines] = vertLines;
    at[Offset::HorzLines] = horzLines;
    for (std::size_t i = 0; i < titles.size(); ++i)
        writeString(at + Offset::Titles + int(i) * (TitleCapacity + 1), TitleCapacity, titles[i]);
    for (std::size_t i = 0; i < bodyLines.size(); ++i)
        writeLine(at + Offset::BodyLines + int(i) * LineSize, bodyLines[i]);
    at[Offset::Level1Group] = level1Group;
    at[Offset::Level2Group] = level2Group;
    return record;
}

ReportDefinition ReportDefinition::fromRecord(const char *at)
{
    ReportDefinition d;
    d.name = readString(at + Offset::Name, NameCapacity);
    d.width = readInt16(at + Offset::Width);
    const std::array<ReportFont *, 5> fonts = {&d.titleFont, &d.columnHeaderFont, &d.bodyFont, &d.spareFont,
                                               &d.footnoteFont};
    for (std::size_t i = 0; i < fonts.size(); ++i)
        *fonts[i] = readFont(at + Offset::Fonts + int(i) * FontSize);
    d.columnHeaders = at[Offset::ColumnHeaders] != 0;
    d.pageNumbers = at[Offset::PageNumbers] != 0;
    d.landscape = at[Offset::Landscape] != 0;
    d.dateOnPages = at[Offset::DateOnPages] != 0;
    d.useTotals = at[Offset::UseTotals] != 0;
    d.numLines = readInt16(at + Offset::NumLines);
    d.totalsLine = readLine(at + Offset::TotalsLine);
    d.topMargin = readDouble(at + Offset::Margins);
    d.bottomMargin = readDouble(at + Offset::Margins + 8);
    d.leftMargin = readDouble(at + Offset::Margins + 16);
    d.rightMargin = readDouble(at + Offset::Margins + 24);
    d.vertLines = at[Offset::VertLines] != 0;
    d.horzLines = at[Offset::HorzLines] != 0;
    for (std::size_t i = 0; i < d.titles.size(); ++i)
        d.titles[i] = readString(at + Offset::Titles + int(i) * (TitleCapacity + 1), TitleCapacity);
    for (std::size_t i = 0; i < d.bodyLines.size(); ++i)
        d.bodyLines[i] = readLine(at + Offset::BodyLines + int(i) * LineSize);
    d.level1Group = at[Offset::Level1Group] != 0;
    d.level2Group = at[Offset::Level2Group] != 0;
    return d;
}

bool ReportDefinition::isEarlierBuiltIn(const char *oldRecord)
{
    static const std::array<const char *, 6> names = {
        "1 Line 90 Column Report",  "2 Line 120 Column Report", "Full Report",
        "Statistic/Summary Report", "1 Line Location Report",   "120 Column 4 Line Report",
    };
    const std::size_t length = std::uint8_t(oldRecord[Offset::Name]);
    return std::any_of(names.begin(), names.end(), [&](const char *name) {
        return std::strlen(name) == length && std::memcmp(oldRecord + Offset::Name + 1, name, length) == 0;
    });
}

ReportDefinition ReportDefinition::fromEarlierRecord(const char *at)
{
    ReportDefinition d;
    d.name = readString(at + Offset::Name, NameCapacity);
    d.width = readInt16(at + Offset::Width);
    d.columnHeaders = at[Old::ColumnHeaders] != 0;
    d.pageNumbers = at[Old::PageNumbers] != 0;
    d.useTotals = at[Old::UseTotals] != 0;
    d.numLines = readInt16(at + Old::NumLines);
    d.landscape = false;
    d.dateOnPages = true;
    ReportFont font;
    font.name = QStringLiteral("Courier New");
    font.size = d.width == 90 ? 10 : 8;
    d.bodyFont = d.spareFont = font;
    font.bold = true;
    d.titleFont = d.columnHeaderFont = d.footnoteFont = font;
    d.vertLines = d.horzLines = false;
    d.level1Group = true;
    d.level2Group = false;
    for (std::size_t i = 0; i < d.titles.size(); ++i)
        d.titles[i] = readString(at + Old::Titles + int(i) * (TitleCapacity + 1), TitleCapacity);
    d.totalsLine = readLine(at + Old::TotalsLine);
    for (ReportElement &element : d.totalsLine.elements) {
        if (element.fieldNo == Old::OldQuantity)
            element.fieldNo = TotalCount;
    }
    for (std::size_t i = 0; i < d.bodyLines.size(); ++i)
        d.bodyLines[i] = readLine(at + Old::BodyLines + int(i) * LineSize);
    return d;
}
