#include "ImportRun.h"

#include "DelimitedReader.h"
#include "app/DateFormat.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// A value of a dBASE field as text: memo line breaks and other control
// characters become one blank a run, and at most the length of a text value.
QString tableText(const QString &stored)
{
    QString text;
    text.reserve(std::min(stored.size(), qsizetype(DelimitedReader::MaxValueLength)));
    bool inControl = false;
    for (const QChar c : stored) {
        if (text.size() == DelimitedReader::MaxValueLength)
            break;
        if (c.unicode() < 32) {
            if (!inControl)
                text.append(QLatin1Char(' '));
            inControl = true;
            continue;
        }
        inControl = false;
        text.append(c);
    }
    return text;
}

// An amount of the import: an optional sign, then digits with "." as the
// decimal point whatever the money format in force, commas allowed only
// between groups of three digits before the point ("1,234.50"). Nothing when
// the text is no such number ("12,50", "1.234,5", "12 dollars").
std::optional<double> readAmount(QStringView text)
{
    std::array<char, 64> plain{};
    std::size_t length = 0;
    const auto put = [&](QChar c) {
        if (length == plain.size())
            return false;
        plain[length++] = char(c.unicode());
        return true;
    };
    const auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            put(text[i]);
        ++i;
    }
    qsizetype group = 0; // digits since the start or the last comma
    bool grouped = false;
    for (; i < text.size() && (isDigit(text[i]) || text[i] == QLatin1Char(',')); ++i) {
        if (text[i] != QLatin1Char(',')) {
            if (!put(text[i]))
                return std::nullopt;
            ++group;
            continue;
        }
        if (grouped ? group != 3 : group == 0 || group > 3)
            return std::nullopt;
        grouped = true;
        group = 0;
    }
    if (grouped && group != 3)
        return std::nullopt;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        do {
            if (!put(text[i++]))
                return std::nullopt;
        } while (i < text.size() && isDigit(text[i]));
    }
    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + length, value);
    if (i != text.size() || result.ec != std::errc() || result.ptr != plain.data() + length)
        return std::nullopt;
    return value;
}

// The character at `i`, a surrogate pair taken whole; `i` moves past it.
char32_t nextCharacter(QStringView text, qsizetype &i)
{
    const char16_t unit = text[i++].unicode();
    if (QChar::isHighSurrogate(unit) && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text[i++].unicode());
    return unit;
}

QString countText(int count, const char *one, const char *many)
{
    return count == 1 ? QString::fromLatin1(one) : QString::fromLatin1(many).arg(count);
}

} // namespace

ImportRun::ImportRun(DbfTable &catalog, std::vector<int> mapping)
    : m_catalog(catalog), m_mapping(std::move(mapping)), m_today(QDate::currentDate())
{
    m_fields.reserve(CatalogFields::Count);
    for (const CatalogField &row : CatalogFields::rows)
        m_fields.push_back(catalog.fieldIndex(QString::fromLatin1(row.name)));
}

template <typename Fill> void ImportRun::run(Fill &&fill)
{
    m_catalog.beginBulkUpdate();
    try {
        fill();
    } catch (...) {
        // What was posted stays; the book being filled is dropped.
        m_catalog.cancel();
        m_catalog.endBulkUpdate();
        throw;
    }
    m_catalog.endBulkUpdate();
}

bool ImportRun::posted()
{
    m_catalog.post();
    ++m_imported;
    if (m_progress && m_imported % ProgressStride == 0 && !m_progress(m_imported)) {
        m_cancelled = true;
        return false;
    }
    return true;
}

void ImportRun::importText(QByteArrayView bytes, bool skipFirst)
{
    DelimitedReader reader(bytes);
    if (skipFirst)
        reader.readLine();
    const qsizetype fields = qsizetype(m_mapping.size());
    run([&] {
        while (reader.readLine()) {
            if (reader.isEmptyLine())
                continue;
            m_repairs.malformedLines += reader.isMalformed() ? 1 : 0;
            m_repairs.overfullLines += reader.valueCount() > fields ? 1 : 0;
            m_catalog.append();
            const qsizetype count = std::min(reader.valueCount(), fields);
            for (qsizetype i = 0; i < count; ++i) {
                const int row = m_mapping[std::size_t(i)];
                if (row > 0)
                    storeText(row, reader.value(i));
            }
            if (!posted())
                return;
        }
    });
}

