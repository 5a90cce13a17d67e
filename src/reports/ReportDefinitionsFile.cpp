#include "ReportDefinitionsFile.h"

#include "BuiltInReports.h"
#include "framework/Error.h"
#include "framework/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int RecordSize = ReportDefinition::RecordSize;

FileError writeError(const QFileDevice &file)
{
    return FileError(QStringLiteral("Cannot write \"%1\": %2.").arg(file.fileName(), file.errorString()));
}

bool openExisting(QFile &file, QIODevice::OpenMode mode)
{
    return file.open(mode | QIODevice::ExistingOnly);
}

} // namespace

ReportDefinitionsFile::ReportDefinitionsFile(const QString &programDirectory)
    : m_directory(programDirectory), m_path(QDir(programDirectory).filePath(QLatin1String(FileName)))
{
}

QStringList ReportDefinitionsFile::list() const
{
    QFile file(m_path);
    if (!openExisting(file, QIODevice::ReadOnly))
        return {};
    QStringList names;
    const int count = recordCount(file.size());
    QByteArray record(RecordSize, '\0');
    for (int n = 0; n < count; ++n) {
        if (file.read(record.data(), RecordSize) != RecordSize)
            break;
        names << ReportDefinition::fromRecord(record.constData()).name;
    }
    return names;
}

bool ReportDefinitionsFile::load(int n, ReportDefinition &definition) const
{
    QFile file(m_path);
    if (!openExisting(file, QIODevice::ReadWrite) || n < 0 || n >= recordCount(file.size()))
        return false;
    QByteArray record(RecordSize, '\0');
    if (!file.seek(qint64(n) * RecordSize) || file.read(record.data(), RecordSize) != RecordSize)
        return false;
    definition = ReportDefinition::fromRecord(record.constData());
    return true;
}

void ReportDefinitionsFile::append(const ReportDefinition &definition) const
{
    write(0, definition, true);
}

void ReportDefinitionsFile::replace(int n, const ReportDefinition &definition) const
{
    write(n, definition, false);
}

void ReportDefinitionsFile::write(int n, const ReportDefinition &definition, bool atEnd) const
{
    QFile file(m_path);
    if (!openExisting(file, QIODevice::ReadWrite) && !file.open(QIODevice::WriteOnly))
        throw writeError(file);
    const int count = recordCount(file.size());
    if (atEnd)
        n = count;
    if (n < 0 || n > count)
        throw FileError(QStringLiteral("Report %1 is not in \"%2\".").arg(n + 1).arg(m_path));
    const QByteArray record = definition.toRecord();
    if (!file.seek(qint64(n) * RecordSize) || file.write(record) != RecordSize || !file.flush())
        throw writeError(file);
}

void ReportDefinitionsFile::remove(int n) const
{
    QFile file(m_path);
    // Opened for writing first: a file that may not be written is refused even
    // where its directory would take the new file.
    if (!openExisting(file, QIODevice::ReadWrite))
        throw writeError(file);
    const int count = recordCount(file.size());
    if (n < 0 || n >= count)
        throw FileError(QStringLiteral("Report %1 is not in \"%2\".").arg(n + 1).arg(m_path));
    const QByteArray all = file.read(qint64(count) * RecordSize);
    if (all.size() != qint64(count) * RecordSize)
        throw FileError(QStringLiteral("Cannot read \"%1\": %2.").arg(m_path, file.errorString()));
    file.close();

    WholeFile::replace(m_path, all.left(qint64(n) * RecordSize) + all.mid(qint64(n + 1) * RecordSize));
}

void ReportDefinitionsFile::ensureFile() const
{
    if (!QFileInfo::exists(m_path))
        createDefaults();
    convertOld();
}

bool ReportDefinitionsFile::createDefaults() const
{
    QByteArray records;
    for (const ReportDefinition &report : BuiltInReports::all())
        records += report.toRecord();
    try {
        WholeFile::replace(m_path, records);
    } catch (const FileError &) {
        return false;
    }
    return true;
}

int ReportDefinitionsFile::convertOld() const
{
    const QDir directory(m_directory);
    const QStringList found = directory.entryList({QLatin1String(EarlierFileName)}, QDir::Files);
    if (found.isEmpty())
        return 0;
    const QString earlierPath = directory.filePath(found.first());
    QFile earlier(earlierPath);
    if (!earlier.open(QIODevice::ReadOnly))
        return 0;
    // BOOK.URP is converted only when both its reports can be kept and the file
    // removed afterwards; otherwise it stays for a later start, neither lost
    // nor converted twice.
    QFile target(m_path);
    const bool targetWritable =
        QFileInfo::exists(m_path) ? openExisting(target, QIODevice::ReadWrite) : QFileInfo(m_directory).isWritable();
    target.close();
    if (!targetWritable || !QFileInfo(m_directory).isWritable())
        return 0;

    int added = 0;
    QByteArray record(ReportDefinition::EarlierRecordSize, '\0');
    // A record cut short ends the conversion, as a read error does.
    while (earlier.read(record.data(), record.size()) == record.size()) {
        if (ReportDefinition::isEarlierBuiltIn(record.constData()))
            continue;
        try {
            append(ReportDefinition::fromEarlierRecord(record.constData()));
            ++added;
        } catch (const FileError &) {
            // The record is dropped, as one that finds no file to go to.
        }
    }
    earlier.close();
    QFile::remove(earlierPath);
    return added;
}
