#include "FuzzTargets.h"

#include "app/Settings.h"
#include "edit/PickLists.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/MdxFile.h"
#include "framework/profile/IniFile.h"
#include "framework/report/ReportRecording.h"
#include "framework/report/TReportFiler.h"
#include "reports/ReportDefinitionsFile.h"
#include "reports/ReportGenerator.h"
#include "storage/CatalogTable.h"
#include "transfer/DelimitedReader.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {

const QString &workDir()
{
    static const QString dir = [] {
        const QString path = QDir::temp().filePath(QStringLiteral("shelfmark-fuzz-%1").arg(::getpid()));
        QDir().mkpath(path);
        return path;
    }();
    return dir;
}

void writeFile(const QString &path, const char *data, std::size_t size)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(data, qint64(size));
}

void readEverything(DbfTable &table)
{
    for (table.first(); !table.eof(); table.next()) {
        const DbfRecord record = table.current();
        for (int f = 0; f < int(table.fields().size()); ++f) {
            (void)record.text(f);
            (void)record.number(f);
            (void)record.date(f);
            (void)record.logical(f);
            (void)record.isBlank(f);
        }
    }
    for (std::uint32_t r = 1; r <= table.physicalCount(); ++r)
        (void)table.physicalRecord(r).isDeleted();
}

void readBoth(Settings &settings, const IniFile &file)
{
    settings.read(Settings::Mode::Global, file);
    settings.read(Settings::Mode::Database, file);
}

void requireSameContents(const IniFile &a, const IniFile &b)
{
    const QStringList sections = a.sections();
    if (b.sections() != sections)
        std::abort();
    for (const QString &section : sections) {
        const QStringList keys = a.keys(section);
        if (b.keys(section) != keys)
            std::abort();
        for (const QString &key : keys) {
            if (b.value(section, key) != a.value(section, key))
                std::abort();
        }
    }
}

// Three books under two authors, sorted by author.
const DbfTable &threeBooks()
{
    static DbfTable table;
    if (!table.isOpen()) {
        const QString path = QDir(workDir()).filePath(QStringLiteral("BOOKS.DBF"));
        CatalogTable::create(path);
        {
            DbfTable writer;
            writer.open(path);
            for (const char *author : {"Tolkien", "Austen", "Austen"}) {
                writer.append();
                writer.setText(writer.field(u"Title"), QStringLiteral("A title of some length by ") + author);
                writer.setText(writer.field(u"Author"), QString::fromLatin1(author));
                writer.setNumber(writer.field(u"Cost"), 12.5);
                writer.setNumber(writer.field(u"Pages"), 1234);
                writer.setDate(writer.field(u"PurchDate"), QDate(2001, 3, 5));
                writer.post();
            }
        }
        table.open(path, DbfTable::Access::ReadOnly, {CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0})});
    }
    return table;
}

void generate(const ReportDefinition &definition, const QString &directory)
{
    static const Settings settings(QStringLiteral("/start"));
    const QString text = QDir(directory).filePath(QStringLiteral("REPORT.TXT"));
    for (const ReportGenerator::Mode mode : {ReportGenerator::Mode::File, ReportGenerator::Mode::View}) {
        ReportRecording recording;
        TReportFiler filer(recording);
        filer.setPageSize(QPageSize(QPageSize::Letter));
        ReportGenerator generator(definition, mode, threeBooks(), settings, NumberFormat(), DateFormat());
        generator.setTextFile(text);
        generator.attach(filer);
        filer.execute();
        // Every page holds at least one block of the body, and there are at most
        // three books, four groups and the closing totals.
        if (filer.aborted() || recording.pageCount() < 1 || recording.pageCount() > 12)
            std::abort();
        for (int page = 0; page < recording.pageCount(); ++page)
            recording.forEach(page, [](const ReportRecording::Operation &) {});
    }
}

} // namespace

