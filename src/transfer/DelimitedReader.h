#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <QStringView>
#include <vector>

// Comma-delimited text, every value between double quotes:
//
//   "Title","Author","YearPub"<CR><LF>
//   "Eats, Shoots & Leaves","Truss, Lynne","2003"<CR><LF>
//
// A line ends at CR (a CR LF pair ends one line), at a bare LF outside quotes,
// at Ctrl+Z (which also ends the file) and at the end of the file. Characters
// below 32 are never part of a value, so an LF inside quotes is dropped. A value
// is opened by a double quote and closed by the next one that a comma or the
// line's end follows; a doubled quote inside stands for one quote. Characters
// between a separating comma and the opening quote belong to the value, and a
// line without quotes is one value. The bytes are UTF-8 when they are valid
// UTF-8 and Windows-1252 otherwise.
//
// Lines that break these rules are read as well as they can be and flagged: a
// quote that neither closes the value nor is doubled is kept as a character,
// blanks after a closing quote are dropped, and a value the line leaves open
// ends with the line.
class DelimitedReader
{
public:
    static constexpr int MaxValueLength = 255;
    static constexpr int MaxFields = 46;
    static constexpr int MaxNameLength = 20;

    explicit DelimitedReader(QByteArrayView bytes);

    // Reads the next line; false when the file has no more lines.
    bool readLine();

    qsizetype valueCount() const { return qsizetype(m_values.size()); }
    // A value of the line read last, cut to MaxValueLength characters.
    QStringView value(qsizetype index) const
    {
        const Span &span = m_values[std::size_t(index)];
        return QStringView(m_chars.data() + span.start, span.length);
    }
    // A line holding nothing but blanks, or one empty value.
    bool isEmptyLine() const;
    // The line broke the value rules (see above).
    bool isMalformed() const { return m_malformed; }
    // The last value of the line was closed by its quote.
    bool lastValueClosed() const { return m_lastClosed; }
    // The first value longer than MaxValueLength, or -1.
    qsizetype firstLongValue() const { return m_firstLong; }

    // The first line as the list of import fields: each value's first
    // MaxNameLength characters, "<BLANK FIELD>" for an empty one.
    struct Header
    {
        enum class Error { None, FieldTooLong, UnexpectedEnd, TooManyFields };
        Error error = Error::None;
        QStringList names;
    };
    static Header readHeader(QByteArrayView bytes);

private:
    struct Span
    {
        qsizetype start;
        qsizetype length;
    };
    enum class ValueEnd { Comma, LineClosed, LineOpen };

    ValueEnd readValue();
    void append(const char *from, const char *to);
    void append(char16_t ch);
    void finishValue(qsizetype start);
    void endLine();

    const char *m_pos;
    const char *m_end;
    bool m_utf8;
    bool m_atEnd = false;
    QStringDecoder m_decoder{QStringDecoder::Utf8};

    std::vector<char16_t> m_chars; // the values of the line, one after another
    qsizetype m_used = 0;
    std::vector<Span> m_values;
    bool m_malformed = false;
    bool m_lastClosed = false;
    qsizetype m_firstLong = -1;
};

// The bytes of a file, mapped rather than copied: an import reads them once,
// front to back.
class MappedFile
{
public:
    // Throws FileError when the file cannot be read.
    explicit MappedFile(const QString &path);
    QByteArrayView bytes() const { return QByteArrayView(m_data, m_size); }

private:
    QFile m_file;
    const char *m_data = nullptr;
    qint64 m_size = 0;
};
