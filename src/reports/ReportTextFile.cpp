#include "ReportTextFile.h"

#include "framework/Error.h"
#include "framework/ReplacementLog.h"
#include "framework/dbase/CodePage.h"
#include "framework/dbase/PosixFile.h"

#include <QDir>
#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t BufferSize = std::size_t(1) << 20;
// Room for a whole line past the flushing point: four bytes a character and CR LF.
constexpr std::size_t LineBytes = 4 * ReportTextFile::MaxLineLength + 2;

char *putUtf8(char *out, char32_t ch)
{
    if (ch < 0x80) {
        *out++ = char(ch);
    } else if (ch < 0x800) {
        *out++ = char(0xC0 | (ch >> 6));
        *out++ = char(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        *out++ = char(0xE0 | (ch >> 12));
        *out++ = char(0x80 | ((ch >> 6) & 0x3F));
        *out++ = char(0x80 | (ch & 0x3F));
    } else {
        *out++ = char(0xF0 | (ch >> 18));
        *out++ = char(0x80 | ((ch >> 12) & 0x3F));
        *out++ = char(0x80 | ((ch >> 6) & 0x3F));
        *out++ = char(0x80 | (ch & 0x3F));
    }
    return out;
}

FileError failure(const QString &path, const DbfError &e)
{
    return FileError(QStringLiteral("The report file \"%1\" could not be written: %2")
                         .arg(QDir::toNativeSeparators(path), e.message()));
}

} // namespace

ReportTextFile::ReportTextFile(const QString &path) : m_path(path), m_buffer(new char[BufferSize + LineBytes])
{
    // The file may be anywhere: the next start looks there for what a killed run left.
    ReplacementLog::note(path);
    try {
        m_file = std::make_unique<ReplacementFile>(path);
    } catch (const DbfError &e) {
        throw failure(path, e);
    }
}

ReportTextFile::~ReportTextFile() = default;

int ReportTextFile::room(int width) const
{
    return std::clamp(width, 0, MaxLineLength - m_lineLength);
}

// How many UTF-16 units of `text` fit in `room` without splitting a character
// of two units.
int ReportTextFile::fitting(QStringView text, int room)
{
    int units = int(std::min<qsizetype>(text.size(), room));
    if (units < text.size() && units > 0 && text[units - 1].isHighSurrogate())
        --units;
    return units;
}

void ReportTextFile::put(QStringView text, int units)
{
    char *out = m_buffer.get() + m_used;
    for (qsizetype i = 0; i < units; ++i) {
        char32_t ch = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < units && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        out = putUtf8(out, ch);
    }
    m_used = std::size_t(out - m_buffer.get());
    m_lineLength += units;
}

void ReportTextFile::blanks(int count)
{
    std::memset(m_buffer.get() + m_used, ' ', std::size_t(count));
    m_used += std::size_t(count);
    m_lineLength += count;
}

void ReportTextFile::add(QStringView text)
{
    put(text, fitting(text, room(MaxLineLength)));
}

void ReportTextFile::addCell(QStringView text, int width, Align align)
{
    width = room(width);
    const int units = fitting(text, width);
    if (align == Align::Right)
        blanks(width - units);
    put(text, units);
    if (align == Align::Left)
        blanks(width - units);
}

void ReportTextFile::addCell(std::string_view windows1252, int width)
{
    width = room(width);
    const std::size_t characters = std::min(windows1252.size(), std::size_t(width));
    char *out = m_buffer.get() + m_used;
    for (std::size_t i = 0; i < characters; ++i) {
        const std::uint8_t byte = std::uint8_t(windows1252[i]);
        out = byte < 0x80 ? (*out = char(byte), out + 1) : putUtf8(out, Cp1252::toUnicode(byte));
    }
    m_used = std::size_t(out - m_buffer.get());
    m_lineLength += int(characters);
    blanks(width - int(characters));
}

void ReportTextFile::endLine()
{
    m_buffer[m_used++] = '\r';
    m_buffer[m_used++] = '\n';
    m_lineLength = 0;
    if (m_used >= BufferSize)
        flush();
}

void ReportTextFile::flush()
{
    try {
        m_file->file().writeAt(m_written, m_buffer.get(), m_used);
    } catch (const DbfError &e) {
        throw failure(m_path, e);
    }
    m_written += m_used;
    m_used = 0;
}

void ReportTextFile::commit()
{
    flush();
    try {
        m_file->file().sync();
        m_file->commit("file:written");
    } catch (const DbfError &e) {
        throw failure(m_path, e);
    }
}
