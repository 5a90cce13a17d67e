#include "DbfTable.h"

#include "FaultPoint.h"
#include "MdxFile.h"
#include "framework/Error.h"
#include "framework/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>

namespace {

// Lock slots: the open lock (shared or exclusive) and the write lock that
// serialises appends and index writes between programs that share the table.
constexpr std::uint64_t OpenSlot = 0;
constexpr std::uint64_t WriteSlot = 1;

constexpr std::size_t PendingFlushBytes = 1 << 20;
constexpr int MaxKeyBytes = 128;

bool isBlankByte(char c)
{
    return c == ' ' || c == '\0';
}

std::uint64_t bigEndian64(const std::uint8_t *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

QString causeOf(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e))
        return error->message();
    return QString::fromLocal8Bit(e.what());
}

} // namespace

// Holds the write lock for its lifetime. Counted, so that a bulk update can
// keep the lock from its first written record to its end while the steps
// within take and release it as usual.
class DbfTable::WriteLock
{
public:
    explicit WriteLock(DbfTable &table) : m_table(table) { m_table.acquireWriteLock(); }
    ~WriteLock() { m_table.releaseWriteLock(); }
    WriteLock(const WriteLock &) = delete;
    WriteLock &operator=(const WriteLock &) = delete;

private:
    DbfTable &m_table;
};

// ---------------------------------------------------------------------------
// DbfRecord

std::string_view DbfRecord::storedText(int field) const
{
    const FieldDef &f = m_table->fieldDef(field);
    const char *p = m_data + f.offset;
    std::size_t end = std::size_t(f.width);
    // Most of a text field is padding: skip it eight blanks at a time.
    constexpr std::uint64_t blanks = 0x2020202020202020ULL;
    std::uint64_t word;
    while (end >= 8 && (std::memcpy(&word, p + end - 8, 8), word == blanks))
        end -= 8;
    while (end > 0 && isBlankByte(p[end - 1]))
        --end;
    return {p, end};
}

QString DbfRecord::text(int field) const
{
    const FieldDef &f = m_table->fieldDef(field);
    if (f.type == 'C') {
        const std::string_view stored = storedText(field);
        return m_table->m_codePage.decode(stored.data(), qsizetype(stored.size()));
    }
    const char *p = m_data + f.offset;
    int end = f.width;
    if (f.type == 'M')
        return m_table->memoText(p);
    int start = 0;
    while (start < end && p[start] == ' ')
        ++start;
    while (end > start && isBlankByte(p[end - 1]))
        --end;
    return QString::fromLatin1(p + start, end - start);
}

