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

// A file other than a table (settings, lists, text files) could not be read or written.
class FileError : public Error
{
public:
    using Error::Error;
};
