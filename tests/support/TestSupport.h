#pragma once

#include <QString>
#include <QTemporaryDir>

// Shared pieces of the test executables: the message filter for the offscreen
// platform and access to the data files kept in tests/data.
namespace TestSupport {

// Filters the offscreen plugin's "This plugin does not support ..." warnings and
// passes every other message on, so that QTest::ignoreMessage keeps working.
void installMessageFilter();

// Absolute path of a file below tests/data.
QString dataPath(const QString &relative);

// Copies a file below tests/data into dir (keeping its name unless newName is given)
// and makes the copy writable. Returns the copy's path.
QString copyData(const QString &relative, const QTemporaryDir &dir, const QString &newName = {});

QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &bytes);

} // namespace TestSupport

// Replaces QTEST_MAIN / QTEST_GUILESS_MAIN: installs the message filter first.
#define SHELFMARK_TEST_MAIN(TestClass)                                                                                 \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        TestSupport::installMessageFilter();                                                                           \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