void ImportRun::importTable(const DbfTable &source)
{
    const int fields = std::min(int(m_mapping.size()), int(source.fields().size()));
    run([&] {
        for (int row = 0; row < source.recordCount(); ++row) {
            const DbfRecord record = source.recordAt(row);
            m_catalog.append();
            for (int field = 0; field < fields; ++field) {
                const int bookRow = m_mapping[std::size_t(field)];
                if (bookRow > 0)
                    storeTableValue(bookRow, record, source.fields()[std::size_t(field)].type, field);
            }
            if (!posted())
                return;
        }
    });
}

// Dates and numbers of a dBASE source go over as they are; a text value of
// another kind of field takes the text conversions.
void ImportRun::storeTableValue(int row, const DbfRecord &record, char type, int field)
{
    const FieldKind kind = CatalogFields::row(row).kind;
    const int target = m_fields[std::size_t(row - 1)];
    if (type == 'D') {
        const QDate date = record.date(field);
        if (kind == FieldKind::Date && date.isValid())
            storeDate(target, date);
        else if (date.isValid())
            storeText(row, DateFormat::current().format(date));
        else
            storeText(row, tableText(record.text(field)));
        return;
    }
    if ((type == 'N' || type == 'F') && (kind == FieldKind::Whole || kind == FieldKind::Decimal)) {
        const std::optional<double> number = record.number(field);
        if (!number) {
            storeText(row, record.text(field));
        } else if (kind == FieldKind::Whole && *number != std::trunc(*number)) {
            ++m_repairs.unreadableNumbers;
        } else if (!storeNumber(target, *number)) {
            ++(kind == FieldKind::Whole ? m_repairs.unreadableNumbers : m_repairs.unreadableAmounts);
        }
        return;
    }
    if (type == 'L') {
        const std::optional<bool> logical = record.logical(field);
        storeText(row, logical ? (*logical ? QStringLiteral("Yes") : QStringLiteral("No")) : QString());
        return;
    }
    storeText(row, tableText(record.text(field)));
}

void ImportRun::storeText(int row, QStringView value)
{
    const CatalogField &book = CatalogFields::row(row);
    const int field = m_fields[std::size_t(row - 1)];
    switch (book.kind) {
    case FieldKind::Whole:
        storeWhole(field, value);
        return;
    case FieldKind::Decimal:
        storeAmount(field, value);
        return;
    case FieldKind::Date:
        storeDateText(field, value);
        return;
    case FieldKind::Text:
        break;
    }
    // Only the characters the field keeps matter; most values need no change.
    qsizetype stored = 0;
    bool replace = false;
    for (qsizetype i = 0; i < value.size() && stored < book.width && !replace; ++stored) {
        const char32_t ch = nextCharacter(value, i);
        replace = ch >= 0x80 && Cp1252::fromUnicode(ch) == 0;
    }
    if (!replace) {
        m_catalog.setText(field, value);
        return;
    }
    m_scratch.clear();
    for (qsizetype i = 0; i < value.size() && m_scratch.size() < book.width;) {
        const char32_t ch = nextCharacter(value, i);
        m_scratch.append(ch >= 0x80 && Cp1252::fromUnicode(ch) == 0 ? QChar(u'?') : QChar(char16_t(ch)));
    }
    ++m_repairs.replacedValues;
    m_catalog.setText(field, m_scratch);
}

