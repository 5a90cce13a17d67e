#pragma once

#include <QString>
#include <stdexcept>

// The one family of errors that the engine and the file code throw. Each carries
// a message fit to be shown to the user; commands catch them at their boundary.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

// A dBASE table or index could not be opened, read or written.
class DbfError : public Error
{
public:
    using Error::Error;
};

// The table is held by another open of it (in another program, or in this one)
// in a way that excludes the open or the change asked for.
class DbfInUseError : public DbfError
{
public:
    using DbfError::DbfError;
};

// The table, or the folder that holds it, may not be written (permissions, a
// read-only volume).
class DbfReadOnlyError : public DbfError
{
public:
    using DbfError::DbfError;
};

// A change reached the table, but the production index could not be saved:
// the change stands, and the index on disk lacks it until the next index write
// succeeds or the table is opened again (which rebuilds an index that does not
// match the records). `cause()` says why the index could not be written.
class DbfIndexNotSavedError : public DbfError
{
public:
    DbfIndexNotSavedError(const QString &message, const QString &cause) : DbfError(message), m_cause(cause) {}
    const QString &cause() const noexcept { return m_cause; }

private:
    QString m_cause;
};

// A file other than a table (settings, lists, text files) could not be read or written.
class FileError : public Error
{
public:
    using Error::Error;
};
