#include "BookTable.h"
#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <numeric>
#include <string>
#include <unistd.h>

// Programs sharing one table, each in a process of its own.
namespace {

using TestSupport::appendBook;

const QString Tag = TestSupport::ShelfTag;
const QString AuthorKey = TestSupport::ShelfKey;

void waitForParent()
{
    std::string line;
    std::getline(std::cin, line);
}

// Arguments: what to do, the table, and a number or an access.
//   store N      N single stores, each written to the index
//   import N     N books in one bulk update
//   hold ACCESS  keeps the table open (shared or exclusive) until told to end
//   stop-in-index-write  stops while the new .MDX is written, until killed
void runChild(const QString &operation, const QString &path, const QString &argument)
{
    DbfTable table;
    if (operation == QLatin1String("hold")) {
        table.open(path,
                   argument == QLatin1String("exclusive") ? DbfTable::Access::Exclusive : DbfTable::Access::Shared);
        TestSupport::tellParent("ready");
        waitForParent();
        return;
    }
    table.open(path, DbfTable::Access::Shared, {Tag, AuthorKey});
    if (operation == QLatin1String("stop-in-index-write")) {
        FaultPoint::setHook([](const char *point) {
            if (std::strcmp(point, "mdx:written") == 0) {
                TestSupport::tellParent("ready");
                waitForParent();
            }
        });
        appendBook(table, {QStringLiteral("Stopped"), QStringLiteral("Stopped"), {}, {}, {}});
        return;
    }
    const int count = argument.toInt();
    const QString mark = QStringLiteral("%1 %2").arg(operation).arg(::getpid());
    TestSupport::tellParent("ready");
    waitForParent();
    if (operation == QLatin1String("store")) {
        for (int i = 0; i < count; ++i)
            appendBook(table, {mark, QStringLiteral("Author %1").arg(i * 13 % 97), i, {}, {}});
    } else {
        table.beginBulkUpdate();
        for (int i = 0; i < count; ++i)
            appendBook(table, {mark, QStringLiteral("Author %1").arg(i * 17 % 89), i, {}, {}});
        table.endBulkUpdate();
    }
}

int shareChild(const QStringList &arguments)
{
    try {
        runChild(arguments.value(0), arguments.value(1), arguments.value(2));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(arguments.value(0)), e.what());
        return 1;
    }
    return 0;
}
SHELFMARK_TEST_CHILD("share", shareChild)

std::unique_ptr<QProcess> startReady(const QString &operation, const QString &path, const QString &argument)
{
    auto child = TestSupport::startChild(QStringLiteral("share"), {operation, path, argument});
    QByteArray output;
    while (!output.contains("ready\n") && child->waitForReadyRead(20000))
        output += child->readAllStandardOutput();
    return child;
}

QStringList temporaryFiles(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList({QStringLiteral("*.new~")}, QDir::Files);
}

} // namespace

class TestTwoProcesses : public QObject
{
    Q_OBJECT

private slots:
    void concurrentStoresAndImportsKeepEveryKey()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 100);
        const std::vector<std::pair<QString, int>> work = {{QStringLiteral("store"), 150},
                                                           {QStringLiteral("store"), 150},
                                                           {QStringLiteral("import"), 6000},
                                                           {QStringLiteral("import"), 6000}};
        std::vector<std::unique_ptr<QProcess>> children;
        for (const auto &[operation, count] : work)
            children.push_back(startReady(operation, path, QString::number(count)));
        for (const auto &child : children) {
            child->write("go\n");
            child->waitForBytesWritten();
        }
        for (const auto &child : children) {
            QVERIFY(child->waitForFinished(60000));
            QCOMPARE(child->exitStatus(), QProcess::NormalExit);
            QCOMPARE(child->exitCode(), 0); // every store and import reported done
        }
        QCOMPARE(temporaryFiles(dir), QStringList());

        DbfTable table;
        table.setIndexName(Tag);
        table.open(path, DbfTable::Access::ReadOnly);
        QCOMPARE(table.indexRepairReason(), QString()); // the last index written holds every record
        QCOMPARE(table.physicalCount(), 100u + 150 + 150 + 6000 + 6000);
        QCOMPARE(TestSupport::indexEntries(table.mdxPath(), Tag).size(), std::size_t(table.physicalCount()));
        // Each program's books, whole and in the order it stored them.
        std::map<QString, std::vector<int>> years;
        for (std::uint32_t r = 101; r <= table.physicalCount(); ++r)
            years[table.physicalRecord(r).text(0)].push_back(int(table.physicalRecord(r).number(2).value_or(-1)));
        QCOMPARE(years.size(), std::size_t(4));
        for (const auto &[program, stored] : years) {
            std::vector<int> expected(stored.size());
            std::iota(expected.begin(), expected.end(), 0);
            QVERIFY2(stored == expected, qPrintable(program));
        }
    }

    void exclusiveUseIsRefusedAsInUse()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 3);
        {
            const auto holder = startReady(QStringLiteral("hold"), path, QStringLiteral("exclusive"));
            QVERIFY(DbfTable::inUse(path));
            DbfTable table;
            for (const auto access : {DbfTable::Access::ReadOnly, DbfTable::Access::Shared}) {
                try {
                    table.open(path, access);
                    QFAIL("a table another program holds exclusively was opened");
                } catch (const DbfInUseError &e) {
                    QVERIFY2(e.message().contains(QLatin1String("in use by another program")), qPrintable(e.message()));
                }
            }
            QVERIFY_THROWS_EXCEPTION(DbfInUseError, DbfTable::create(path, TestSupport::bookFields()));
            holder->write("end\n");
            QVERIFY(holder->waitForFinished(20000));
        }
        // Pack, sort order and replace need the table to themselves.
        const auto sharer = startReady(QStringLiteral("hold"), path, QStringLiteral("shared"));
        DbfTable table;
        QVERIFY_THROWS_EXCEPTION(DbfInUseError, table.open(path, DbfTable::Access::Exclusive));
        table.open(path); // sharing is fine
        QCOMPARE(table.recordCount(), 3);
        sharer->write("end\n");
        QVERIFY(sharer->waitForFinished(20000));
    }

    void temporaryFilesStayWhileTheirProgramRuns()
    {
        QTemporaryDir dir;
        const QString path = TestSupport::makeShelf(dir.path(), 3);
        const auto writer = startReady(QStringLiteral("stop-in-index-write"), path, QString());
        const QStringList writing = temporaryFiles(dir);
        QCOMPARE(writing.size(), 1);
        QVERIFY(writing.constFirst().startsWith(QStringLiteral("BOOKS.MDX.%1-").arg(writer->processId())));
        QCOMPARE(DbfTable::removeStaleTemporaries(path), QStringList());
        QCOMPARE(temporaryFiles(dir), writing);
        writer->kill();
        QVERIFY(writer->waitForFinished(20000));
        QCOMPARE(DbfTable::removeStaleTemporaries(path), QStringList({dir.filePath(writing.constFirst())}));
        QCOMPARE(temporaryFiles(dir), QStringList());
        // The stopped program's book was counted before its index was written.
        DbfTable table;
        table.setIndexName(Tag);
        table.open(path);
        QVERIFY(!table.indexRepairReason().isEmpty());
        QCOMPARE(table.recordCount(), 4);
    }
};

SHELFMARK_TEST(TestTwoProcesses)
#include "TestTwoProcesses.moc"
