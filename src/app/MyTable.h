#pragma once

#include "framework/dbase/DbfTable.h"

#include <QObject>
#include <array>
#include <functional>

// The main window's table component over the open catalog table: the engine's
// table with the 36 book fields reached by their row numbers (1-36, the order
// of the field definition table), and notifications for the views bound to it
// (the viewer grid, the navigator, the book count).
class MyTable : public QObject
{
    Q_OBJECT

public:
    explicit MyTable(QObject *parent = nullptr);

    // The table to open and how; the index name survives close and open.
    void open(const QString &path, DbfTable::Access access = DbfTable::Access::Shared);
    void open(const QString &path, DbfTable::Access access, const DbfTable::IndexSpec &index);
    void close();
    bool isOpen() const { return m_table.isOpen(); }
    const QString &path() const { return m_table.path(); }
    bool isReadOnly() const { return m_table.isReadOnly(); }
    DbfTable::Access access() const { return m_table.access(); }

    // The engine's table, for readers that walk it (export, reports, search).
    DbfTable &engine() { return m_table; }
    const DbfTable &engine() const { return m_table; }

    // The engine's field index of a book field (row 1-36).
    int field(int row) const { return m_fields[std::size_t(row - 1)]; }

    // Counting and moving.
    int recordCount() const { return m_table.recordCount(); }
    int row() const { return m_table.row(); }
    void setRow(int row);
    void first();
    void prior();
    void next();
    void last();
    bool bof() const { return m_table.bof(); }
    bool eof() const { return m_table.eof(); }

    // Editing; each change that reaches the file is announced.
    DbfTable::State state() const { return m_table.state(); }
    void append();
    void edit();
    void edit(std::uint32_t recno) { m_table.edit(recno); }
    std::uint32_t recNo() const { return m_table.recNo(); }
    std::uint32_t lastPosted() const { return m_table.lastPosted(); }
    bool goToRecord(std::uint32_t recno);
    void post();
    void cancel();
    void deleteRecord();
    void refresh();

    // Book fields of the current record (row 1-36).
    QString text(int row) const { return m_table.text(field(row)); }
    std::optional<double> number(int row) const { return m_table.number(field(row)); }
    QDate date(int row) const { return m_table.date(field(row)); }
    void setText(int row, const QString &value) { m_table.setText(field(row), value); }
    void setNumber(int row, std::optional<double> value) { m_table.setNumber(field(row), value); }
    void setDate(int row, const QDate &value) { m_table.setDate(field(row), value); }

    // Index and filter.
    void setIndexName(const QString &tag);
    QString indexName() const { return m_table.indexName(); }
    void addIndex(const QString &tag, const QString &expression, bool select);
    void deleteIndex(const QString &tag);
    void regenerateIndexes();
    void pack();
    void setFilter(DbfTable::Filter filter);

signals:
    // The visible records changed wholesale (open, close, filter, order, pack, refresh).
    void reset();
    // The cursor moved to another visible row (-1: none).
    void currentChanged(int row);

private:
    void announce(bool wholesale);
    void opened(const std::function<void()> &open);

    DbfTable m_table;
    std::array<int, 36> m_fields{};
};
