#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>

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

// Brings a shown window to the front and gives it the keyboard, as clicking on
// it would: under Xvfb no window manager does that. True once it is active.
bool activate(QWidget *window);

// Runs `act` on the modal dialog once it is up (from the event loop of its
// exec()), then closes the dialog if it is still open, also after a failed
// check. Calls may nest: an act may open the next dialog.
void whenModal(const std::function<void()> &act);
// A control of the modal dialog on top, by name; ends the test run when there
// is none.
QObject *modalChild(const char *name);
template <typename T> T *modalControl(const char *name)
{
    return qobject_cast<T *>(modalChild(name));
}

QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &bytes);

// Switches the C library to a German locale (decimal comma) for its lifetime,
// generating the locale into `dir` when the system has none installed.
class CommaLocale
{
public:
    explicit CommaLocale(const QTemporaryDir &dir);
    ~CommaLocale();
    bool active() const { return m_active; }

private:
    QByteArray m_previous;
    bool m_active = false;
};

// Makes a file unwritable for its lifetime: by its permissions, and for root
// (whom permissions do not stop) by the immutable attribute where the file
// system has one.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString &path);
    ~ReadOnlyFile();
    bool active() const { return m_active; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_active = false;
};

// Child processes: the test executable started again with "--child <name>
// <arguments>" runs the function registered under that name, without a
// QApplication, instead of the tests; its exit code is the function's answer.
using ChildMain = int (*)(const QStringList &arguments);
int registerChild(const char *name, ChildMain main);
int runChild(int argc, char **argv);
bool isChildCommandLine(int argc, char **argv);
// Starts a child of this executable; its standard output is read through the
// QProcess, its standard error goes to the test's.
std::unique_ptr<QProcess> startChild(const QString &name, const QStringList &arguments);
// In a child: one line to the parent, at once (no buffering).
void tellParent(const QByteArray &line);

using TestFactory = QObject *(*)();
// Adds a test class to the executable's list; the shared main runs them all.
int registerTest(const char *name, TestFactory factory);
// Runs every registered class in the order of registration, or only the class
// named by the first argument; 0 when all pass.
int runAll(int argc, char **argv);

} // namespace TestSupport

// Registers a Qt Test class with the executable's shared main.
#define SHELFMARK_TEST(TestClass)                                                                                      \
    static const int TestClass##Registered =                                                                           \
        TestSupport::registerTest(#TestClass, []() -> QObject * { return new TestClass; });

// Registers a function that a child process of the test executable runs.
#define SHELFMARK_TEST_CHILD(name, function)                                                                           \
    static const int function##Registered = TestSupport::registerChild(name, function);

// For an executable with a single test class and a main of its own.
#define SHELFMARK_TEST_MAIN(TestClass)                                                                                 \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        TestSupport::installMessageFilter();                                                                           \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
