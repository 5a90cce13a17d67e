#include "DelimitedReader.h"

#include "framework/Error.h"
#include "framework/dbase/CodePage.h"

#include <algorithm>

namespace {

constexpr char Quote = '"';
constexpr char Comma = ',';
constexpr char CtrlZ = 0x1A;

bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 32;
}

} // namespace

DelimitedReader::DelimitedReader(QByteArrayView bytes) : m_pos(bytes.data()), m_end(bytes.data() + bytes.size())
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        m_pos += 3;
    m_utf8 = QByteArrayView(m_pos, m_end).isValidUtf8();
    m_chars.resize(1024);
}

bool DelimitedReader::readLine()
{
    m_used = 0;
    m_values.clear();
    m_malformed = false;
    m_lastClosed = false;
    m_firstLong = -1;
    if (m_atEnd || m_pos == m_end || *m_pos == CtrlZ) {
        m_atEnd = true;
        return false;
    }
    ValueEnd end = readValue();
    while (end == ValueEnd::Comma)
        end = readValue();
    m_lastClosed = end == ValueEnd::LineClosed;
    if (!m_lastClosed && !isEmptyLine())
        m_malformed = true;
    endLine();
    return true;
}

// Reads one value up to the comma after its closing quote or to the end of
// the line, which it leaves for endLine.
DelimitedReader::ValueEnd DelimitedReader::readValue()
{
    const qsizetype start = m_used;
    // Up to the opening quote; a line without quotes is one value.
    for (;;) {
        const char *from = m_pos;
        while (m_pos < m_end && *m_pos != Quote && !isControl(*m_pos))
            ++m_pos;
        append(from, m_pos);
        if (m_pos == m_end || *m_pos == '\r' || *m_pos == '\n' || *m_pos == CtrlZ) {
            finishValue(start);
            return ValueEnd::LineOpen;
        }
        if (*m_pos++ == Quote)
            break;
    }
    for (;;) {
        const char *from = m_pos;
        while (m_pos < m_end && *m_pos != Quote && !isControl(*m_pos))
            ++m_pos;
        append(from, m_pos);
        if (m_pos == m_end || *m_pos == '\r' || *m_pos == CtrlZ) {
            finishValue(start);
            return ValueEnd::LineOpen;
        }
        if (*m_pos != Quote) {
            ++m_pos; // a control character, a bare LF among them
            continue;
        }
        const char *next = m_pos + 1;
        if (next < m_end && *next == Quote) {
            append(char16_t(Quote));
            m_pos += 2;
            continue;
        }
        const char *after = next;
        while (after < m_end && *after == ' ')
            ++after;
        const bool lineEnds = after == m_end || *after == '\r' || *after == '\n' || *after == CtrlZ;
        if (lineEnds || *after == Comma) {
            if (after != next)
                m_malformed = true; // blanks after the closing quote
            finishValue(start);
            m_pos = lineEnds ? after : after + 1;
            return lineEnds ? ValueEnd::LineClosed : ValueEnd::Comma;
        }
        // A quote inside the value that was not doubled.
        m_malformed = true;
        append(char16_t(Quote));
        ++m_pos;
    }
}

void DelimitedReader::endLine()
{
    if (m_pos == m_end || *m_pos == CtrlZ) {
        m_atEnd = true;
        return;
    }
    if (*m_pos == '\r' && m_pos + 1 < m_end && m_pos[1] == '\n')
        ++m_pos;
    ++m_pos;
}

void DelimitedReader::append(const char *from, const char *to)
{
    const qsizetype count = to - from;
    if (count == 0)
        return;
    const qsizetype needed = m_used + (m_utf8 ? m_decoder.requiredSpace(count) : count);
    if (needed > qsizetype(m_chars.size()))
        m_chars.resize(std::size_t(std::max(needed, 2 * qsizetype(m_chars.size()))));
    char16_t *out = m_chars.data() + m_used;
    // Most values are ASCII, the same in both encodings.
    const char *p = from;
    while (p < to && static_cast<std::uint8_t>(*p) < 0x80)
        *out++ = char16_t(*p++);
    if (m_utf8 && p < to) {
        out = reinterpret_cast<char16_t *>(
            m_decoder.appendToBuffer(reinterpret_cast<QChar *>(out), QByteArrayView(p, to - p)));
    } else {
        for (; p < to; ++p)
            *out++ = Cp1252::toUnicode(static_cast<std::uint8_t>(*p));
    }
    m_used = out - m_chars.data();
}

void DelimitedReader::append(char16_t ch)
{
    if (m_used == qsizetype(m_chars.size()))
        m_chars.resize(2 * m_chars.size());
    m_chars[std::size_t(m_used++)] = ch;
}

void DelimitedReader::finishValue(qsizetype start)
{
    qsizetype length = m_used - start;
    if (length > MaxValueLength) {
        if (m_firstLong < 0)
            m_firstLong = valueCount();
        length = MaxValueLength;
        if (QChar::isHighSurrogate(m_chars[std::size_t(start + length - 1)]))
            --length; // never half a character
        m_used = start + length;
    }
    m_values.push_back({start, length});
}

bool DelimitedReader::isEmptyLine() const
{
    if (m_values.size() != 1)
        return false;
    const QStringView only = value(0);
    return std::all_of(only.begin(), only.end(), [](QChar c) { return c == QLatin1Char(' '); });
}

DelimitedReader::Header DelimitedReader::readHeader(QByteArrayView bytes)
{
    using Error = Header::Error;
    DelimitedReader reader(bytes);
    if (!reader.readLine())
        return {Error::UnexpectedEnd, {}};
    // The rules apply value by value: a count above the limit, then a value
    // too long, then, at the line's end, a value left open.
    const qsizetype long_ = reader.firstLongValue();
    if (long_ >= 0 && long_ < MaxFields)
        return {Error::FieldTooLong, {}};
    if (reader.valueCount() > MaxFields)
        return {Error::TooManyFields, {}};
    if (!reader.lastValueClosed())
        return {Error::UnexpectedEnd, {}};
    Header header;
    for (qsizetype i = 0; i < reader.valueCount(); ++i) {
        const QStringView value = reader.value(i);
        header.names.append(value.isEmpty() ? QStringLiteral("<BLANK FIELD>") : value.left(MaxNameLength).toString());
    }
    return header;
}

MappedFile::MappedFile(const QString &path) : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("The file \"%1\" could not be read: %2").arg(path, m_file.errorString()));
    m_size = m_file.size();
    if (m_size == 0)
        return;
    m_data = reinterpret_cast<const char *>(m_file.map(0, m_size));
    if (!m_data)
        throw FileError(QStringLiteral("The file \"%1\" could not be read: %2").arg(path, m_file.errorString()));
}
