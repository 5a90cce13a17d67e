#include "MyTable.h"

#include "framework/Error.h"
#include "storage/CatalogFields.h"

MyTable::MyTable(QObject *parent) : QObject(parent)
{
    m_fields.fill(-1);
}

void MyTable::announce(bool wholesale)
{
    if (wholesale)
        emit reset();
    emit currentChanged(m_table.row());
}

void MyTable::open(const QString &path, DbfTable::Access access)
{
    opened([&] { m_table.open(path, access); });
}

void MyTable::open(const QString &path, DbfTable::Access access, const DbfTable::IndexSpec &index)
{
    opened([&] { m_table.open(path, access, index); });
}

void MyTable::opened(const std::function<void()> &open)
{
    try {
        open();
    } catch (...) {
        announce(true);
        throw;
    }
    for (int row = 1; row <= CatalogFields::Count; ++row)
        m_fields[std::size_t(row - 1)] = m_table.fieldIndex(QString::fromLatin1(CatalogFields::row(row).name));
    announce(true);
}

void MyTable::close()
{
    m_table.close();
    announce(true);
}

void MyTable::setRow(int row)
{
    if (row == m_table.row() && m_table.state() == DbfTable::State::Browse)
        return;
    m_table.setRow(row);
    announce(false);
}

void MyTable::first()
{
    m_table.first();
    announce(false);
}

void MyTable::prior()
{
    m_table.prior();
    announce(false);
}

void MyTable::next()
{
    m_table.next();
    announce(false);
}

void MyTable::last()
{
    m_table.last();
    announce(false);
}

bool MyTable::goToRecord(std::uint32_t recno)
{
    const bool found = m_table.goToRecord(recno);
    announce(false);
    return found;
}

void MyTable::append()
{
    m_table.append();
}

void MyTable::edit()
{
    m_table.edit();
}

void MyTable::post()
{
    // A posted record may move in the order, appear or drop out of the view;
    // one stored although its index could not be saved is shown too.
    try {
        m_table.post();
    } catch (const DbfIndexNotSavedError &) {
        announce(true);
        throw;
    }
    announce(true);
}

void MyTable::cancel()
{
    m_table.cancel();
    announce(false);
}

void MyTable::deleteRecord()
{
    m_table.deleteRecord();
    announce(true);
}

void MyTable::refresh()
{
    m_table.refresh();
    announce(true);
}

void MyTable::setIndexName(const QString &tag)
{
    try {
        m_table.setIndexName(tag);
    } catch (...) {
        announce(true);
        throw;
    }
    announce(true);
}

void MyTable::addIndex(const QString &tag, const QString &expression, bool select)
{
    m_table.addIndex(tag, expression, select);
    announce(true);
}

void MyTable::deleteIndex(const QString &tag)
{
    m_table.deleteIndex(tag);
    announce(true);
}

void MyTable::regenerateIndexes()
{
    m_table.regenerateIndexes();
    announce(true);
}

void MyTable::pack()
{
    m_table.pack();
    announce(true);
}

void MyTable::setFilter(DbfTable::Filter filter)
{
    m_table.setFilter(std::move(filter));
    announce(true);
}
