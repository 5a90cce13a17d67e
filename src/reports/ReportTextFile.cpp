#include "ReportTextFile.h"

#include "framework/Error.h"

namespace {

constexpr qsizetype BufferSize = qsizetype(1) << 20;

} // namespace

ReportTextFile::ReportTextFile(const QString &path) : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("Cannot create \"%1\": %2.").arg(path, m_file.errorString()));
    m_buffer.reserve(BufferSize + 4 * MaxLineLength + 2);
}

void ReportTextFile::writeLine(QStringView line)
{
    if (line.size() > MaxLineLength) {
        line = line.first(MaxLineLength);
        // A character of two UTF-16 units is not split.
        if (line.back().isHighSurrogate())
            line.chop(1);
    }
    m_buffer.append(line.toUtf8());
    m_buffer.append("\r\n", 2);
    if (m_buffer.size() >= BufferSize)
        flush();
}

void ReportTextFile::flush()
{
    if (m_file.write(m_buffer) != m_buffer.size())
        throw FileError(QStringLiteral("Cannot write \"%1\": %2.").arg(m_file.fileName(), m_file.errorString()));
    m_buffer.resize(0);
}

void ReportTextFile::commit()
{
    flush();
    if (!m_file.commit())
        throw FileError(QStringLiteral("Cannot write \"%1\": %2.").arg(m_file.fileName(), m_file.errorString()));
}
