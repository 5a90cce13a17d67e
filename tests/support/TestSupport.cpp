#include "TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QtGlobal>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

namespace TestSupport {

static QtMessageHandler previousHandler = nullptr;

static void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

void installMessageFilter()
{
    previousHandler = qInstallMessageHandler(filterMessages);
}

namespace {

struct Registered
{
    const char *name;
    TestFactory factory;
};

std::vector<Registered> &registry()
{
    static std::vector<Registered> tests;
    return tests;
}

std::vector<std::pair<const char *, ChildMain>> &children()
{
    static std::vector<std::pair<const char *, ChildMain>> registered;
    return registered;
}

} // namespace

CommaLocale::CommaLocale(const QTemporaryDir &dir) : m_previous(std::setlocale(LC_ALL, nullptr))
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        m_active = true;
        return;
    }
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                     QStringLiteral("-c"), dir.filePath(QStringLiteral("de_DE.UTF-8"))});
    if (!localedef.waitForFinished(60000))
        return;
    qputenv("LOCPATH", QFile::encodeName(dir.path()));
    m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

CommaLocale::~CommaLocale()
{
    std::setlocale(LC_ALL, m_previous.constData());
    qunsetenv("LOCPATH");
}

static bool writable(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

ReadOnlyFile::ReadOnlyFile(const QString &path) : m_path(path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (writable(path))
        m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    m_active = !writable(path);
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_immutable)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

int registerTest(const char *name, TestFactory factory)
{
    registry().push_back({name, factory});
    return int(registry().size());
}

int runAll(int argc, char **argv)
{
    // A class named first runs alone, with the arguments after its name.
    for (const Registered &test : registry()) {
        if (argc > 1 && std::strcmp(argv[1], test.name) == 0) {
            std::unique_ptr<QObject> object(test.factory());
            argv[1] = argv[0];
            return QTest::qExec(object.get(), argc - 1, argv + 1) != 0 ? 1 : 0;
        }
    }
    int failures = 0;
    for (const Registered &test : registry()) {
        std::unique_ptr<QObject> object(test.factory());
        failures += QTest::qExec(object.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failures;
}

int registerChild(const char *name, ChildMain main)
{
    children().emplace_back(name, main);
    return int(children().size());
}

bool isChildCommandLine(int argc, char **argv)
{
    return argc > 2 && std::strcmp(argv[1], "--child") == 0;
}

int runChild(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 3; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    for (const auto &[name, main] : children()) {
        if (std::strcmp(name, argv[2]) == 0)
            return main(arguments);
    }
    std::fprintf(stderr, "no child named %s\n", argv[2]);
    return 2;
}

std::unique_ptr<QProcess> startChild(const QString &name, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child"), name} + arguments);
    return process;
}

void tellParent(const QByteArray &line)
{
    const QByteArray bytes = line + '\n';
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

QString dataPath(const QString &relative)
{
    return QStringLiteral(SHELFMARK_TEST_DATA "/") + relative;
}

QString copyData(const QString &relative, const QTemporaryDir &dir, const QString &newName)
{
    const QString source = dataPath(relative);
    const QString target = dir.filePath(newName.isEmpty() ? QFileInfo(source).fileName() : newName);
    QFile::remove(target);
    if (!QFile::copy(source, target))
        qFatal("cannot copy test data %s", qPrintable(source));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

bool activate(QWidget *window)
{
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void whenModal(const std::function<void()> &act)
{
    QTimer::singleShot(0, [act] {
        const QPointer<QWidget> dialog = QApplication::activeModalWidget();
        if (!dialog)
            qFatal("no modal dialog came up");
        act();
        if (dialog && dialog->isVisible())
            dialog->close();
    });
}

QObject *modalChild(const char *name)
{
    QWidget *dialog = QApplication::activeModalWidget();
    QObject *found = dialog ? dialog->findChild<QObject *>(QString::fromLatin1(name)) : nullptr;
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace TestSupport
