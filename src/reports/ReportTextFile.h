#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <string_view>

class ReplacementFile;

// A report printed to a text file: UTF-8 lines of at most 255 characters, each
// ended by CR LF. A line is built from pieces, each cut to the room the line
// has left. The text goes to a temporary file beside the target, which takes
// the target's place only on commit: a run that is cancelled, fails or is
// killed leaves an earlier file of that name as it was, and no new file behind
// (see ReplacementFile, ReplacementLog).
class ReportTextFile
{
public:
    static constexpr int MaxLineLength = 255;
    enum class Align { Left, Right };

    explicit ReportTextFile(const QString &path); // throws FileError
    ~ReportTextFile();
    ReportTextFile(const ReportTextFile &) = delete;
    ReportTextFile &operator=(const ReportTextFile &) = delete;

    void add(QStringView text);
    // The first `width` characters of `text`, padded with blanks to `width`.
    void addCell(QStringView text, int width, Align align);
    // The same for text stored in Windows-1252, left-aligned.
    void addCell(std::string_view windows1252, int width);
    void endLine();
    void writeLine(QStringView line)
    {
        add(line);
        endLine();
    }

    void commit(); // throws FileError

private:
    int room(int width) const;
    static int fitting(QStringView text, int room);
    void put(QStringView text, int units);
    void blanks(int count);
    void flush();

    QString m_path;
    std::unique_ptr<ReplacementFile> m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    std::uint64_t m_written = 0;
    int m_lineLength = 0; // characters
};
