#include "TestSupport.h"

#include "edit/PickLists.h"
#include "framework/WholeFile.h"
#include "framework/dbase/FaultPoint.h"
#include "framework/profile/IniFile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <thread>
#include <unistd.h>

// The files the program rewrites as a whole (a settings file, a pick list) are
// written again and again by a child process that is killed (SIGKILL) when one
// is complete under its temporary name, and at random moments. After each kill
// the file is one of the versions written, whole, and the next start removes
// what the killed child left.
namespace {

constexpr int Versions = 12;
constexpr int RandomKills = 10;
constexpr int ListEntries = 4000;

// Version `n` of the settings file: every key carries the version.
IniFile settingsVersion(int n)
{
    IniFile ini;
    for (int key = 0; key < 300; ++key)
        ini.setValue(QStringLiteral("Section %1").arg(key % 7), QStringLiteral("Key %1").arg(key),
                     QStringLiteral("version %1 of key %2").arg(n).arg(key));
    return ini;
}

// Version `n` of a pick list.
QStringList listVersion(int n)
{
    QStringList entries;
    for (int i = 0; i < ListEntries; ++i)
        entries << QStringLiteral("Entry %1 of version %2").arg(i, 5, 10, QLatin1Char('0')).arg(n);
    return entries;
}

QByteArray killPoint;
int killHit = 0;
int hits = 0;

void killAtPoint(const char *point)
{
    if (killPoint == point && ++hits == killHit)
        ::kill(::getpid(), SIGKILL);
}

// Arguments: "settings" or "list", the file, kill point ("-" for none), the
// how-manieth reaching of the point kills.
int wholeFileChild(const QStringList &arguments)
{
    const QString kind = arguments.value(0);
    const QString path = arguments.value(1);
    killPoint = arguments.value(2).toLatin1();
    killHit = arguments.value(3).toInt();
    FaultPoint::setHook(killAtPoint);
    TestSupport::tellParent("ready");
    try {
        for (int n = 1; n <= Versions; ++n) {
            if (kind == QLatin1String("settings"))
                settingsVersion(n).save(path);
            else
                PickLists::writeFile(path, listVersion(n));
            TestSupport::tellParent("done");
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(kind), e.what());
        return 1;
    }
    return 0;
}
SHELFMARK_TEST_CHILD("crash-whole-file", wholeFileChild)

// Which version the file holds whole, or -1.
int versionOf(const QString &kind, const QString &path)
{
    const QByteArray bytes = TestSupport::readAll(path);
    for (int n = 0; n <= Versions; ++n) {
        const QByteArray expected =
            kind == QLatin1String("settings") ? settingsVersion(n).toBytes() : PickLists::format(listVersion(n));
        if (bytes == expected)
            return n;
    }
    return -1;
}

} // namespace

class TestCrashWholeFiles : public QObject
{
    Q_OBJECT

private slots:
    void killedWritesLeaveAWholeVersion_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("settings file") << "settings"
                                       << "SHMKLIB.INI";
        QTest::newRow("pick list") << "list"
                                   << "BOOKS.AUT";
    }

    void killedWritesLeaveAWholeVersion()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(name);
        const auto reset = [&] {
            TestSupport::writeAll(path, kind == QLatin1String("settings") ? settingsVersion(0).toBytes()
                                                                          : PickLists::format(listVersion(0)));
        };
        const auto run = [&](const QString &point, int hit, std::optional<std::chrono::microseconds> delay) {
            reset();
            const auto child =
                TestSupport::startChild(QStringLiteral("crash-whole-file"), {kind, path, point, QString::number(hit)});
            QByteArray output;
            while (!output.contains("ready\n") && child->waitForReadyRead(20000))
                output += child->readAllStandardOutput();
            QElapsedTimer timer;
            timer.start();
            if (delay) {
                std::this_thread::sleep_for(*delay);
                child->kill();
            }
            child->waitForFinished(60000);
            output += child->readAllStandardOutput();
            const int done = int(output.count("done\n"));
            if (point != QLatin1String("-") && child->exitStatus() != QProcess::CrashExit)
                return QStringLiteral("%1 #%2: the child was not killed").arg(point).arg(hit);
            // What was reported written is there; at most the one in hand beyond.
            const int version = versionOf(kind, path);
            if (version != done && version != done + 1)
                return QStringLiteral("%1 #%2: version %3 after %4 reported")
                    .arg(point)
                    .arg(hit)
                    .arg(version)
                    .arg(done);
            WholeFile::removeLeftovers(path);
            const QStringList left = QDir(dir.path()).entryList(QDir::Files);
            if (left != QStringList{name})
                return QStringLiteral("%1 #%2: files left: %3").arg(point, QString::number(hit), left.join(u' '));
            return QString();
        };

        QStringList problems;
        const qint64 started = QDateTime::currentMSecsSinceEpoch();
        problems << run(QStringLiteral("-"), 0, std::nullopt);
        const qint64 clean = std::max<qint64>(QDateTime::currentMSecsSinceEpoch() - started, 1);
        QCOMPARE(versionOf(kind, path), Versions);
        for (int hit = 1; hit <= Versions; hit += 3)
            problems << run(QStringLiteral("file:written"), hit, std::nullopt);
        std::mt19937 random(20261208);
        std::uniform_int_distribution<qint64> within(0, clean * 1000);
        for (int i = 0; i < RandomKills; ++i)
            problems << run(QStringLiteral("-"), 0, std::chrono::microseconds(within(random)));
        problems.removeAll(QString());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }
};

SHELFMARK_TEST(TestCrashWholeFiles)
#include "TestCrashWholeFiles.moc"
