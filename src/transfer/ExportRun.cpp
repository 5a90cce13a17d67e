#include "ExportRun.h"

#include "DelimitedWriter.h"
#include "app/Settings.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogTable.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numeric>
#include <optional>
#include <string_view>

namespace {

constexpr int PrefetchDistance = 12;
constexpr int PrefetchFrom = 256;

void refuseTableInUse(const QString &path)
{
    if (QFileInfo::exists(path) && DbfTable::inUse(path))
        throw FileError(QStringLiteral("The file \"%1\" is in use; it cannot be replaced.").arg(path));
}

// The text of a date in a fixed format, remembered for the next record with
// the same date: a small table indexed by the day number.
class DateTexts
{
public:
    explicit DateTexts(const DateFormat &format) : m_format(format), m_slots(Slots) {}

    std::string_view text(const QDate &date)
    {
        if (!date.isValid())
            return {};
        const qint64 day = date.toJulianDay();
        Slot &slot = m_slots[std::size_t(day) % Slots];
        if (slot.day != day) {
            const QByteArray text = m_format.format(date).toUtf8();
            slot.day = day;
            slot.length = std::uint8_t(std::min<qsizetype>(text.size(), sizeof slot.text));
            std::memcpy(slot.text, text.constData(), slot.length);
        }
        return {slot.text, slot.length};
    }

private:
    static constexpr std::size_t Slots = 4096;
    struct Slot
    {
        qint64 day = std::numeric_limits<qint64>::min();
        std::uint8_t length = 0;
        char text[15];
    };
    const DateFormat &m_format;
    std::vector<Slot> m_slots;
};

// Plain decimal text: as few digits as give the value back, no exponent.
std::string_view numberText(std::optional<double> value, char *buffer, std::size_t size)
{
    if (!value)
        return {};
    const double v = *value == 0 ? 0.0 : *value; // no negative zero
    const auto result = std::to_chars(buffer, buffer + size, v, std::chars_format::fixed);
    return {buffer, std::size_t(result.ptr - buffer)};
}

// An index file beside the target is left alone: the new table's header says
// it has no production index, so no dBASE reader consults one, and the index
// name may be shared with another table (BOOKS.OLD.DBF and BOOKS.DBF).
void replaceFile(const QString &temporary, const QString &target)
{
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        throw FileError(
            QStringLiteral("Cannot replace \"%1\": %2.").arg(target, QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

std::array<int, CatalogFields::Count> ExportRun::orderedRows(const Settings &settings)
{
    std::array<int, CatalogFields::Count> rows;
    std::iota(rows.begin(), rows.end(), 1);
    const auto position = [&](int row) {
        const int p = settings.exportOrder[std::size_t(row - 1)];
        return p >= 1 && p <= CatalogFields::Count ? p : CatalogFields::Count + 1;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return position(a) < position(b); });
    return rows;
}

std::vector<ExportField> ExportRun::exportList(const Settings &settings)
{
    std::vector<ExportField> fields;
    for (int row : orderedRows(settings)) {
        if (settings.exportFields[std::size_t(row - 1)])
            fields.push_back({row, settings.displayNames[std::size_t(row - 1)]});
    }
    return fields;
}

std::vector<FieldDef> ExportRun::tableFields(const std::vector<ExportField> &fields)
{
    const std::vector<FieldDef> book = CatalogTable::fieldDefinitions();
    std::vector<FieldDef> defs;
    defs.reserve(fields.size());
    for (const ExportField &field : fields)
        defs.push_back(book[std::size_t(field.row - 1)]);
    return defs;
}

ExportRun::ExportRun(const DbfTable &catalog, const std::vector<ExportField> &fields, const DateFormat &dates)
    : m_catalog(catalog), m_fields(fields), m_dates(dates.withFourDigitYear(dates.leadingZeros()))
{
    const bool windows1252 = catalog.codePage().number() == CodePage::Windows1252;
    m_sources.reserve(fields.size());
    for (const ExportField &exported : fields) {
        const CatalogField &book = CatalogFields::row(exported.row);
        const int field = catalog.field(QString::fromLatin1(book.name));
        const FieldDef &def = catalog.fields()[std::size_t(field)];
        m_sources.push_back({field, book.kind, windows1252 && def.type == 'C'});
    }
    if (!catalog.fields().empty())
        m_recordLength = catalog.fields().back().offset + catalog.fields().back().width;
}

template <typename WriteRecord> bool ExportRun::walk(WriteRecord &&writeRecord)
{
    bool stopped = false;
    const int rows = m_catalog.recordCount();
    m_catalog.forEachRow([&](int row, const DbfRecord &record) {
        if (stopped)
            return;
        // The walk fetches the head of the records ahead; every field is read
        // here, so the rest of them is fetched too.
        if (row + PrefetchDistance < rows) {
            const char *ahead = m_catalog.recordAt(row + PrefetchDistance).data();
            for (int offset = PrefetchFrom; offset < m_recordLength; offset += 64)
                __builtin_prefetch(ahead + offset);
        }
        writeRecord(record);
        const int written = row + 1;
        if (written % ProgressInterval == 0 && m_progress && !m_progress(written))
            stopped = true;
    });
    return !stopped && (!m_progress || m_progress(m_catalog.recordCount()));
}

bool ExportRun::writeText(const QString &path, bool headerLine)
{
    refuseTableInUse(path);
    DelimitedWriter out(path);
    if (headerLine) {
        for (const ExportField &field : m_fields)
            out.addValue(field.label);
        out.endLine();
    }
    DateTexts dates(m_dates);
    char number[400];
    const bool complete = walk([&](const DbfRecord &record) {
        for (const Source &s : m_sources) {
            switch (s.kind) {
            case FieldKind::Text:
                if (s.stored1252) {
                    const std::string_view text = record.storedText(s.field);
                    out.addWindows1252(text.data(), text.size());
                } else {
                    out.addValue(record.text(s.field));
                }
                break;
            case FieldKind::Whole:
            case FieldKind::Decimal:
                out.addUtf8(numberText(record.number(s.field), number, sizeof number));
                break;
            case FieldKind::Date:
                out.addUtf8(dates.text(record.date(s.field)));
                break;
            }
        }
        out.endLine();
    });
    if (!complete)
        return false;
    out.commit();
    return true;
}

bool ExportRun::writeTable(const QString &path)
{
    refuseTableInUse(path);
    // The new table is built under a name of its own (its base name, without
    // dots, leads to no companion files of other tables) and renamed at the end.
    QTemporaryFile reserved(QFileInfo(path).dir().filePath(QStringLiteral("Export-XXXXXX.DBF")));
    if (!reserved.open())
        throw FileError(QStringLiteral("Cannot create \"%1\": %2.").arg(path, reserved.errorString()));
    reserved.setPermissions(QFileInfo::exists(path) ? QFile::permissions(path)
                                                    : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ReadGroup | QFileDevice::ReadOther);
    reserved.close();
    const QString temporary = reserved.fileName();
    DbfTable::create(temporary, tableFields(m_fields));

    DbfTable out;
    out.open(temporary, DbfTable::Access::Exclusive);
    out.beginBulkUpdate();
    QString text;
    const bool complete = walk([&](const DbfRecord &record) {
        out.append();
        for (int to = 0; to < int(m_sources.size()); ++to) {
            const Source &s = m_sources[std::size_t(to)];
            switch (s.kind) {
            case FieldKind::Text:
                if (s.stored1252) {
                    const std::string_view stored = record.storedText(s.field);
                    text.resize(qsizetype(stored.size()));
                    QChar *d = text.data();
                    for (std::size_t i = 0; i < stored.size(); ++i)
                        d[i] = QChar(Cp1252::toUnicode(std::uint8_t(stored[i])));
                } else {
                    text = record.text(s.field);
                }
                out.setText(to, text);
                break;
            case FieldKind::Whole:
            case FieldKind::Decimal:
                out.setNumber(to, record.number(s.field));
                break;
            case FieldKind::Date:
                out.setDate(to, record.date(s.field));
                break;
            }
        }
        out.post();
    });
    out.endBulkUpdate();
    out.close();
    if (!complete)
        return false;
    replaceFile(temporary, path);
    return true;
}
