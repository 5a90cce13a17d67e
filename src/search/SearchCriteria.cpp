#include "SearchCriteria.h"

#include "app/DateFormat.h"
#include "edit/PickLists.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogFields.h"

#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

QChar symbol(int op)
{
    return op == 2 ? QLatin1Char('>') : op == 3 ? QLatin1Char('<') : QLatin1Char('=');
}

// Nothing but blanks and date separators: what an untouched date mask reads.
bool isBlankDate(QStringView text)
{
    for (QChar c : text) {
        if (!QStringView(u" /-.").contains(c))
            return false;
    }
    return true;
}

} // namespace

namespace SearchRows {

namespace {

constexpr int NumberPlaces = 9;
constexpr int UpperNumberPlaces = 8; // the upper bound of a numeric range has one place less
constexpr int DatePlaces = 10;

// The value places of one side of a criterion cell: what follows its
// operator symbol and the blank after it, unfilled places kept.
QString valuePlaces(QStringView side)
{
    qsizetype i = 0;
    while (i < side.size() && side[i] == QLatin1Char(' '))
        ++i;
    if (i < side.size() && QStringView(u"=<>").contains(side[i])) {
        ++i;
        if (i < side.size() && side[i] == QLatin1Char(' '))
            ++i;
    }
    return side.mid(i).toString();
}

QString numberPlaces(const QString &value, int places)
{
    return PickLists::trimBlanks(value).left(places).leftJustified(places, QLatin1Char(' '));
}

} // namespace

Type type(int row)
{
    if (row == KeyWordsRow)
        return Type::KeyWords;
    switch (CatalogFields::row(row).kind) {
    case FieldKind::Whole:
    case FieldKind::Decimal:
        return Type::Numeric;
    case FieldKind::Date:
        return Type::Date;
    case FieldKind::Text:
        break;
    }
    return Type::Text;
}

bool hasOptions(int row)
{
    const Type t = type(row);
    return t == Type::Numeric || t == Type::Date || CatalogFields::row(row).pickList;
}

QString editMask(int row, int op)
{
    switch (type(row)) {
    case Type::Numeric:
        switch (op) {
        case 2:
            return QStringLiteral("\\> ccccccccc;1");
        case 3:
            return QStringLiteral("\\< ccccccccc;1");
        case 4:
            return QStringLiteral("\\> ccccccccc \\A\\ND \\< cccccccc");
        default:
            return QStringLiteral("= ccccccccc;1");
        }
    case Type::Date:
        switch (op) {
        case 2:
            return QStringLiteral("\\> 99/99/0000;1");
        case 3:
            return QStringLiteral("\\< 99/99/0000;1");
        case 4:
            return QStringLiteral("\\> 99/99/0000 \\A\\ND \\< 99/99/0000;1");
        default:
            return QStringLiteral("= 99/99/0000;1");
        }
    case Type::Text:
    case Type::KeyWords:
        break;
    }
    return QString(CatalogFields::row(row).width, QLatin1Char('c'));
}

QString inputMask(const QString &editMask, QChar dateSeparator)
{
    if (editMask.count(QLatin1Char('c')) == editMask.size())
        return {};
    QString mask;
    for (qsizetype i = 0; i < editMask.size(); ++i) {
        const QChar c = editMask[i];
        if (c == QLatin1Char(';'))
            break;
        if (c == QLatin1Char('c'))
            mask += QLatin1Char('x');
        else if (c == QLatin1Char('9') || c == QLatin1Char('0'))
            // Every digit place is optional: a required one would hold Tab and
            // Enter in the cell until it is filled.
            mask += QLatin1Char('0');
        else if (c == QLatin1Char('\\') && i + 1 < editMask.size())
            mask += QLatin1Char('\\') + editMask[++i];
        else if (c == QLatin1Char('/'))
            mask += QLatin1Char('\\') + dateSeparator;
        else
            mask += QLatin1Char('\\') + c;
    }
    return mask + QStringLiteral("; ");
}

std::vector<bool> inputPlaces(const QString &inputMask)
{
    std::vector<bool> places;
    for (qsizetype i = 0; i < inputMask.size() && inputMask[i] != QLatin1Char(';'); ++i) {
        const bool literal = inputMask[i] == QLatin1Char('\\');
        if (literal)
            ++i;
        places.push_back(!literal);
    }
    return places;
}

QString applyOperator(const QString &cell, int row, int op, QChar dateSeparator)
{
    const Type t = type(row);
    if (PickLists::trimBlanks(cell).isEmpty() || (t != Type::Numeric && t != Type::Date))
        return cell;
    const qsizetype and_ = cell.indexOf(QStringLiteral(" AND "));
    const QString lower = valuePlaces(QStringView(cell).left(and_ < 0 ? cell.size() : and_));
    const QString upper = and_ < 0 ? QString() : valuePlaces(QStringView(cell).mid(and_ + 5));
    const QString range = QStringLiteral(" AND < ");

    if (t == Type::Numeric) {
        if (op == 4)
            return QStringLiteral("> ") + numberPlaces(lower, NumberPlaces) + range +
                   numberPlaces(upper, UpperNumberPlaces);
        const QString value = PickLists::trimBlanks(lower).isEmpty() ? upper : lower;
        return symbol(op) + QLatin1Char(' ') + numberPlaces(value, NumberPlaces);
    }
    const QString blankDate =
        QStringLiteral("  ") + dateSeparator + QStringLiteral("  ") + dateSeparator + QStringLiteral("    ");
    auto datePlaces = [&](const QString &value) {
        return isBlankDate(value) ? blankDate : value.left(DatePlaces).leftJustified(DatePlaces, QLatin1Char(' '));
    };
    if (op == 4)
        return QStringLiteral("> ") + datePlaces(lower) + range + datePlaces(upper);
    return symbol(op) + QLatin1Char(' ') + datePlaces(isBlankDate(lower) ? upper : lower);
}

} // namespace SearchRows

