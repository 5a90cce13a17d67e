#pragma once

#include "CodePage.h"
#include "DbfHeader.h"
#include "KeyExpression.h"
#include "LargeVector.h"
#include "PosixFile.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class DbfTable;

// A read-only view of one stored record. Valid until the table is changed,
// refreshed or closed.
class DbfRecord
{
public:
    DbfRecord(const DbfTable &table, const char *data) : m_table(&table), m_data(data) {}

    bool isDeleted() const { return m_data[0] == DbfHeader::DeletedFlag; }
    const char *data() const { return m_data; }

    // Text fields without their trailing blanks; memo fields with the memo's
    // text; other fields as stored, without surrounding blanks.
    QString text(int field) const;
    // The stored bytes of a character field without the blanks (or NULs) that
    // pad it, in the table's code page.
    std::string_view storedText(int field) const;
    std::optional<double> number(int field) const; // N and F fields; nothing when blank or unreadable
    QDate date(int field) const;                   // D fields; null when blank or invalid
    std::optional<bool> logical(int field) const;  // L fields; nothing when not set
    bool isBlank(int field) const;

private:
    const DbfTable *m_table;
    const char *m_data;
};

// A dBASE III/IV table with its production index, in the manner of a desktop
// database engine's table component: open shared, exclusive or read-only; a
// cursor over the records that are not deleted and pass the record filter, in
// the order of the active index tag or in record order; edit, insert, post,
// cancel and delete; pack and index regeneration.
//
// The file is mapped, so reading a record costs no copy. Records are written
// with one positioned write each; an append writes the record before the header
// count. The production index is rewritten through a temporary file whenever a
// completed change alters it (once at the end of a bulk update), and an index
// whose keys do not match the records is rebuilt when it is selected.
//
// Programs sharing a table take turns through a write lock for appends and
// index writes. Before the index is written, records that others appended (or
// changed and indexed) since the keys were computed are read, so that every
// index written holds the key of every record the table holds at that moment.
//
// Failures. Every error is a DbfError with a message fit for the user; three
// kinds are told apart by their type (see framework/Error.h):
//   DbfInUseError          open() or create() found the table held by another
//                          open that excludes it.
//   DbfReadOnlyError       the table or its folder may not be written: a change
//                          to a read-only table, an exclusive open of a file
//                          that may not be written, pack in a read-only folder.
//   DbfIndexNotSavedError  post(), endBulkUpdate() or pack() changed the table,
//                          but the .MDX could not be written. The change stands:
//                          the state is Browse, the cursor on the record posted
//                          (lastPosted()). The index on disk lacks the change
//                          until a later index write succeeds; an open rebuilds
//                          it from the records.
// Any other failure of post(), deleteRecord() or endBulkUpdate() leaves the
// table file as it was before: a failed append is cut off again and the
// header's count and end-of-file byte restored, an edited record gets its old
// bytes back, and a bulk update is undone as a whole from whichever call
// failed within it, the record being posted included (it goes on as a new,
// empty one until endBulkUpdate()). After a failed post outside a bulk update
// the state stays Edit or Insert with the values set, for another try or
// cancel(). A pack() that fails before its rename leaves the old table.
//
// Crashes. The header's record count is the commit point of appends; a bulk
// update counts its appended records once, when it ends. Records a crash left
// beyond the count are cut off by the next writable open. Whole files (pack,
// the .MDX, a new table) are written under a temporary name and renamed over
// the old one; removeStaleTemporaries() clears what a killed program left.
// Records changed in place by a bulk update that a crash interrupted keep
// their new bytes.
class DbfTable
{
public:
    enum class Access { Shared, Exclusive, ReadOnly };
    enum class State { Inactive, Browse, Edit, Insert };
    using Filter = std::function<bool(const DbfRecord &)>;

    DbfTable();
    ~DbfTable();
    DbfTable(const DbfTable &) = delete;
    DbfTable &operator=(const DbfTable &) = delete;

    // Creates an empty Windows-1252 table, replacing an existing file of that
    // name (and dropping its production index).
    static void create(const QString &path, const std::vector<FieldDef> &fields);

