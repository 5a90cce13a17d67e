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
    const QByteArray all = contents();
    const int count = recordCount(all.size());
    if (atEnd)
        n = count;
    if (n < 0 || n > count)
        throw FileError(QStringLiteral("Report %1 is not in \"%2\".").arg(n + 1).arg(m_path));
    // A record spans several pages of the disk: the file is replaced whole, so
    // that a crash leaves the old or the new one. A record cut short at the end
    // gives way to a new one.
    WholeFile::replace(m_path,
                       all.left(qint64(n) * RecordSize) + definition.toRecord() + all.mid(qint64(n + 1) * RecordSize));
}

QByteArray ReportDefinitionsFile::contents() const
{
    QFile file(m_path);
    // Opened for writing too: a file that may not be written is refused even
    // where its directory would take the new file.
    if (!openExisting(file, QIODevice::ReadWrite)) {
        if (QFileInfo::exists(m_path))
            throw writeError(file);
        return {};
    }
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read \"%1\": %2.").arg(m_path, file.errorString()));
    return all;
}

void ReportDefinitionsFile::remove(int n) const
{
    const QByteArray all = contents();
    const int count = recordCount(all.size());
    if (n < 0 || n >= count)
        throw FileError(QStringLiteral("Report %1 is not in \"%2\".").arg(n + 1).arg(m_path));
    WholeFile::replace(m_path, all.left(qint64(n) * RecordSize) +
                                   all.mid(qint64(n + 1) * RecordSize, qint64(count - n - 1) * RecordSize));
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
    QByteArray converted;
    int added = 0;
    QByteArray record(ReportDefinition::EarlierRecordSize, '\0');
    // A record cut short ends the conversion, as a read error does.
    while (earlier.read(record.data(), record.size()) == record.size()) {
        if (ReportDefinition::isEarlierBuiltIn(record.constData()))
            continue;
        converted += ReportDefinition::fromEarlierRecord(record.constData()).toRecord();
        ++added;
    }
    earlier.close();
    // BOOK.URP is removed only once its reports are kept; otherwise it stays for
    // a later start, neither lost nor converted twice. The reports go in with
    // one replacement of the file: a start killed after it, before BOOK.URP was
    // removed, finds them at the end of the file and does not add them again.
    try {
        const QByteArray all = contents();
        const QByteArray whole = all.left(qint64(recordCount(all.size())) * RecordSize);
        if (!whole.endsWith(converted))
            WholeFile::replace(m_path, whole + converted);
    } catch (const FileError &) {
        return 0;
    }
    QFile::remove(earlierPath);
    return added;
}
