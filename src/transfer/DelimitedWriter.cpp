#include "DelimitedWriter.h"

#include "framework/Error.h"
#include "framework/dbase/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t BufferSize = std::size_t(1) << 20;
// A separating comma, two quotes and the characters of a value, each at most
// four bytes of UTF-8 (a doubled quote takes two).
constexpr std::size_t LongestValue = 3 + 4 * std::size_t(DelimitedWriter::MaxValueLength);

// The UTF-8 form of the Windows-1252 bytes 0x80-0xFF.
struct Utf8Sequence
{
    std::uint8_t length;
    char bytes[3];
};

const std::array<Utf8Sequence, 128> &upperHalf()
{
    static const std::array<Utf8Sequence, 128> table = [] {
        std::array<Utf8Sequence, 128> t{};
        for (int b = 0; b < 128; ++b) {
            const char16_t ch = Cp1252::toUnicode(std::uint8_t(0x80 + b));
            Utf8Sequence &s = t[std::size_t(b)];
            if (ch < 0x800) {
                s = {2, {char(0xC0 | (ch >> 6)), char(0x80 | (ch & 0x3F)), 0}};
            } else {
                s = {3, {char(0xE0 | (ch >> 12)), char(0x80 | ((ch >> 6) & 0x3F)), char(0x80 | (ch & 0x3F))}};
            }
        }
        return t;
    }();
    return table;
}

// The part of [data, data + size) left after the cut to at most `characters`
// characters and the trim; `characterEnd` finds where the next character ends.
template <typename CharacterEnd>
std::pair<std::size_t, std::size_t> cutAndTrim(const char *data, std::size_t size, CharacterEnd characterEnd)
{
    std::size_t end = 0;
    for (int n = 0; end < size && n < DelimitedWriter::MaxValueLength; ++n)
        end = characterEnd(end);
    std::size_t begin = 0;
    while (begin < end && data[begin] == ' ')
        ++begin;
    while (end > begin && data[end - 1] == ' ')
        --end;
    return {begin, end};
}

} // namespace

DelimitedWriter::DelimitedWriter(const QString &path) : m_file(path), m_buffer(new char[BufferSize])
{
    if (!m_file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("Cannot create \"%1\": %2.").arg(path, m_file.errorString()));
}

char *DelimitedWriter::openValue(std::size_t longest)
{
    if (BufferSize - m_used < longest)
        flush();
    char *out = m_buffer.get() + m_used;
    if (m_lineOpen)
        *out++ = ',';
    m_lineOpen = true;
    *out++ = '"';
    return out;
}

void DelimitedWriter::addValue(QStringView value)
{
    const QByteArray utf8 = value.toUtf8();
    addUtf8(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

void DelimitedWriter::addUtf8(std::string_view value)
{
    const char *data = value.data();
    const std::size_t size = value.size();
    const auto [begin, end] = cutAndTrim(data, size, [&](std::size_t i) {
        ++i;
        while (i < size && (std::uint8_t(data[i]) & 0xC0) == 0x80)
            ++i;
        return i;
    });
    char *out = openValue(LongestValue);
    for (std::size_t i = begin; i < end; ++i) {
        if (data[i] == '"')
            *out++ = '"';
        *out++ = data[i];
    }
    *out++ = '"';
    m_used = std::size_t(out - m_buffer.get());
}

void DelimitedWriter::addWindows1252(const char *data, std::size_t size)
{
    const auto [begin, end] = cutAndTrim(data, size, [](std::size_t i) { return i + 1; });
    const std::array<Utf8Sequence, 128> &upper = upperHalf();
    char *out = openValue(LongestValue);
    for (std::size_t i = begin; i < end; ++i) {
        const std::uint8_t byte = std::uint8_t(data[i]);
        if (byte < 0x80) {
            if (byte == '"')
                *out++ = '"';
            *out++ = char(byte);
        } else {
            const Utf8Sequence &s = upper[byte - 0x80];
            std::memcpy(out, s.bytes, 3);
            out += s.length;
        }
    }
    *out++ = '"';
    m_used = std::size_t(out - m_buffer.get());
}

void DelimitedWriter::endLine()
{
    if (BufferSize - m_used < 2)
        flush();
    m_buffer[m_used++] = '\r';
    m_buffer[m_used++] = '\n';
    m_lineOpen = false;
}

void DelimitedWriter::flush()
{
    if (m_used > 0 && m_file.write(m_buffer.get(), qint64(m_used)) != qint64(m_used))
        throw FileError(QStringLiteral("Cannot write \"%1\": %2.").arg(m_file.fileName(), m_file.errorString()));
    m_used = 0;
}

void DelimitedWriter::commit()
{
    flush();
    if (!m_file.commit())
        throw FileError(QStringLiteral("Cannot write \"%1\": %2.").arg(m_file.fileName(), m_file.errorString()));
}