    // True when another open of the table (in this or another program) holds it,
    // or it cannot be opened at all. Answers without waiting.
    static bool inUse(const QString &path);

    // Removes the temporary files of the table and its .MDX that programs killed
    // while writing them left behind; those of running programs stay. Answers
    // the paths removed. Call before the table is opened.
    static QStringList removeStaleTemporaries(const QString &path);

    void open(const QString &path, Access access = Access::Shared);

    // Opens the table ordered by `tag`: the stored tag when it carries
    // `expression` (and its keys match the records), otherwise, or with
    // `rebuild`, the tag built from the records and written, in one pass over
    // the file. A table that may not be written, or whose caller asks it with
    // `write` off (another program holds the table and reads the index), keeps
    // a tag it built in memory only. A built tag that cannot be written (a full
    // disk, a read-only folder) is kept in memory too; indexNotSaved() says why.
    struct IndexSpec
    {
        QString tag;
        QString expression;
        bool rebuild = false;
        bool write = true;
    };
    void open(const QString &path, Access access, const IndexSpec &index);
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    const QString &path() const { return m_path; }
    Access access() const { return m_access; }
    bool isReadOnly() const { return m_readOnly; } // read-only open, or a file that cannot be written

    // Structure.
    const std::vector<FieldDef> &fields() const { return m_header.fields; }
    int fieldIndex(QStringView name) const; // without regard to case; -1 when absent
    int field(QStringView name) const;      // throws DbfError when absent
    const CodePage &codePage() const { return m_codePage; }
    std::uint8_t languageDriver() const { return m_header.languageDriver; }
    std::uint8_t version() const { return m_header.version; }

    // Records in the file, deleted ones included.
    std::uint32_t physicalCount() const { return m_count; }
    // Bytes of one stored record, its deleted flag included.
    int recordLength() const { return m_header.recordLength; }
    // Records the cursor can visit: not deleted and accepted by the filter.
    int recordCount() const { return int(m_rows.size()); }

    // Production index. The index name survives close and open, as with the
    // engine's table component; an empty name means record order.
    void setIndexName(const QString &tag);
    const QString &indexName() const { return m_indexName; }
    QString indexExpression() const; // of the active tag; empty without one
    QString mdxPath() const;
    QStringList indexTags() const;                   // tags of the .MDX; empty when there is none or it is unreadable
    QString tagExpression(const QString &tag) const; // empty when absent
    // Builds a tag from the records and writes the .MDX (which then holds only
    // this tag). With `select` the tag becomes the index in use.
    void addIndex(const QString &tag, const QString &expression, bool select = false);
    void deleteIndex(const QString &tag);
    void regenerateIndexes();
    // Every record, deleted ones included, in the order of the tag in use;
    // empty without one.
    const LargeVector<std::uint32_t> &indexOrder() const { return m_order; }
    // The key of a record under the tag in use; empty without one.
    QByteArray indexKey(std::uint32_t recno) const;
    // Why the active tag was rebuilt when it was selected (its keys did not
    // match the records, it was damaged, ...); empty when it was used as stored.
    const QString &indexRepairReason() const { return m_indexRepairReason; }
    // Why the tag built when the table was opened lives in memory only,
    // although it was to be written; empty when it was written or not built.
    const QString &indexNotSaved() const { return m_indexNotSaved; }

    // Removes the deleted records and regenerates the index. Needs exclusive use.
    // The packed file replaces the old one in a single rename.
    void pack();

    // Record filter: consulted for every record the cursor may visit.
    void setFilter(Filter filter);
    bool hasFilter() const { return bool(m_filter); }

    // Re-reads the header so that records appended by other programs appear,
    // and rebuilds the visible records; the cursor stays on its record.
    void refresh();