void ImportRun::storeWhole(int field, QStringView value)
{
    value = trimBlanks(value);
    if (value.isEmpty())
        return;
    char ascii[32]; // far more than the widest whole-number field
    if (value.size() > qsizetype(sizeof ascii)) {
        ++m_repairs.unreadableNumbers;
        return;
    }
    qsizetype length = 0;
    for (const QChar c : value) {
        if (c.unicode() >= 0x80)
            break;
        ascii[length++] = char(c.unicode());
    }
    const char *begin = ascii + (length > 0 && ascii[0] == '+' ? 1 : 0);
    long long number = 0;
    const auto result = std::from_chars(begin, ascii + length, number);
    const bool read = length == value.size() && result.ec == std::errc() && result.ptr == ascii + length;
    if (!read || !storeNumber(field, double(number)))
        ++m_repairs.unreadableNumbers;
}

void ImportRun::storeAmount(int field, QStringView value)
{
    value = trimBlanks(value);
    if (value.isEmpty())
        return;
    const std::optional<double> amount = readAmount(value);
    if (!amount || !storeNumber(field, *amount))
        ++m_repairs.unreadableAmounts;
}

// A date is read only when it holds the separator of the date format in force
// and no letters.
void ImportRun::storeDateText(int field, QStringView value)
{
    value = trimBlanks(value);
    if (value.isEmpty())
        return;
    const DateFormat &format = DateFormat::current();
    const bool letters = std::any_of(value.begin(), value.end(), [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
    });
    if (!value.contains(format.separator()) || letters) {
        ++m_repairs.unreadableDates;
        return;
    }
    const QDate date = format.parse(value.toString(), m_today);
    if (!date.isValid()) {
        ++m_repairs.unreadableDates;
        return;
    }
    storeDate(field, date);
}

void ImportRun::storeDate(int field, const QDate &date)
{
    try {
        m_catalog.setDate(field, date);
    } catch (const DbfError &) {
        ++m_repairs.unreadableDates; // a year the table cannot hold
    }
}

bool ImportRun::storeNumber(int field, double value)
{
    try {
        m_catalog.setNumber(field, value);
        return true;
    } catch (const DbfError &) {
        return false; // too large for the field
    }
}

std::vector<int> ImportRun::mappingFromGrid(const QStringList &sourceNames, const QStringList &gridNames,
                                            const QStringList &gridUse)
{
    const QStringList bookRows = gridNames.mid(0, CatalogFields::Count);
    std::vector<int> mapping;
    mapping.reserve(std::size_t(sourceNames.size()));
    for (const QString &name : sourceNames) {
        const qsizetype row = bookRows.indexOf(name);
        mapping.push_back(row >= 0 && gridUse.value(row) == QLatin1String("Yes") ? int(row) + 1 : -1);
    }
    return mapping;
}

QString ImportRun::repairSummary(const Repairs &repairs)
{
    QStringList lines;
    if (repairs.malformedLines > 0)
        lines << countText(repairs.malformedLines,
                           "1 line had its quotes missing or out of place and was read as well as possible.",
                           "%1 lines had their quotes missing or out of place and were read as well as possible.");
    if (repairs.overfullLines > 0)
        lines << countText(repairs.overfullLines,
                           "1 line had more values than the first line; the extra values were dropped.",
                           "%1 lines had more values than the first line; the extra values were dropped.");
    if (repairs.unreadableNumbers > 0)
        lines << countText(repairs.unreadableNumbers, "1 whole number could not be read and was left empty.",
                           "%1 whole numbers could not be read and were left empty.");
    if (repairs.unreadableAmounts > 0)
        lines << countText(repairs.unreadableAmounts, "1 amount could not be read and was left empty.",
                           "%1 amounts could not be read and were left empty.");
    if (repairs.unreadableDates > 0)
        lines << countText(repairs.unreadableDates, "1 date could not be read and was left empty.",
                           "%1 dates could not be read and were left empty.");
    if (repairs.replacedValues > 0)
        lines << countText(repairs.replacedValues,
                           "1 value held characters the catalog cannot store; they were stored as \"?\".",
                           "%1 values held characters the catalog cannot store; they were stored as \"?\".");
    return lines.join(QLatin1Char('\n'));
}
