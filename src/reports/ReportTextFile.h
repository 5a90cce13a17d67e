#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QStringView>

// A report printed to a text file: UTF-8 lines of at most 255 characters, each
// ended by CR LF. The text goes to a temporary file beside the target, which
// takes the target's place only on commit: a run that is cancelled or fails
// leaves an earlier file of that name as it was, and no new file behind.
class ReportTextFile
{
public:
    static constexpr int MaxLineLength = 255;

    explicit ReportTextFile(const QString &path); // throws FileError
    ReportTextFile(const ReportTextFile &) = delete;
    ReportTextFile &operator=(const ReportTextFile &) = delete;

    void writeLine(QStringView line);
    void commit(); // throws FileError

private:
    void flush();

    QSaveFile m_file;
    QByteArray m_buffer;
};