    // Cursor.
    void first();
    void last();
    void next();
    void prior();
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    int row() const { return m_row; } // position among the visible records, -1 when none
    void setRow(int row);
    std::uint32_t recNo() const;          // physical record number (1-based); 0 when none or inserting
    bool goToRecord(std::uint32_t recno); // false when the record is not visible
    std::uint32_t recordAtRow(int row) const { return m_rows[std::size_t(row)]; }
    DbfRecord recordAt(int row) const { return DbfRecord(*this, recordData(m_rows[std::size_t(row)])); }
    DbfRecord physicalRecord(std::uint32_t recno) const { return DbfRecord(*this, recordData(recno)); }

    // Visits the visible records in cursor order, fetching records a few rows
    // ahead early: in index order they lie anywhere in the file, and waiting
    // for each one in turn costs more than reading it.
    template <typename Visit> void forEachRow(Visit &&visit) const
    {
        constexpr int ahead = 16;
        const int rows = recordCount();
        for (int row = 0; row < rows; ++row) {
            if (row + ahead < rows) {
                const char *next = recordData(m_rows[std::size_t(row + ahead)]);
                for (int line = 0; line < 4 && line * 64 < m_header.recordLength; ++line)
                    __builtin_prefetch(next + line * 64);
            }
            visit(row, recordAt(row));
        }
    }
    DbfRecord current() const;

    // Editing.
    State state() const { return m_state; }
    void append();
    void edit();
    // Edits a record by its number, whether the cursor can visit it or not
    // (a record just posted may not pass the filter).
    void edit(std::uint32_t recno);
    // The record the last post wrote; 0 before any, and after a bulk update.
    std::uint32_t lastPosted() const { return m_lastPosted; }
    void post();
    void cancel();
    void deleteRecord();

    // Bulk updates (import, replace): records and index are written in batches
    // and the visible records rebuilt once at the end. Nest freely.
    void beginBulkUpdate();
    void endBulkUpdate();

    // Fields of the current record (the edit buffer while editing).
    QString text(int field) const { return current().text(field); }
    std::optional<double> number(int field) const { return current().number(field); }
    QDate date(int field) const { return current().date(field); }
    bool isBlank(int field) const { return current().isBlank(field); }
    // Setters need the Edit or Insert state. Each throws DbfError naming the
    // field when the value cannot be stored: a character the table's code page
    // cannot hold, a number that does not fit, text that is not a number.
    // Text longer than a character field is cut to its width.
    void setText(int field, QStringView value);
    void setNumber(int field, std::optional<double> value);
    void setDate(int field, const QDate &value);
    void setLogical(int field, std::optional<bool> value);
    void clearField(int field);

private:
    friend class DbfRecord;

    const char *recordData(std::uint32_t recno) const
    {
        return m_mapping.data() + m_header.headerLength + std::size_t(recno - 1) * m_header.recordLength;
    }
    std::uint64_t recordOffset(std::uint32_t recno) const
    {
        return m_header.headerLength + std::uint64_t(recno - 1) * m_header.recordLength;
    }
    const FieldDef &fieldDef(int field) const;
    char *bufferField(int field);
    QString memoText(const char *stored) const;

    // Header bytes 1-7: the date of the last update and the record count.
    static constexpr std::size_t DateAndCountBytes = 7;
    class WriteLock;