std::optional<double> DbfRecord::number(int field) const
{
    const FieldDef &f = m_table->fieldDef(field);
    if (f.type != 'N' && f.type != 'F')
        return std::nullopt;
    const char *p = m_data + f.offset;
    const char *end = p + f.width;
    while (p < end && *p == ' ')
        ++p;
    while (end > p && isBlankByte(end[-1]))
        --end;
    if (p < end && *p == '+')
        ++p;
    if (p == end)
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(p, end, value);
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

QDate DbfRecord::date(int field) const
{
    const FieldDef &f = m_table->fieldDef(field);
    if (f.type != 'D')
        return {};
    const char *p = m_data + f.offset;
    int digits[8];
    for (int i = 0; i < 8; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return {};
        digits[i] = p[i] - '0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    if (year == 0)
        return {};
    return QDate(year, month, day);
}

std::optional<bool> DbfRecord::logical(int field) const
{
    const FieldDef &f = m_table->fieldDef(field);
    if (f.type != 'L')
        return std::nullopt;
    switch (m_data[f.offset]) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
        return true;
    case 'F':
    case 'f':
    case 'N':
    case 'n':
        return false;
    default:
        return std::nullopt;
    }
}

bool DbfRecord::isBlank(int field) const
{
    const FieldDef &f = m_table->fieldDef(field);
    const char *p = m_data + f.offset;
    return std::all_of(p, p + f.width, isBlankByte);
}

// ---------------------------------------------------------------------------
// Opening and closing

DbfTable::DbfTable() = default;

DbfTable::~DbfTable()
{
    close();
}

void DbfTable::create(const QString &path, const std::vector<FieldDef> &fields)
{
    const DbfHeader header = DbfHeader::forNewTable(fields);
    if (QFileInfo::exists(path) && inUse(path))
        throw DbfInUseError(QStringLiteral("The table \"%1\" is in use by another program.").arg(path));
    QByteArray bytes = header.serialize();
    bytes.append(DbfHeader::EndOfFile);
    ReplacementFile file(path);
    file.file().writeAt(0, bytes.constData(), std::size_t(bytes.size()));
    file.commit("create:written");
    // An index left from the replaced table belongs to it, not to the new one.
    const QString mdx = FileNames::companion(path, QStringLiteral("MDX"));
    if (QFileInfo::exists(mdx))
        QFile::remove(mdx);
}

bool DbfTable::inUse(const QString &path)
{
    PosixFile file;
    if (PosixFile::tryOpen(path, O_RDONLY, file) != 0)
        return true;
    return file.lockedByOthers(PosixFile::Lock::Exclusive, OpenSlot);
}

QStringList DbfTable::removeStaleTemporaries(const QString &path)
{
    return ReplacementFile::removeStale(path) +
           ReplacementFile::removeStale(FileNames::companion(path, QStringLiteral("MDX")));
}

void DbfTable::open(const QString &path, Access access)
{
    openFile(path, access, [this] {
        if (!m_indexName.isEmpty())
            activateIndex();
        else
            rebuildRows();
    });
}

void DbfTable::open(const QString &path, Access access, const IndexSpec &index)
{
    openFile(path, access, [&] {
        m_indexName = index.tag;
        m_writeBuiltIndex = index.write;
        if (index.tag.isEmpty()) {
            rebuildRows();
            return;
        }
        // The stored tag serves when it carries the expression asked for.
        const auto bare = [](QString text) { return text.remove(QLatin1Char(' ')); };
        if (!index.rebuild &&
            bare(tagExpression(index.tag)).compare(bare(index.expression), Qt::CaseInsensitive) == 0) {
            try {
                activateIndex();
                return;
            } catch (const DbfError &) {
                // An index that cannot be read is built anew below.
            }
        }
        dropIndex();
        m_key.emplace(index.expression, m_header.fields, m_codePage);
        reindex();
        saveBuiltIndex();
    });
    m_writeBuiltIndex = true;
}

void DbfTable::openFile(const QString &path, Access access, const std::function<void()> &arrange)
{
    close();
    m_path = path;
    m_access = access;
    m_readOnly = access == Access::ReadOnly;
    int error = PosixFile::tryOpen(path, m_readOnly ? O_RDONLY : O_RDWR, m_file);
    if (error && access == Access::Shared && (error == EACCES || error == EROFS || error == EPERM)) {
        m_readOnly = true;
        error = PosixFile::tryOpen(path, O_RDONLY, m_file);
    }
    if (error) {
        const QString reason = QString::fromLocal8Bit(std::strerror(error));
        if (access == Access::Exclusive && (error == EACCES || error == EROFS || error == EPERM))
            throw DbfReadOnlyError(
                QStringLiteral("The table \"%1\" is read-only; it cannot be opened for changes (%2).")
                    .arg(path, reason));
        throw DbfError(QStringLiteral("Cannot open the table \"%1\": %2.").arg(path, reason));
    }
    const auto lock = access == Access::Exclusive ? PosixFile::Lock::Exclusive : PosixFile::Lock::Shared;
    if (!m_file.tryLock(lock, OpenSlot)) {
        m_file.close();
        throw DbfInUseError(QStringLiteral("The table \"%1\" is in use by another program.").arg(path));
    }
    try {
        const std::uint64_t size = m_file.size();
        try {
            if (size < DbfHeader::HeaderSize)
                throw DbfError(QStringLiteral("The file is too short to be a dBASE table (%1 bytes).").arg(size));
            mapFile(size);
            m_header = DbfHeader::parse(m_mapping.bytes(), std::size_t(size), size);
        } catch (const DbfError &e) {
            // A refused file is named, with the reason.
            QString reason = e.message();
            if (!reason.isEmpty())
                reason[0] = reason[0].toLower();
            throw DbfError(QStringLiteral("%1 cannot be opened: %2").arg(QFileInfo(path).fileName(), reason));
        }
        if (!m_readOnly)
            cutUncommittedTail();
        m_count = m_header.count;
        m_codePage = CodePage::forLanguageDriver(m_header.languageDriver);
        if (m_header.hasMemo())
            openMemo();
        m_state = State::Browse;
        arrange();
        first();
    } catch (...) {
        close();
        throw;
    }
}

void DbfTable::close()
{
    if (m_state == State::Inactive && !m_file.isOpen())
        return;
    if (m_bulkDepth > 0) {
        // An unfinished bulk update keeps what was posted.
        m_bulkDepth = 0;
        try {
            finishBulk();
        } catch (const std::exception &) {
        }
    }
    m_state = State::Inactive;
    m_buffer.clear();
    m_mapping = FileMapping();
    m_memo.reset();
    m_file.close(); // releases every lock of this open
    m_writeLocks = 0;
    m_bulkLocked = false;
    dropIndex();
    m_rows.clear();
    m_count = 0;
    m_row = -1;
    m_bof = m_eof = true;
}

void DbfTable::mapFile(std::uint64_t needed)
{
    // Room for appends so that most of them need no new mapping.
    const std::uint64_t slack = std::max<std::uint64_t>(needed / 4, 4u << 20);
    m_mapping = FileMapping();
    m_mapping = FileMapping(m_file, std::size_t(needed + slack));
}

void DbfTable::ensureMapped(std::uint32_t count)
{
    const std::uint64_t end = recordOffset(count + 1) + 1;
    if (end > m_mapping.length())
        mapFile(end);
}

void DbfTable::cutUncommittedTail()
{
    // Records beyond the header's count were written by an append that never
    // reached its commit point (a crash, or a failure whose undo failed as
    // well). Readers that go by the file's length would take them for records,
    // so they are cut off; unless another program holds the write lock, whose
    // append in progress they may be.
    if (!m_file.tryLock(PosixFile::Lock::Exclusive, WriteSlot))
        return;
    const auto unlock = qScopeGuard([this] { m_file.unlock(WriteSlot); });
    std::uint8_t stored[4];
    m_file.readAt(DbfHeader::CountOffset, stored, sizeof stored);
    const std::uint64_t end = m_header.headerLength + std::uint64_t(readLittleEndian32(stored)) * m_header.recordLength;
    const std::uint64_t size = m_file.size();
    if (size <= end)
        return;
    char last = 0;
    if (size == end + 1)
        m_file.readAt(end, &last, 1);
    if (last == DbfHeader::EndOfFile)
        return;
    try {
        const char eof = DbfHeader::EndOfFile;
        m_file.writeAt(end, &eof, 1);
        m_file.truncate(end + 1);
    } catch (const DbfError &) {
        // The header's count still says which records the table holds.
    }
}

void DbfTable::acquireWriteLock()
{
    if (m_writeLocks == 0)
        m_file.waitLock(PosixFile::Lock::Exclusive, WriteSlot);
    ++m_writeLocks;
}

void DbfTable::releaseWriteLock()
{
    if (--m_writeLocks == 0)
        m_file.unlock(WriteSlot);
}

std::uint32_t DbfTable::committedCount() const
{
    std::uint8_t stored[4];
    m_file.readAt(DbfHeader::CountOffset, stored, sizeof stored);
    const std::uint64_t size = m_file.size();
    const std::uint64_t room =
        size > m_header.headerLength ? (size - m_header.headerLength) / m_header.recordLength : 0;
    return std::uint32_t(std::min<std::uint64_t>(room, readLittleEndian32(stored)));
}

void DbfTable::openMemo()
{
    const QString dbt = FileNames::companion(m_path, QStringLiteral("DBT"));
    auto memo = std::make_unique<PosixFile>();
    if (PosixFile::tryOpen(dbt, O_RDONLY, *memo) != 0)
        return; // a missing memo file leaves the memo fields empty
    m_memoSize = memo->size();
    m_memoBlockSize = 512;
    if ((m_header.version & 0x08) && m_memoSize >= 22) {
        std::uint8_t head[22];
        memo->readAt(0, head, sizeof head);
        const int size = readLittleEndian16(head + 20);
        if (size >= 64 && size <= 32768)
            m_memoBlockSize = size;
    }
    m_memo = std::move(memo);
}

QString DbfTable::memoText(const char *stored) const
{
    std::uint64_t block = 0;
    for (int i = 0; i < 10; ++i) {
        const char c = stored[i];
        if (c >= '0' && c <= '9')
            block = block * 10 + std::uint64_t(c - '0');
        else if (c != ' ')
            return {};
    }
    if (!m_memo || block == 0)
        return {};
    const std::uint64_t offset = block * std::uint64_t(m_memoBlockSize);
    if (offset >= m_memoSize)
        return {};
    const std::uint64_t room = m_memoSize - offset;
    std::uint8_t head[8] = {};
    if (room >= 8)
        m_memo->readAt(offset, head, 8);
    if (room >= 8 && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
        // dBASE IV: a length word (text + 8) ahead of the text.
        const std::uint64_t length = std::min<std::uint64_t>(readLittleEndian32(head + 4), room);
        if (length <= 8)
            return {};
        QByteArray text(qsizetype(length - 8), Qt::Uninitialized);
        m_memo->readAt(offset + 8, text.data(), std::size_t(text.size()));
        return m_codePage.decode(text.constData(), text.size());
    }
    // dBASE III: the text runs to the first 0x1A.
    constexpr std::uint64_t MaxMemo = 1 << 20;
    QByteArray text(qsizetype(std::min(room, MaxMemo)), Qt::Uninitialized);
    m_memo->readAt(offset, text.data(), std::size_t(text.size()));
    const qsizetype end = text.indexOf(DbfHeader::EndOfFile);
    if (end >= 0)
        text.truncate(end);
    return m_codePage.decode(text.constData(), text.size());
}

// ---------------------------------------------------------------------------
// Structure

int DbfTable::fieldIndex(QStringView name) const
{
    for (std::size_t i = 0; i < m_header.fields.size(); ++i) {
        if (QStringView(m_header.fields[i].name).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int DbfTable::field(QStringView name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw DbfError(QStringLiteral("The table has no field %1.").arg(name));
    return index;
}

const FieldDef &DbfTable::fieldDef(int field) const
{
    if (field < 0 || std::size_t(field) >= m_header.fields.size())
        throw DbfError(QStringLiteral("Field number %1 does not exist.").arg(field + 1));
    return m_header.fields[std::size_t(field)];
}

// ---------------------------------------------------------------------------
// Index

QString DbfTable::mdxPath() const
{
    return FileNames::companion(m_path, QStringLiteral("MDX"));
}

QStringList DbfTable::indexTags() const
{
    QStringList names;
    try {
        PosixFile file(mdxPath(), O_RDONLY);
        const FileMapping mapping(file, std::size_t(file.size()));
        const MdxReader reader(mapping.bytes(), mapping.length());
        for (const MdxTag &tag : reader.tags())
            names << tag.name;
    } catch (const DbfError &) {
    }
    return names;
}

QString DbfTable::tagExpression(const QString &tagName) const
{
    try {
        PosixFile file(mdxPath(), O_RDONLY);
        const FileMapping mapping(file, std::size_t(file.size()));
        const MdxReader reader(mapping.bytes(), mapping.length());
        if (const MdxTag *tag = reader.tag(tagName))
            return tag->expression;
    } catch (const DbfError &) {
    }
    return {};
}

QString DbfTable::indexExpression() const
{
    return m_key ? m_key->text() : QString();
}

QByteArray DbfTable::indexKey(std::uint32_t recno) const
{
    if (!m_key || recno == 0 || recno > m_count)
        return {};
    return QByteArray(reinterpret_cast<const char *>(keyOf(recno)), m_key->keyLength());
}

void DbfTable::setIndexName(const QString &tag)
{
    if (!isOpen()) {
        m_indexName = tag;
        return;
    }
    ensureBrowse();
    const std::uint32_t recno = recNo();
    m_indexName = tag;
    dropIndex();
    if (tag.isEmpty()) {
        rebuildRows();
    } else {
        try {
            activateIndex();
        } catch (...) {
            m_indexName.clear();
            dropIndex();
            rebuildRows();
            first();
            throw;
        }
    }
    placeCursorOn(recno, 0);
}

void DbfTable::dropIndex()
{
    m_key.reset();
    m_keys.clear();
    m_order.clear();
    m_indexRepairReason.clear();
    m_indexNotSaved.clear();
}

void DbfTable::activateIndex()
{
    dropIndex();
    const QString mdx = mdxPath();
    if (!QFileInfo::exists(mdx))
        throw DbfError(QStringLiteral("The index file \"%1\" does not exist.").arg(mdx));
    PosixFile file(mdx, O_RDONLY);
    const FileMapping mapping(file, std::size_t(file.size()));
    m_indexIdentity = file.identity();
    std::optional<MdxReader> reader;
    const MdxTag *tag = nullptr;
    try {
        reader.emplace(mapping.bytes(), mapping.length());
        tag = reader->tag(m_indexName);
        if (!tag)
            throw DbfError(QStringLiteral("It has no tag %1.").arg(m_indexName));
        m_key.emplace(tag->expression, m_header.fields, m_codePage);
    } catch (const DbfError &e) {
        // Without a readable expression there is nothing to rebuild from.
        m_key.reset();
        throw DbfError(QStringLiteral("The index file \"%1\" cannot be used. %2").arg(mdx, e.message()));
    }
    const LargeVector<std::uint8_t> visible = scan(&*m_key, &m_keys);
    QString reason;
    if (tag->keyType != 'C' || tag->descending || tag->unique || !tag->forExpression.isEmpty() ||
        tag->keyLength != m_key->keyLength()) {
        reason = QStringLiteral("the layout of tag %1 does not fit its expression").arg(tag->name);
    } else {
        try {
            reason = verifyStoredOrder(*reader, *tag);
        } catch (const DbfError &e) {
            reason = e.message();
        }
    }
    if (reason.isEmpty()) {
        buildRows(visible);
        return;
    }
    m_indexRepairReason = reason;
    m_order = sortedOrder(m_key->keyLength(), m_keys);
    buildRows(visible);
    saveBuiltIndex();
}

QString DbfTable::verifyStoredOrder(const MdxReader &reader, const MdxTag &tag)
{
    // The stored tag is used only when it holds every record once, with the key
    // the record has now, in key order.
    const std::size_t length = std::size_t(m_key->keyLength());
    std::vector<bool> seen(std::size_t(m_count) + 1, false);
    const std::uint8_t *previous = nullptr;
    std::uint32_t previousRecord = 0;
    QString problem;
    m_order.clear();
    m_order.reserve(m_count);
    reader.walk(tag, [&](std::uint32_t record, const std::uint8_t *stored) {
        if (!problem.isEmpty())
            return;
        if (record == 0 || record > m_count || seen[record]) {
            problem = QStringLiteral("the index names record %1, which the table does not hold once").arg(record);
            return;
        }
        seen[record] = true;
        const std::uint8_t *key = keyOf(record);
        if (std::memcmp(key, stored, length) != 0) {
            problem = QStringLiteral("the key of record %1 does not match the record").arg(record);
            return;
        }
        if (previous) {
            const int c = std::memcmp(previous, key, length);
            if (c > 0 || (c == 0 && previousRecord > record)) {
                problem = QStringLiteral("the index is out of order at record %1").arg(record);
                return;
            }
        }
        previous = key;
        previousRecord = record;
        m_order.push_back(record);
    });
    if (problem.isEmpty() && m_order.size() != m_count)
        problem = QStringLiteral("the index holds %1 entries for %2 records").arg(m_order.size()).arg(m_count);
    if (!problem.isEmpty())
        m_order.clear();
    return problem;
}

LargeVector<std::uint8_t> DbfTable::scan(const KeyExpression *key, LargeVector<std::uint8_t> *keys) const
{
    // Records are read in file order through a small buffer: touching a
    // mapped table record by record costs a page-table walk per page.
    LargeVector<std::uint8_t> visible(std::size_t(m_count) + 1, 0);
    const std::size_t length = key ? std::size_t(key->keyLength()) : 0;
    if (keys)
        keys->resize(std::size_t(m_count) * length);
    const std::size_t recordLength = m_header.recordLength;
    const std::uint32_t perChunk = std::uint32_t(std::max<std::size_t>(1, (256 * 1024) / recordLength));
    m_scanBuffer.resize(perChunk * recordLength);
    for (std::uint32_t first = 1; first <= m_count; first += perChunk) {
        const std::uint32_t n = std::min(perChunk, m_count - first + 1);
        m_file.readAt(recordOffset(first), m_scanBuffer.data(), n * recordLength);
        for (std::uint32_t k = 0; k < n; ++k) {
            const char *record = m_scanBuffer.data() + k * recordLength;
            const std::uint32_t recno = first + k;
            if (keys)
                key->evaluate(record, keys->data() + std::size_t(recno - 1) * length);
            visible[recno] = record[0] != DbfHeader::DeletedFlag && (!m_filter || m_filter(DbfRecord(*this, record)));
        }
    }
    return visible;
}

LargeVector<std::uint32_t> DbfTable::sortedOrder(int keyLength, const LargeVector<std::uint8_t> &keys) const
{
    // Sort on the first 16 key bytes held as two integers, then settle runs of
    // equal prefixes on the rest of the key.
    const std::size_t length = std::size_t(keyLength);
    struct Entry
    {
        std::uint64_t high;
        std::uint64_t low;
        std::uint32_t record;
    };
    LargeVector<Entry> entries(m_count);
    std::uint8_t prefix[16];
    for (std::uint32_t r = 1; r <= m_count; ++r) {
        std::memset(prefix, 0, sizeof prefix);
        std::memcpy(prefix, keys.data() + (r - 1) * length, std::min<std::size_t>(16, length));
        entries[r - 1] = {bigEndian64(prefix), bigEndian64(prefix + 8), r};
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        return a.record < b.record;
    });
    if (length > 16) {
        for (std::size_t i = 0; i < entries.size();) {
            std::size_t j = i + 1;
            while (j < entries.size() && entries[j].high == entries[i].high && entries[j].low == entries[i].low)
                ++j;
            if (j - i > 1) {
                std::sort(entries.begin() + std::ptrdiff_t(i), entries.begin() + std::ptrdiff_t(j),
                          [&](const Entry &a, const Entry &b) {
                              const int c = std::memcmp(keys.data() + (a.record - 1) * length + 16,
                                                        keys.data() + (b.record - 1) * length + 16, length - 16);
                              return c != 0 ? c < 0 : a.record < b.record;
                          });
            }
            i = j;
        }
    }
    LargeVector<std::uint32_t> order(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        order[i] = entries[i].record;
    return order;
}

void DbfTable::reindex()
{
    // The index file as it is before the records are read: a later one was
    // written by another program after changes these keys may lack.
    m_indexIdentity = FileIdentity::of(mdxPath());
    const LargeVector<std::uint8_t> visible = scan(&*m_key, &m_keys);
    m_order = sortedOrder(m_key->keyLength(), m_keys);
    buildRows(visible);
}

void DbfTable::writeIndex(const QString &tag, const KeyExpression &key, const LargeVector<std::uint8_t> &keys,
                          const LargeVector<std::uint32_t> &order)
{
    const QString table = QFileInfo(FileNames::base(m_path)).fileName();
    const std::size_t length = std::size_t(key.keyLength());
    MdxWriter::write(mdxPath(), table, tag, key.text(), key.keyLength(), order.size(),
                     [&](std::size_t i, std::uint8_t *out) {
                         std::memcpy(out, keys.data() + (order[i] - 1) * length, length);
                         return order[i];
                     });
    m_indexIdentity = FileIdentity::of(mdxPath());
    setMdxFlag(true);
}

void DbfTable::takeInOtherChanges()
{
    const std::uint32_t onDisk = committedCount();
    if (onDisk <= m_count && FileIdentity::of(mdxPath()) == m_indexIdentity)
        return;
    if (onDisk > m_count) {
        m_count = onDisk;
        ensureMapped(m_count);
    }
    reindex();
}

void DbfTable::saveIndex()
{
    WriteLock lock(*this);
    takeInOtherChanges();
    writeIndex(m_indexName, *m_key, m_keys, m_order);
}

void DbfTable::saveBuiltIndex()
{
    if (m_readOnly || !m_writeBuiltIndex)
        return;
    try {
        saveIndex();
    } catch (const std::exception &e) {
        m_indexNotSaved = causeOf(e);
    }
}

void DbfTable::storeIndex()
{
    try {
        writeIndex(m_indexName, *m_key, m_keys, m_order);
    } catch (const std::exception &e) {
        throwIndexNotSaved(e);
    }
}

void DbfTable::throwIndexNotSaved(const std::exception &failure) const
{
    const QString cause = causeOf(failure);
    throw DbfIndexNotSavedError(QStringLiteral("The change was stored in \"%1\", but its index \"%2\" could not be "
                                               "saved: %3 The index will be rebuilt when the table is next opened.")
                                    .arg(m_path, mdxPath(), cause),
                                cause);
}

void DbfTable::setMdxFlag(bool on)
{
    // Byte 28 says a production index belongs to the table; byte 31 of a
    // descriptor marks a bare-field tag, which the index we write never has.
    std::uint8_t flags = m_header.flags;
    flags = on ? (flags | DbfHeader::MdxFlag) : (flags & ~DbfHeader::MdxFlag);
    if (flags != m_header.flags) {
        m_file.writeAt(DbfHeader::FlagsOffset, &flags, 1);
        m_header.flags = flags;
    }
    const std::uint8_t zero = 0;
    for (std::size_t i = 0; i < m_header.fields.size(); ++i) {
        const std::size_t at = DbfHeader::HeaderSize + i * DbfHeader::DescriptorSize + 31;
        if (m_mapping.data()[at] != 0)
            m_file.writeAt(at, &zero, 1);
    }
}

void DbfTable::addIndex(const QString &tag, const QString &expression, bool select)
{
    ensureBrowse();
    ensureWritable();
    KeyExpression key(expression, m_header.fields, m_codePage);
    // The records are read under the write lock, so that the index written
    // holds every record the table holds when it is written.
    WriteLock lock(*this);
    m_count = std::max(m_count, committedCount());
    ensureMapped(m_count);
    LargeVector<std::uint8_t> keys;
    const LargeVector<std::uint8_t> visible = scan(&key, &keys);
    LargeVector<std::uint32_t> order = sortedOrder(key.keyLength(), keys);
    writeIndex(tag, key, keys, order);
    const std::uint32_t recno = recNo();
    if (select)
        m_indexName = tag;
    dropIndex();
    if (tag.compare(m_indexName, Qt::CaseInsensitive) == 0) {
        m_key = std::move(key);
        m_keys = std::move(keys);
        m_order = std::move(order);
    } else {
        m_indexName.clear(); // the index holds only the new tag now
    }
    buildRows(visible);
    placeCursorOn(recno, 0);
}

void DbfTable::deleteIndex(const QString &tag)
{
    ensureBrowse();
    ensureWritable();
    const QString mdx = mdxPath();
    if (QFileInfo::exists(mdx)) {
        const QStringList tags = indexTags();
        if (tags.isEmpty() || tags.contains(tag, Qt::CaseInsensitive)) {
            if (!QFile::remove(mdx))
                throw DbfError(QStringLiteral("Cannot delete the index file \"%1\".").arg(mdx));
            setMdxFlag(false);
        }
    }
    if (tag.compare(m_indexName, Qt::CaseInsensitive) == 0) {
        const std::uint32_t recno = recNo();
        m_indexName.clear();
        dropIndex();
        rebuildRows();
        placeCursorOn(recno, 0);
    }
}

void DbfTable::regenerateIndexes()
{
    ensureBrowse();
    ensureWritable();
    if (m_key) {
        const std::uint32_t recno = recNo();
        reindex();
        saveIndex();
        placeCursorOn(recno, 0);
        return;
    }
    // No tag in use: rebuild the first tag of the index that can be evaluated.
    for (const QString &tag : indexTags()) {
        std::optional<KeyExpression> key;
        try {
            key.emplace(tagExpression(tag), m_header.fields, m_codePage);
        } catch (const DbfError &) {
            continue;
        }
        WriteLock lock(*this);
        const std::uint32_t onDisk = committedCount();
        if (onDisk > m_count) {
            m_count = onDisk;
            ensureMapped(m_count);
            rebuildRows();
        }
        LargeVector<std::uint8_t> keys;
        scan(&*key, &keys);
        writeIndex(tag, *key, keys, sortedOrder(key->keyLength(), keys));
        return;
    }
}

void DbfTable::pack()
{
    ensureBrowse();
    ensureWritable();
    if (m_access != Access::Exclusive)
        throw DbfError(QStringLiteral("Packing needs exclusive use of the table \"%1\".").arg(m_path));
    // The new table is written beside the old one and renamed over it. Records
    // are read in file order through a buffer, the live ones closed up in it.
    ReplacementFile replacement(m_path);
    PosixFile &out = replacement.file();
    std::vector<std::uint8_t> head(m_mapping.bytes(), m_mapping.bytes() + m_header.headerLength);
    std::uint64_t written = head.size();
    std::uint32_t live = 0;
    const std::size_t recordLength = m_header.recordLength;
    const std::uint32_t perChunk = std::uint32_t(std::max<std::size_t>(1, (1024 * 1024) / recordLength));
    m_scanBuffer.resize(perChunk * recordLength);
    for (std::uint32_t first = 1; first <= m_count; first += perChunk) {
        const std::uint32_t n = std::min(perChunk, m_count - first + 1);
        char *chunk = m_scanBuffer.data();
        m_file.readAt(recordOffset(first), chunk, n * recordLength);
        std::size_t kept = 0;
        for (std::uint32_t k = 0; k < n; ++k) {
            const char *record = chunk + k * recordLength;
            if (record[0] == DbfHeader::DeletedFlag)
                continue;
            if (kept != k)
                std::memmove(chunk + kept * recordLength, record, recordLength);
            ++kept;
        }
        out.writeAt(written, chunk, kept * recordLength);
        written += kept * recordLength;
        live += std::uint32_t(kept);
    }
    const char end = DbfHeader::EndOfFile;
    out.writeAt(written, &end, 1);
    const QDate today = QDate::currentDate();
    head[1] = std::uint8_t(today.year() - 1900);
    head[2] = std::uint8_t(today.month());
    head[3] = std::uint8_t(today.day());
    writeLittleEndian32(&head[DbfHeader::CountOffset], live);
    out.writeAt(0, head.data(), head.size());
    replacement.commit("pack:written");

    // The new file is the table now, in exclusive use since it was created.
    m_mapping = FileMapping();
    m_file = std::move(replacement.file());
    const std::uint64_t size = m_file.size();
    mapFile(size);
    m_header = DbfHeader::parse(m_mapping.bytes(), std::size_t(size), size);
    m_count = m_header.count;
    if (m_key)
        reindex();
    else
        rebuildRows();
    first();
    try {
        if (m_key)
            writeIndex(m_indexName, *m_key, m_keys, m_order);
        else
            regenerateIndexes();
    } catch (const std::exception &e) {
        throwIndexNotSaved(e);
    }
}

// ---------------------------------------------------------------------------
// Visible records and cursor

bool DbfTable::accepts(std::uint32_t recno) const
{
    const char *data = recordData(recno);
    if (data[0] == DbfHeader::DeletedFlag)
        return false;
    return !m_filter || m_filter(DbfRecord(*this, data));
}

void DbfTable::rebuildRows()
{
    buildRows(scan(nullptr, nullptr));
}

void DbfTable::buildRows(const LargeVector<std::uint8_t> &visible)
{
    m_rows.clear();
    if (m_key) {
        m_rows.reserve(m_order.size());
        for (std::uint32_t r : m_order) {
            if (visible[r])
                m_rows.push_back(r);
        }
    } else {
        m_rows.reserve(m_count);
        for (std::uint32_t r = 1; r <= m_count; ++r) {
            if (visible[r])
                m_rows.push_back(r);
        }
    }
}

bool DbfTable::before(std::uint32_t a, const std::uint8_t *keyA, std::uint32_t b) const
{
    // (key of a, a) < (key of b, b)
    if (!m_key || a == b)
        return a < b;
    const int c = std::memcmp(keyA, keyOf(b), std::size_t(m_key->keyLength()));
    return c != 0 ? c < 0 : a < b;
}

std::size_t DbfTable::orderPosition(const LargeVector<std::uint32_t> &list, std::uint32_t recno,
                                    const std::uint8_t *key) const
{
    // First position whose entry does not sort before (key, recno).
    std::size_t low = 0;
    std::size_t high = list.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (list[mid] != recno && !before(recno, key, list[mid]))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

void DbfTable::removeFrom(LargeVector<std::uint32_t> &list, std::uint32_t recno, const std::uint8_t *key)
{
    const std::size_t at = orderPosition(list, recno, key);
    if (at < list.size() && list[at] == recno) {
        list.erase(list.begin() + std::ptrdiff_t(at));
        return;
    }
    const auto it = std::find(list.begin(), list.end(), recno);
    if (it != list.end())
        list.erase(it);
}

void DbfTable::insertInto(LargeVector<std::uint32_t> &list, std::uint32_t recno, const std::uint8_t *key)
{
    list.insert(list.begin() + std::ptrdiff_t(orderPosition(list, recno, key)), recno);
}

void DbfTable::placeCursorOn(std::uint32_t recno, int fallbackRow)
{
    m_bof = m_eof = m_rows.empty();
    if (m_rows.empty()) {
        m_row = -1;
        return;
    }
    if (recno != 0 && recno <= m_count) {
        const std::size_t at = orderPosition(m_rows, recno, m_key ? keyOf(recno) : nullptr);
        if (at < m_rows.size() && m_rows[at] == recno) {
            m_row = int(at);
            return;
        }
    }
    m_row = std::clamp(fallbackRow, 0, int(m_rows.size()) - 1);
}

void DbfTable::setFilter(Filter filter)
{
    ensureBrowse();
    m_filter = std::move(filter);
    if (!isOpen())
        return;
    rebuildRows();
    first();
}

void DbfTable::refresh()
{
    ensureBrowse();
    if (m_bulkDepth > 0)
        flushPendingOrUndo();
    const std::uint32_t recno = recNo();
    const int row = m_row;
    std::uint8_t head[DbfHeader::HeaderSize];
    m_file.readAt(0, head, sizeof head);
    if (readLittleEndian16(head + 8) != m_header.headerLength ||
        readLittleEndian16(head + 10) != m_header.recordLength) {
        // Another program rebuilt the table: read it anew.
        const QString path = m_path;
        const Access access = m_access;
        open(path, access);
        return;
    }
    const std::uint64_t size = m_file.size();
    const std::uint64_t room =
        size >= m_header.headerLength ? (size - m_header.headerLength) / m_header.recordLength : 0;
    m_header.storedCount = readLittleEndian32(head + DbfHeader::CountOffset);
    m_header.flags = head[DbfHeader::FlagsOffset];
    // A bulk update counts the records it wrote only when it ends; until then
    // no other program appends.
    const std::uint32_t count =
        m_bulkAppended ? m_count : std::uint32_t(std::min<std::uint64_t>(room, m_header.storedCount));
    if (std::uint64_t(m_header.headerLength) + std::uint64_t(count) * m_header.recordLength > m_mapping.length())
        mapFile(size);
    // Keys are computed again only when the table grew; otherwise the visible
    // records are enough (a new filter, records deleted elsewhere).
    const bool grew = count != m_count;
    m_count = count;
    if (m_key && grew)
        reindex();
    else
        rebuildRows();
    placeCursorOn(recno <= m_count ? recno : 0, row);
}

void DbfTable::first()
{
    ensureBrowse();
    m_row = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
}

void DbfTable::last()
{
    ensureBrowse();
    m_row = int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.empty();
}

void DbfTable::next()
{
    ensureBrowse();
    m_bof = false;
    if (m_row + 1 < int(m_rows.size())) {
        ++m_row;
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void DbfTable::prior()
{
    ensureBrowse();
    m_eof = false;
    if (m_row > 0) {
        --m_row;
        m_bof = false;
    } else {
        m_bof = true;
    }
}

void DbfTable::setRow(int row)
{
    ensureBrowse();
    if (m_rows.empty())
        return;
    m_row = std::clamp(row, 0, int(m_rows.size()) - 1);
    m_bof = m_eof = false;
}

std::uint32_t DbfTable::recNo() const
{
    if (m_state == State::Insert)
        return 0;
    if (m_state == State::Edit)
        return m_editRecno;
    return m_row >= 0 && std::size_t(m_row) < m_rows.size() ? m_rows[std::size_t(m_row)] : 0;
}

bool DbfTable::goToRecord(std::uint32_t recno)
{
    ensureBrowse();
    if (recno == 0 || recno > m_count)
        return false;
    const int row = m_row;
    placeCursorOn(recno, row);
    return recNo() == recno;
}

DbfRecord DbfTable::current() const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return DbfRecord(*this, m_buffer.data());
    if (m_state == State::Inactive)
        throw DbfError(QStringLiteral("The table is not open."));
    if (m_row < 0 || std::size_t(m_row) >= m_rows.size())
        throw DbfError(QStringLiteral("There is no current record."));
    return recordAt(m_row);
}

// ---------------------------------------------------------------------------
// Editing

void DbfTable::ensureBrowse()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
}

void DbfTable::ensureEditing() const
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbfError(QStringLiteral("The table is not being edited."));
}

void DbfTable::ensureWritable() const
{
    if (m_state == State::Inactive)
        throw DbfError(QStringLiteral("The table is not open."));
    if (m_readOnly)
        throw DbfReadOnlyError(QStringLiteral("The table \"%1\" is read-only; it cannot be changed.").arg(m_path));
}

void DbfTable::append()
{
    ensureWritable();
    ensureBrowse();
    m_buffer.assign(m_header.recordLength, ' ');
    m_editRecno = 0;
    m_state = State::Insert;
}

void DbfTable::edit()
{
    ensureWritable();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    const DbfRecord record = current();
    m_buffer.assign(record.data(), record.data() + m_header.recordLength);
    m_editRecno = m_rows[std::size_t(m_row)];
    m_state = State::Edit;
}

void DbfTable::edit(std::uint32_t recno)
{
    ensureWritable();
    ensureBrowse();
    if (recno == 0 || recno > m_count)
        throw DbfError(QStringLiteral("Record %1 does not exist.").arg(recno));
    const char *record = recordData(recno);
    m_buffer.assign(record, record + m_header.recordLength);
    m_editRecno = recno;
    m_state = State::Edit;
}

void DbfTable::cancel()
{
    if (m_state == State::Edit || m_state == State::Insert)
        m_state = State::Browse;
    m_buffer.clear();
}

std::uint32_t DbfTable::appendRecord(const char *record)
{
    // The record and the end-of-file byte go in first, then the header count,
    // which is the commit point: a crash in between leaves bytes beyond the
    // count, which the next writable open cuts off; a failure cuts them off at
    // once.
    const std::uint32_t onDisk = committedCount();
    ensureMapped(onDisk + 1);
    std::uint8_t oldHead[DateAndCountBytes];
    m_file.readAt(1, oldHead, sizeof oldHead);
    std::vector<char> block(record, record + m_header.recordLength);
    block.push_back(DbfHeader::EndOfFile);
    try {
        m_file.writeAt(recordOffset(onDisk + 1), block.data(), block.size());
        FaultPoint::reach("append:record-written");
        writeCount(onDisk + 1);
    } catch (...) {
        cutBack(onDisk, oldHead);
        throw;
    }
    return onDisk;
}

void DbfTable::writeCount(std::uint32_t count)
{
    std::uint8_t head[DateAndCountBytes];
    const QDate today = QDate::currentDate();
    head[0] = std::uint8_t(today.year() - 1900);
    head[1] = std::uint8_t(today.month());
    head[2] = std::uint8_t(today.day());
    writeLittleEndian32(head + 3, count);
    m_file.writeAt(1, head, sizeof head);
    m_header.storedCount = count;
}

void DbfTable::cutBack(std::uint32_t count, const std::uint8_t *oldHead) noexcept
{
    // As far as the disk allows: whatever stays lies beyond the header's
    // count, where readers do not look, and the next writable open cuts it off.
    try {
        std::uint8_t head[DateAndCountBytes];
        m_file.readAt(1, head, sizeof head);
        if (std::memcmp(head, oldHead, sizeof head) != 0)
            m_file.writeAt(1, oldHead, sizeof head);
        m_header.storedCount = readLittleEndian32(oldHead + 3);
        const std::uint64_t end = recordOffset(count + 1);
        if (m_file.size() > end) {
            const char eof = DbfHeader::EndOfFile;
            m_file.writeAt(end, &eof, 1);
            m_file.truncate(end + 1);
        }
    } catch (const std::exception &) {
    }
}

void DbfTable::rewriteRecord(std::uint32_t recno, const char *data)
{
    const std::size_t length = m_header.recordLength;
    if (m_bulkDepth > 0) {
        keepForUndo(recno);
        try {
            m_file.writeAt(recordOffset(recno), data, length);
        } catch (...) {
            rollbackBulk();
            throw;
        }
        return;
    }
    const char *stored = recordData(recno);
    const std::vector<char> old(stored, stored + length);
    try {
        m_file.writeAt(recordOffset(recno), data, length);
    } catch (...) {
        // A failed write may have stored part of the record.
        try {
            m_file.writeAt(recordOffset(recno), old.data(), length);
        } catch (const std::exception &) {
        }
        throw;
    }
}

void DbfTable::keepForUndo(std::uint32_t recno)
{
    const char *stored = recordData(recno);
    char number[sizeof recno];
    std::memcpy(number, &recno, sizeof recno);
    m_undo.insert(m_undo.end(), number, number + sizeof number);
    m_undo.insert(m_undo.end(), stored, stored + m_header.recordLength);
}

void DbfTable::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    ensureWritable();
    if (m_state == State::Insert)
        postInsert();
    else
        postEdit();
}

void DbfTable::postInsert()
{
    if (m_bulkDepth > 0) {
        m_pending.insert(m_pending.end(), m_buffer.begin(), m_buffer.end());
        ++m_pendingCount;
        m_lastPosted = 0;
        m_bulkChanged = true;
        m_state = State::Browse;
        if (m_pending.size() >= PendingFlushBytes)
            flushPendingOrUndo();
        return;
    }
    const int row = m_row;
    // The write lock is held from the append to the index write, so that the
    // index holds every record the table holds when it is written.
    WriteLock lock(*this);
    const std::uint32_t known = m_count;
    const std::uint32_t onDisk = appendRecord(m_buffer.data());
    const std::uint32_t recno = onDisk + 1;
    m_state = State::Browse;
    m_count = recno;
    m_lastPosted = recno;
    FaultPoint::reach("append:counted");
    if (onDisk != known || (m_key && FileIdentity::of(mdxPath()) != m_indexIdentity)) {
        // Other programs appended or indexed since the records were read.
        if (m_key)
            reindex();
        else
            rebuildRows();
    } else {
        std::uint8_t key[MaxKeyBytes] = {};
        if (m_key) {
            m_key->evaluate(recordData(recno), key);
            m_keys.insert(m_keys.end(), key, key + m_key->keyLength());
            insertInto(m_order, recno, key);
        }
        if (accepts(recno))
            insertInto(m_rows, recno, key);
    }
    placeCursorOn(recno, row);
    if (m_key)
        storeIndex();
}

void DbfTable::postEdit()
{
    const std::uint32_t recno = m_editRecno;
    const int row = m_row;
    rewriteRecord(recno, m_buffer.data());
    FaultPoint::reach("edit:written");
    m_state = State::Browse;
    m_lastPosted = recno;
    if (m_bulkDepth > 0) {
        m_bulkChanged = true;
        return;
    }
    std::uint8_t oldKey[MaxKeyBytes] = {};
    std::uint8_t newKey[MaxKeyBytes] = {};
    bool keyChanged = false;
    if (m_key) {
        const std::size_t length = std::size_t(m_key->keyLength());
        std::memcpy(oldKey, keyOf(recno), length);
        m_key->evaluate(m_buffer.data(), newKey);
        keyChanged = std::memcmp(oldKey, newKey, length) != 0;
        std::memcpy(m_keys.data() + (recno - 1) * length, newKey, length);
    }
    removeFrom(m_rows, recno, oldKey);
    if (keyChanged) {
        removeFrom(m_order, recno, oldKey);
        insertInto(m_order, recno, newKey);
    }
    if (accepts(recno))
        insertInto(m_rows, recno, newKey);
    if (!keyChanged) {
        placeCursorOn(recno, row);
        return;
    }
    WriteLock lock(*this);
    takeInOtherChanges();
    placeCursorOn(recno, row);
    storeIndex();
}

void DbfTable::deleteRecord()
{
    ensureWritable();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    const std::uint32_t recno = recNo();
    if (recno == 0)
        throw DbfError(QStringLiteral("There is no current record to delete."));
    if (m_bulkDepth > 0)
        keepForUndo(recno);
    const char flag = DbfHeader::DeletedFlag;
    try {
        m_file.writeAt(recordOffset(recno), &flag, 1);
    } catch (...) {
        if (m_bulkDepth > 0)
            rollbackBulk();
        throw;
    }
    // Deleted records keep their place in the index until the table is packed.
    m_rows.erase(m_rows.begin() + m_row);
    m_row = std::min(m_row, int(m_rows.size()) - 1);
    m_bof = m_eof = m_rows.empty();
}

void DbfTable::beginBulkUpdate()
{
    ensureBrowse();
    ensureWritable();
    ++m_bulkDepth;
}

void DbfTable::endBulkUpdate()
{
    if (m_bulkDepth == 0)
        return;
    try {
        ensureBrowse();
    } catch (...) {
        // The failure undid the bulk update: nothing is left to finish.
        --m_bulkDepth;
        throw;
    }
    if (--m_bulkDepth == 0)
        finishBulk();
}

void DbfTable::flushPending()
{
    if (m_pendingCount == 0)
        return;
    if (!m_bulkLocked) {
        acquireWriteLock();
        m_bulkLocked = true;
    }
    if (!m_bulkAppended) {
        // From here to the end of the bulk update no other program appends,
        // and the records written are counted once, when it ends.
        m_bulkBase = committedCount();
        m_file.readAt(1, m_bulkHead, sizeof m_bulkHead);
        m_count = std::max(m_count, m_bulkBase);
        m_bulkAppended = true;
    }
    ensureMapped(m_count + m_pendingCount);
    m_file.writeAt(recordOffset(m_count + 1), m_pending.data(), m_pending.size());
    m_count += m_pendingCount;
    m_pending.clear();
    m_pendingCount = 0;
}

void DbfTable::flushPendingOrUndo()
{
    try {
        flushPending();
    } catch (...) {
        rollbackBulk();
        throw;
    }
}

void DbfTable::rollbackBulk() noexcept
{
    // The last change first, so that a record changed twice gets its bytes
    // from before the bulk update.
    const std::size_t entry = sizeof(std::uint32_t) + m_header.recordLength;
    for (std::size_t at = m_undo.size(); at >= entry; at -= entry) {
        const char *kept = m_undo.data() + at - entry;
        std::uint32_t recno;
        std::memcpy(&recno, kept, sizeof recno);
        try {
            m_file.writeAt(recordOffset(recno), kept + sizeof recno, entry - sizeof recno);
        } catch (const std::exception &) {
        }
    }
    m_undo.clear();
    m_pending.clear();
    m_pendingCount = 0;
    if (m_bulkAppended) {
        cutBack(m_bulkBase, m_bulkHead);
        m_count = m_bulkBase;
        m_bulkAppended = false;
    }
    if (m_bulkLocked) {
        m_bulkLocked = false;
        releaseWriteLock();
    }
    m_bulkChanged = false;
    cancel(); // the record being posted belongs to the bulk update as well
    try {
        const std::uint32_t recno = recNo();
        const int row = m_row;
        if (m_key)
            reindex();
        else
            rebuildRows();
        placeCursorOn(recno <= m_count ? recno : 0, row);
    } catch (const std::exception &) {
    }
}

void DbfTable::finishBulk()
{
    try {
        flushPending();
        if (m_bulkAppended) {
            const char eof = DbfHeader::EndOfFile;
            m_file.writeAt(recordOffset(m_count + 1), &eof, 1);
            FaultPoint::reach("bulk:records-written");
            writeCount(m_count);
            m_bulkAppended = false;
        }
    } catch (...) {
        rollbackBulk();
        throw;
    }
    m_undo.clear();
    m_undo.shrink_to_fit();
    m_pending.shrink_to_fit();
    // The write lock the appends took is kept for the index.
    const bool locked = std::exchange(m_bulkLocked, false);
    const auto release = qScopeGuard([this, locked] {
        if (locked)
            releaseWriteLock();
    });
    if (!m_bulkChanged)
        return;
    m_bulkChanged = false;
    const std::uint32_t recno = m_state == State::Browse ? recNo() : 0;
    const int row = m_row;
    if (!m_key) {
        rebuildRows();
        placeCursorOn(recno, row);
        return;
    }
    WriteLock lock(*this);
    m_count = std::max(m_count, committedCount());
    ensureMapped(m_count);
    reindex();
    placeCursorOn(recno, row);
    FaultPoint::reach("bulk:counted");
    storeIndex();
}

// ---------------------------------------------------------------------------
// Field values

char *DbfTable::bufferField(int field)
{
    ensureEditing();
    return m_buffer.data() + fieldDef(field).offset;
}

void DbfTable::setText(int field, QStringView value)
{
    const FieldDef &f = fieldDef(field);
    char *dst = bufferField(field);
    switch (f.type) {
    case 'C': {
        int n = 0;
        for (qsizetype i = 0; i < value.size() && n < f.width; ++i) {
            char32_t ch = value[i].unicode();
            if (ch < 0x80 && ch != 0) {
                dst[n++] = char(ch);
                continue;
            }
            if (QChar::isHighSurrogate(ch) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
                ch = QChar::surrogateToUcs4(value[i].unicode(), value[i + 1].unicode());
                ++i;
            }
            const std::uint8_t byte = Cp1252::fromUnicode(ch);
            if (byte == 0)
                throw DbfError(
                    QStringLiteral("The %1 field contains the character \"%2\", which the table cannot store.")
                        .arg(f.name, QString::fromUcs4(&ch, 1)));
            dst[n++] = char(byte);
        }
        std::memset(dst + n, ' ', std::size_t(f.width - n));
        return;
    }
    case 'N':
    case 'F': {
        const QString trimmed = value.trimmed().toString();
        if (trimmed.isEmpty()) {
            clearField(field);
            return;
        }
        const QByteArray ascii = trimmed.toLatin1();
        const char *begin = ascii.constData() + (ascii.startsWith('+') ? 1 : 0);
        double number = 0;
        const auto result = std::from_chars(begin, ascii.constData() + ascii.size(), number);
        if (result.ec != std::errc() || result.ptr != ascii.constData() + ascii.size())
            throw DbfError(QStringLiteral("\"%1\" is not a number (field %2).").arg(trimmed, f.name));
        setNumber(field, number);
        return;
    }
    case 'D': {
        const QString trimmed = value.trimmed().toString();
        if (trimmed.isEmpty()) {
            clearField(field);
            return;
        }
        const QDate date = QDate::fromString(trimmed, QStringLiteral("yyyyMMdd"));
        if (!date.isValid())
            throw DbfError(
                QStringLiteral("\"%1\" is not a date in the form YYYYMMDD (field %2).").arg(trimmed, f.name));
        setDate(field, date);
        return;
    }
    case 'L': {
        const QString trimmed = value.trimmed().toString().toUpper();
        if (trimmed.isEmpty())
            setLogical(field, std::nullopt);
        else if (trimmed == QLatin1String("T") || trimmed == QLatin1String("Y"))
            setLogical(field, true);
        else if (trimmed == QLatin1String("F") || trimmed == QLatin1String("N"))
            setLogical(field, false);
        else
            throw DbfError(QStringLiteral("\"%1\" is not a logical value (field %2).").arg(trimmed, f.name));
        return;
    }
    default:
        throw DbfError(QStringLiteral("The memo field %1 cannot be written.").arg(f.name));
    }
}

void DbfTable::setNumber(int field, std::optional<double> value)
{
    const FieldDef &f = fieldDef(field);
    if (f.type != 'N' && f.type != 'F')
        throw DbfError(QStringLiteral("The field %1 is not numeric.").arg(f.name));
    char *dst = bufferField(field);
    if (!value) {
        std::memset(dst, ' ', std::size_t(f.width));
        return;
    }
    double v = *value;
    if (v == 0)
        v = 0; // no negative zero
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, f.decimals);
    const int length = result.ec == std::errc() ? int(result.ptr - text) : 1000;
    if (!std::isfinite(v) || length > f.width)
        throw DbfError(QStringLiteral("The number %1 does not fit the field %2 (%3 characters).")
                           .arg(QString::number(v, 'g', 17), f.name)
                           .arg(f.width));
    std::memset(dst, ' ', std::size_t(f.width - length));
    std::memcpy(dst + (f.width - length), text, std::size_t(length));
}

void DbfTable::setDate(int field, const QDate &value)
{
    const FieldDef &f = fieldDef(field);
    if (f.type != 'D')
        throw DbfError(QStringLiteral("The field %1 is not a date field.").arg(f.name));
    char *dst = bufferField(field);
    if (!value.isValid()) {
        std::memset(dst, ' ', 8);
        return;
    }
    if (value.year() < 1 || value.year() > 9999)
        throw DbfError(QStringLiteral("The year %1 cannot be stored (field %2).").arg(value.year()).arg(f.name));
    const QByteArray text = value.toString(QStringLiteral("yyyyMMdd")).toLatin1();
    std::memcpy(dst, text.constData(), 8);
}

void DbfTable::setLogical(int field, std::optional<bool> value)
{
    const FieldDef &f = fieldDef(field);
    if (f.type != 'L')
        throw DbfError(QStringLiteral("The field %1 is not a logical field.").arg(f.name));
    *bufferField(field) = value ? (*value ? 'T' : 'F') : ' ';
}

void DbfTable::clearField(int field)
{
    const FieldDef &f = fieldDef(field);
    std::memset(bufferField(field), ' ', std::size_t(f.width));
}