namespace FuzzTargets {

void readTableWithIndex(const std::uint8_t *data, std::size_t size)
{
    // First three bytes: the length of the table part; the rest is the index.
    if (size < 3)
        return;
    const std::size_t tableSize = std::min<std::size_t>(size - 3, std::size_t(data[0] | data[1] << 8 | data[2] << 16));
    const char *table = reinterpret_cast<const char *>(data + 3);
    const char *index = table + tableSize;
    const std::size_t indexSize = size - 3 - tableSize;

    const QString dbf = QDir(workDir()).filePath(QStringLiteral("FUZZ.DBF"));
    const QString mdx = QDir(workDir()).filePath(QStringLiteral("FUZZ.MDX"));
    writeFile(dbf, table, tableSize);
    writeFile(mdx, index, indexSize);

    for (const QString &tag : {QStringLiteral("NewIndex"), QString()}) {
        try {
            DbfTable t;
            t.setIndexName(tag);
            t.open(dbf, DbfTable::Access::ReadOnly);
            readEverything(t);
        } catch (const Error &) {
        }
    }
    try {
        const MdxReader reader(reinterpret_cast<const std::uint8_t *>(index), indexSize);
        for (const MdxTag &tag : reader.tags())
            reader.walk(tag, [](std::uint32_t, const std::uint8_t *) {});
    } catch (const Error &) {
    }
    return;
}

void readSettingsFile(const std::uint8_t *data, std::size_t size)
{
    IniFile file;
    file.parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    IniFile reparsed;
    reparsed.parse(file.toBytes());
    requireSameContents(file, reparsed);

    // Reading sets every value the settings files keep, so one object serves every input.
    static Settings settings(QStringLiteral("/start"));
    static Settings reread(QStringLiteral("/start"));
    readBoth(settings, file);
    IniFile written;
    settings.write(Settings::Mode::Global, written);
    settings.write(Settings::Mode::Database, written);
    IniFile writtenReparsed;
    writtenReparsed.parse(written.toBytes());
    readBoth(reread, writtenReparsed);
    if (!(reread == settings))
        std::abort();
    return;
}

void readDelimitedText(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const DelimitedReader::Header header = DelimitedReader::readHeader(bytes);
    if (header.error == DelimitedReader::Header::Error::None && header.names.size() > 46)
        std::abort();
    DelimitedReader reader(bytes);
    qsizetype characters = 0;
    while (reader.readLine()) {
        for (qsizetype i = 0; i < reader.valueCount(); ++i)
            characters += reader.value(i).size();
    }
    if (characters < 0)
        std::abort();
}

void readPickList(const std::uint8_t *data, std::size_t size)
{
    const QString path = QDir(workDir()).filePath(QStringLiteral("FUZZ.001"));
    writeFile(path, reinterpret_cast<const char *>(data), size);
    const QStringList entries = PickLists::readFile(path);
    for (const QString &entry : entries) {
        if (entry.isEmpty() || PickLists::trimBlanks(entry).isEmpty() || entry.contains(u'\r') ||
            entry.contains(u'\n') || entry.toUcs4().size() > PickLists::MaxLineLength)
            std::abort();
    }
    if (PickLists::parse(PickLists::format(entries)) != entries)
        std::abort();
    QStringList sorted = PickLists::sorted(entries);
    QStringList original = entries;
    std::sort(sorted.begin(), sorted.end());
    std::sort(original.begin(), original.end());
    if (sorted != original)
        std::abort();
}

void readReportDefinitions(const std::uint8_t *data, std::size_t size)
{
    const QString directory = QDir(workDir()).filePath(QStringLiteral("urp"));
    QDir(directory).removeRecursively();
    QDir().mkpath(directory);
    const ReportDefinitionsFile file(directory);
    const char *bytes = reinterpret_cast<const char *>(data);

    writeFile(file.path(), bytes, size);
    const int records = int(size / ReportDefinition::RecordSize);
    if (file.list().size() != records)
        std::abort();
    for (int n = 0; n < records; ++n) {
        ReportDefinition definition;
        if (!file.load(n, definition))
            std::abort();
        const QByteArray saved = definition.toRecord();
        if (ReportDefinition::fromRecord(saved.constData()).toRecord() != saved)
            std::abort();
        if (n < 2)
            generate(definition, directory);
    }

    QFile::remove(file.path());
    const QString earlier = QDir(directory).filePath(QLatin1String(ReportDefinitionsFile::EarlierFileName));
    writeFile(earlier, bytes, size);
    int expected = 0;
    for (std::size_t at = 0; at + ReportDefinition::EarlierRecordSize <= size;
         at += ReportDefinition::EarlierRecordSize)
        expected += ReportDefinition::isEarlierBuiltIn(bytes + at) ? 0 : 1;
    if (file.convertOld() != expected || QFile::exists(earlier) || file.list().size() != expected)
        std::abort();
}

} // namespace FuzzTargets