    void openFile(const QString &path, Access access, const std::function<void()> &arrange);
    void mapFile(std::uint64_t needed);
    void ensureMapped(std::uint32_t count); // the mapping reaches past record `count`
    void cutUncommittedTail();
    void openMemo();
    void acquireWriteLock();
    void releaseWriteLock();
    std::uint32_t committedCount() const; // the header's count, as far as the file holds the records
    void activateIndex();
    void dropIndex();
    // One pass over the records in file order: fills `keys` (record order,
    // keyLength bytes each) when given, and answers which records the cursor
    // may visit (indexed by record number).
    LargeVector<std::uint8_t> scan(const KeyExpression *key, LargeVector<std::uint8_t> *keys) const;
    LargeVector<std::uint32_t> sortedOrder(int keyLength, const LargeVector<std::uint8_t> &keys) const;
    void reindex(); // keys, order and visible records of the tag in use, from the records
    QString verifyStoredOrder(const class MdxReader &reader, const struct MdxTag &tag);
    void writeIndex(const QString &tag, const KeyExpression &key, const LargeVector<std::uint8_t> &keys,
                    const LargeVector<std::uint32_t> &order);
    // With the write lock held: reads the records anew when other programs
    // appended, or wrote the index, since the keys were computed.
    void takeInOtherChanges();
    void saveIndex();  // the tag in use, under the write lock, with what others changed
    void saveBuiltIndex(); // a tag built at open, as far as it may and can be written
    void storeIndex(); // the tag in use after a change to the table; throws DbfIndexNotSavedError
    [[noreturn]] void throwIndexNotSaved(const std::exception &failure) const;
    void setMdxFlag(bool on);
    const std::uint8_t *keyOf(std::uint32_t recno) const
    {
        return m_keys.data() + std::size_t(recno - 1) * std::size_t(m_key->keyLength());
    }
    void rebuildRows();
    void buildRows(const LargeVector<std::uint8_t> &visible);
    bool accepts(std::uint32_t recno) const;
    bool before(std::uint32_t a, const std::uint8_t *keyA, std::uint32_t b) const;
    std::size_t orderPosition(const LargeVector<std::uint32_t> &list, std::uint32_t recno,
                              const std::uint8_t *key) const;
    void removeFrom(LargeVector<std::uint32_t> &list, std::uint32_t recno, const std::uint8_t *key);
    void insertInto(LargeVector<std::uint32_t> &list, std::uint32_t recno, const std::uint8_t *key);
    void placeCursorOn(std::uint32_t recno, int fallbackRow);
    void ensureBrowse();
    void ensureEditing() const;
    void ensureWritable() const;
    // Appends one record and commits it; answers the record count before it.
    // Undoes itself on failure.
    std::uint32_t appendRecord(const char *record);
    void writeCount(std::uint32_t count);
    // Undoes records appended beyond `count` and the header's date and count.
    void cutBack(std::uint32_t count, const std::uint8_t *oldHead) noexcept;
    void rewriteRecord(std::uint32_t recno, const char *data); // undoes itself on failure
    void keepForUndo(std::uint32_t recno);
    void postInsert();
    void postEdit();
    void flushPending();
    void flushPendingOrUndo();
    void rollbackBulk() noexcept;
    void finishBulk();

    QString m_path;
    Access m_access = Access::Shared;
    bool m_readOnly = false;
    PosixFile m_file;
    FileMapping m_mapping;
    DbfHeader m_header;
    std::uint32_t m_count = 0;
    CodePage m_codePage = CodePage::windows1252();
    std::unique_ptr<PosixFile> m_memo;
    std::uint64_t m_memoSize = 0;
    int m_memoBlockSize = 512;

    QString m_indexName;
    std::optional<KeyExpression> m_key;
    FileIdentity m_indexIdentity; // the .MDX as it was when the keys were last in step with the records
    QString m_indexRepairReason;
    QString m_indexNotSaved;
    bool m_writeBuiltIndex = true;
    LargeVector<std::uint8_t> m_keys;   // the key of every record, in record order
    LargeVector<std::uint32_t> m_order; // every record in key order; empty without an index
    LargeVector<std::uint32_t> m_rows;  // the visible records in cursor order
    Filter m_filter;

    State m_state = State::Inactive;
    int m_row = -1;
    bool m_bof = true;
    bool m_eof = true;
    std::vector<char> m_buffer;
    mutable LargeVector<char> m_scanBuffer;
    std::uint32_t m_editRecno = 0;
    std::uint32_t m_lastPosted = 0;

    int m_writeLocks = 0;

    int m_bulkDepth = 0;
    bool m_bulkChanged = false;
    std::vector<char> m_pending; // appended records not yet written, during a bulk update
    std::uint32_t m_pendingCount = 0;
    bool m_bulkLocked = false;   // the bulk update holds a count of the write lock
    bool m_bulkAppended = false; // records written beyond the header's count
    std::uint32_t m_bulkBase = 0;
    std::uint8_t m_bulkHead[DateAndCountBytes] = {};
    LargeVector<char> m_undo; // record number and former bytes of each record changed in place
};
