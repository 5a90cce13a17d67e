#pragma once

#include <QSaveFile>
#include <QString>
#include <QStringView>
#include <memory>
#include <string_view>

// Comma-delimited text, the form the import reads back: UTF-8, one line per
// record ended by CR LF, every value enclosed in double quotes,
//
//   "Mann, Thomas","Der ""Zauberberg""","1924"\r\n
//
// Each value is cut to 255 characters, a double quote inside it is written
// twice, and it is trimmed of leading and trailing blanks; a single comma
// separates values, with no blank between them.
//
// The text goes through a large buffer into a temporary file beside the
// target, which replaces the target only on commit: a writer given up before
// (an export cancelled or failed) leaves an existing file as it was.
class DelimitedWriter
{
public:
    static constexpr int MaxValueLength = 255;

    explicit DelimitedWriter(const QString &path); // throws FileError
    DelimitedWriter(const DelimitedWriter &) = delete;
    DelimitedWriter &operator=(const DelimitedWriter &) = delete;

    void addValue(QStringView value);
    void addUtf8(std::string_view value);
    // Bytes as a Windows-1252 table stores them, decoded on the way.
    void addWindows1252(const char *data, std::size_t size);
    void endLine();

    void commit(); // throws FileError

private:
    char *openValue(std::size_t longest);
    void flush();

    QSaveFile m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_lineOpen = false;
};
