#include "Locator.h"

#include "app/DateFormat.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/PosixFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>

namespace {

// Room for the shown text of a number or a date ("-1.23456789012345e+308").
constexpr int NumberRoom = 32;
// Rows looked at in order before the rest of the table is matched in file order.
constexpr int NearRows = 512;
// Bytes of the table read at a time in file order.
constexpr std::size_t ChunkBytes = 256 * 1024;

bool isBlankByte(char c)
{
    return c == ' ' || c == '\0';
}

} // namespace

Locator::Locator(const DbfTable &table, int field, const QString &value, Match match, bool caseSensitive)
    : m_table(table), m_field(field), m_match(match)
{
    const FieldDef &def = table.fields()[std::size_t(field)];
    m_type = def.type;
    m_offset = def.offset;
    m_width = def.width;
    m_decimals = def.decimals;
    m_encodable = !table.codePage().encode(value, m_value).has_value();
    for (int i = 0; i < 256; ++i)
        m_fold[std::size_t(i)] = caseSensitive ? std::uint8_t(i) : table.codePage().upper(std::uint8_t(i));
    for (char &c : m_value)
        c = char(m_fold[std::uint8_t(c)]);
}

int Locator::shownText(const char *record, const char *&text, char *buffer) const
{
    const char *stored = record + m_offset;
    switch (m_type) {
    case 'N':
    case 'F': {
        // As the grid shows it: whole numbers as integers, others in their
        // shortest form with up to 15 significant digits; nothing when blank.
        const char *p = stored;
        const char *end = stored + m_width;
        while (p < end && *p == ' ')
            ++p;
        while (end > p && isBlankByte(end[-1]))
            --end;
        if (p < end && *p == '+')
            ++p;
        double number = 0;
        const auto read = std::from_chars(p, end, number);
        if (p == end || read.ec != std::errc() || read.ptr != end)
            return 0;
        text = buffer;
        // Integers as such while they fit one; beyond that the general form.
        const auto written = m_decimals == 0 && std::abs(number) < 1e18
                                 ? std::to_chars(buffer, buffer + NumberRoom, std::int64_t(number))
                                 : std::to_chars(buffer, buffer + NumberRoom, number, std::chars_format::general, 15);
        return int(written.ptr - buffer);
    }
    case 'D': {
        const QByteArray shown = DateFormat::current().format(DbfRecord(m_table, record).date(m_field)).toLatin1();
        const int length = int(std::min<qsizetype>(shown.size(), NumberRoom));
        std::memcpy(buffer, shown.constData(), std::size_t(length));
        text = buffer;
        return length;
    }
    default: {
        // Most of a text field is padding: skip it eight blanks at a time.
        constexpr std::uint64_t blanks = 0x2020202020202020ULL;
        int length = m_width;
        std::uint64_t word;
        while (length >= 8 && (std::memcpy(&word, stored + length - 8, 8), word == blanks))
            length -= 8;
        while (length > 0 && isBlankByte(stored[length - 1]))
            --length;
        text = stored;
        return length;
    }
    }
}

bool Locator::matches(const DbfRecord &record) const
{
    if (!m_encodable)
        return false;
    char buffer[NumberRoom];
    const char *text = nullptr;
    const int length = shownText(record.data(), text, buffer);
    const int size = int(m_value.size());
    const auto *value = reinterpret_cast<const std::uint8_t *>(m_value.constData());
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(text);
    const auto sameAt = [&](int at) {
        for (int i = 0; i < size; ++i) {
            if (m_fold[bytes[at + i]] != value[i])
                return false;
        }
        return true;
    };
    switch (m_match) {
    case Match::Exact:
        return length == size && sameAt(0);
    case Match::PartialStart:
        return length >= size && sameAt(0);
    case Match::PartialAnywhere:
        if (size == 0)
            return true;
        for (int at = 0; at + size <= length; ++at) {
            if (m_fold[bytes[at]] == value[0] && sameAt(at))
                return true;
        }
        return false;
    }
    return false;
}

int Locator::findFrom(int row) const
{
    if (!m_encodable)
        return -1;
    // A match close by is found in the order itself. Further on, the records
    // of an index order lie anywhere in the file, and the first look at each
    // page of the table's mapping costs more than reading the whole file in
    // order: so the rest is matched in file order and looked up by row.
    const int rows = m_table.recordCount();
    const int first = std::max(row, 0);
    const int near = std::min(rows, first + NearRows);
    const int found = walk(first, near);
    if (found >= 0 || near == rows)
        return found;
    try {
        const std::vector<std::uint8_t> hits = matchesInFileOrder();
        for (int r = near; r < rows; ++r) {
            if (hits[m_table.recordAtRow(r)])
                return r;
        }
        return -1;
    } catch (const DbfError &) {
        return walk(near, rows);
    }
}

int Locator::walk(int from, int to) const
{
    // Fetch the field of a record some rows ahead while this one is compared.
    constexpr int ahead = 16;
    for (int r = from; r < to; ++r) {
        if (r + ahead < to) {
            const char *next = m_table.recordAt(r + ahead).data() + m_offset;
            for (int line = 0; line < m_width; line += 64)
                __builtin_prefetch(next + line);
        }
        if (matches(m_table.recordAt(r)))
            return r;
    }
    return -1;
}

std::vector<std::uint8_t> Locator::matchesInFileOrder() const
{
    // Header bytes 8-9 hold the header length, 10-11 the record length.
    const PosixFile file(m_table.path(), O_RDONLY);
    std::uint8_t head[DbfHeader::HeaderSize];
    file.readAt(0, head, sizeof head);
    const std::uint64_t headerLength = readLittleEndian16(head + 8);
    const std::size_t recordLength = readLittleEndian16(head + 10);
    const std::uint32_t count = m_table.physicalCount();
    std::vector<std::uint8_t> hits(std::size_t(count) + 1, 0);
    const std::uint32_t perChunk = std::uint32_t(std::max<std::size_t>(1, ChunkBytes / recordLength));
    std::vector<char> buffer(perChunk * recordLength);
    for (std::uint32_t recno = 1; recno <= count; recno += perChunk) {
        const std::uint32_t n = std::min(perChunk, count - recno + 1);
        file.readAt(headerLength + std::uint64_t(recno - 1) * recordLength, buffer.data(), n * recordLength);
        for (std::uint32_t k = 0; k < n; ++k)
            hits[recno + k] = matches(DbfRecord(m_table, buffer.data() + k * recordLength));
    }
    return hits;
}