// ---------------------------------------------------------------------------
// Storing a page

namespace {

using SearchRows::Type;

const QDate DayZero(1899, 12, 30);

// "." as the decimal point whatever the locale, an optional sign and exponent,
// nothing else around the number.
std::optional<double> readNumber(const QString &text)
{
    const QByteArray ascii = text.toLatin1();
    for (char c : ascii) {
        if ((c < '0' || c > '9') && std::string_view("+-.eE").find(c) == std::string_view::npos)
            return std::nullopt;
    }
    const char *begin = ascii.constData();
    const char *end = begin + ascii.size();
    if (begin != end && *begin == '+' && begin + 1 != end && begin[1] != '-')
        ++begin;
    double value = 0;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

// The text without the first occurrence of `c`, trimmed.
QString withoutFirst(QString text, QChar c)
{
    const qsizetype at = text.indexOf(c);
    if (at >= 0)
        text.remove(at, 1);
    return PickLists::trimBlanks(text);
}

// The upper case the filter compares in: the code page's capitals for what a
// table can hold, so that a criterion and a field upper-case alike.
QString upperCased(const QString &text)
{
    static const CodePage codePage = CodePage::windows1252();
    QString upper = text;
    for (QChar &c : upper) {
        const std::uint8_t byte = Cp1252::fromUnicode(c.unicode());
        c = byte != 0 ? QChar(Cp1252::toUnicode(codePage.upper(byte))) : c.toUpper();
    }
    return upper;
}

struct Bound
{
    QString text;
    bool empty;
};

// A range "> lower AND < upper" as its two bounds.
std::pair<Bound, Bound> rangeBounds(const QString &cell, bool dates)
{
    const QString text = withoutFirst(withoutFirst(cell, QLatin1Char('<')), QLatin1Char('>'));
    const qsizetype and_ = text.indexOf(QStringLiteral("AND"));
    const QString lower = PickLists::trimBlanks(and_ < 0 ? text : text.left(and_));
    const QString upper = and_ < 0 ? QString() : PickLists::trimBlanks(text.mid(and_ + 3));
    auto empty = [dates](const QString &bound) { return dates ? isBlankDate(bound) : bound.isEmpty(); };
    return {{lower, empty(lower)}, {upper, empty(upper)}};
}

std::optional<SearchItem> numberItem(const QString &text, int row, SearchKind kind)
{
    const auto value = readNumber(text);
    if (!value)
        return std::nullopt;
    SearchItem item;
    item.text = text;
    item.number = *value;
    item.row = row;
    item.kind = kind;
    return item;
}

std::optional<SearchItem> dateItem(const QString &text, int row, SearchKind kind, const DateFormat &dates)
{
    const QDate date = dates.parse(text);
    if (!date.isValid())
        return std::nullopt;
    SearchItem item;
    item.date = double(DayZero.daysTo(date));
    item.text = QString::number(DayZero.daysTo(date));
    item.row = row;
    item.kind = kind;
    item.isDate = true;
    return item;
}

// The items of one criterion cell: none when it holds no criterion, nothing
// when it is invalid.
std::optional<std::vector<SearchItem>> readCell(const QString &cell, int row, int op, const DateFormat &dates)
{
    const Type type = SearchRows::type(row);
    if (type == Type::Text || type == Type::KeyWords) {
        SearchItem item;
        item.text = upperCased(cell).left(SearchItem::MaxText);
        item.row = row;
        item.kind = type == Type::KeyWords ? SearchKind::AnyWord : SearchKind::Contains;
        return std::vector<SearchItem>{item};
    }
    const bool isDate = type == Type::Date;
    auto convert = [&](const QString &text, SearchKind kind) {
        return isDate ? dateItem(text, row, kind, dates) : numberItem(text, row, kind);
    };
    if (op == 4) {
        const auto [lower, upper] = rangeBounds(cell, isDate);
        if (lower.empty && upper.empty)
            return std::vector<SearchItem>{};
        if (lower.empty || upper.empty)
            return std::nullopt;
        const auto greater = convert(lower.text, SearchKind::Greater);
        const auto less = convert(upper.text, SearchKind::Less);
        if (!greater || !less)
            return std::nullopt;
        return std::vector<SearchItem>{*greater, *less};
    }
    const QString value = withoutFirst(cell, symbol(op));
    if (isDate ? isBlankDate(value) : value.isEmpty())
        return std::vector<SearchItem>{};
    const auto item = convert(value, SearchKind(op));
    if (!item)
        return std::nullopt;
    return std::vector<SearchItem>{*item};
}

} // namespace

SearchCriteria::Result SearchCriteria::SaveFields(const Page &page, const Operators &operators, const DateFormat &dates)
{
    const std::size_t atEntry = m_items.size();
    for (int row = 1; row <= SearchRows::Count; ++row) {
        const QString cell = PickLists::trimBlanks(page[std::size_t(row - 1)]);
        if (cell.isEmpty())
            continue;
        const auto items = readCell(cell, row, operators[std::size_t(row - 1)], dates);
        if (!items) {
            m_items.resize(atEntry);
            return {Outcome::Invalid, row};
        }
        for (const SearchItem &item : *items) {
            if (m_items.size() == MaxItems) {
                ClearSearch();
                return {Outcome::TooMany};
            }
            m_items.push_back(item);
        }
    }
    if (m_items.size() == atEntry)
        return {Outcome::NoCriteria};
    m_items.back().levelEnd = true;
    return {Outcome::Stored};
}

void SearchCriteria::ClearSearch()
{
    m_items.clear();
    m_level = 1;
}

// ---------------------------------------------------------------------------
// The record test

SearchTest::SearchTest(const std::vector<SearchItem> &items, const DbfTable &table) : m_codePage(table.codePage())
{
    const qint64 dayZero = DayZero.toJulianDay();
    for (const SearchItem &item : items) {
        Condition c{item.kind, item.isDate, item.levelEnd, 0, 0, 0, 0, {}};
        c.field = table.field(QString::fromLatin1(CatalogFields::row(item.row).name));
        const FieldDef &def = table.fields()[std::size_t(c.field)];
        c.offset = def.offset;
        c.width = def.width;
        c.value = item.isDate ? item.date + double(dayZero) : item.number;
        // A text the table cannot hold is in no record: it adds no bytes to match.
        auto addText = [&](const QString &text) {
            QByteArray bytes;
            if (text.isEmpty() || table.codePage().encode(text, bytes))
                return;
            for (char &b : bytes)
                b = char(m_codePage.upper(std::uint8_t(b)));
            c.texts.push_back(bytes);
        };
        if (item.kind == SearchKind::AnyWord) {
            const QStringList words = item.text.split(QLatin1Char(' '));
            for (const QString &word : words)
                addText(word);
        } else if (item.kind == SearchKind::Contains) {
            addText(item.text);
        }
        m_conditions.push_back(std::move(c));
    }
}

bool SearchTest::BuildFilter(const DbfRecord &record) const
{
    bool current = true;
    for (const Condition &c : m_conditions) {
        if (current)
            current = holds(c, record);
        if (c.levelEnd) {
            if (current)
                return true;
            current = true;
        }
    }
    return false;
}

bool SearchTest::holds(const Condition &c, const DbfRecord &record) const
{
    if (c.kind == SearchKind::Contains || c.kind == SearchKind::AnyWord)
        return contains(c, record.data());
    double value = 0;
    if (c.isDate) {
        const QDate date = record.date(c.field);
        value = date.isValid() ? double(date.toJulianDay()) : 0;
    } else {
        value = record.number(c.field).value_or(0);
    }
    switch (c.kind) {
    case SearchKind::Greater:
        return value > c.value;
    case SearchKind::Less:
        return value < c.value;
    default:
        return value == c.value;
    }
}

bool SearchTest::contains(const Condition &c, const char *data) const
{
    // The field upper-cased without its trailing blanks; fields are at most
    // 255 bytes wide (one byte holds the width in the file).
    const char *field = data + c.offset;
    int length = c.width;
    // Most of a text field is padding: skip it eight blanks at a time.
    constexpr std::uint64_t blanks = 0x2020202020202020ULL;
    std::uint64_t word;
    while (length >= 8 && (std::memcpy(&word, field + length - 8, 8), word == blanks))
        length -= 8;
    while (length > 0 && (field[length - 1] == ' ' || field[length - 1] == '\0'))
        --length;
    char upper[256];
    for (int i = 0; i < length; ++i)
        upper[i] = char(m_codePage.upper(std::uint8_t(field[i])));
    const std::string_view value(upper, std::size_t(length));
    for (const QByteArray &text : c.texts) {
        if (value.find(std::string_view(text.constData(), std::size_t(text.size()))) != std::string_view::npos)
            return true;
    }
    return false;
}
