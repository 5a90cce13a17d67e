#include "BookTable.h"
#include "TestSupport.h"

#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <thread>
#include <unistd.h>

// The engine's write paths run in a child process that is killed (SIGKILL) at
// the engine's fault points and at random moments. After each kill the table
// opens, its index agrees with the records (rebuilt if need be), no bytes lie
// beyond the header's count, every change the child reported done is there,
// and a replaced file is the old or the new one.
namespace {

using TestSupport::appendBook;
using TestSupport::readAll;
using TestSupport::writeAll;

using TestSupport::makeShelf;
const QString Tag = TestSupport::ShelfTag;
const QString AuthorKey = TestSupport::ShelfKey;
const QString FourLevels = QStringLiteral("Upper(Left(Author,10))+STR(YearPub,12,0)+Upper(Left(Title,10))");
const QString Replacement = QStringLiteral("Replaced");
constexpr int StoreSteps = 60;
constexpr int ImportBooks = 15000; // more than one batch of records
constexpr int RandomKills = 8;
constexpr int AuthorOffset = 31;
constexpr int AuthorWidth = 20;

// The stores: three appends, then an edit of an earlier book.
bool isEdit(int step)
{
    return step % 4 == 3;
}
QString storedTitle(int step)
{
    return QStringLiteral("Stored %1").arg(step);
}
QString storedAuthor(int step)
{
    return QStringLiteral("Author %1").arg(step * 37 % 100);
}
QString editedAuthor(int step)
{
    return QStringLiteral("Edited %1").arg(step);
}
std::uint32_t editTarget(int step, std::uint32_t count)
{
    return std::uint32_t(step * 5) % count + 1;
}

bool isReplaced(const QString &author)
{
    return author.startsWith(QLatin1String("Author 1"));
}

// ---------------------------------------------------------------------------
// The child

QByteArray killPoint;
int killHit = 0;
int hits = 0;

void killAtPoint(const char *point)
{
    if (killPoint == point && ++hits == killHit)
        ::kill(::getpid(), SIGKILL);
}

void openCatalog(DbfTable &table, const QString &path, DbfTable::Access access)
{
    table.open(path, access, {Tag, AuthorKey});
    TestSupport::tellParent("ready");
}

void storeBooks(const QString &path)
{
    DbfTable table;
    openCatalog(table, path, DbfTable::Access::Shared);
    for (int step = 0; step < StoreSteps; ++step) {
        if (isEdit(step)) {
            table.edit(editTarget(step, table.physicalCount()));
            table.setText(1, editedAuthor(step));
            table.post();
        } else {
            appendBook(table, {storedTitle(step), storedAuthor(step), step, {}, {}});
        }
        TestSupport::tellParent("done");
    }
}

void importBooks(const QString &path)
{
    DbfTable table;
    openCatalog(table, path, DbfTable::Access::Shared);
    table.beginBulkUpdate();
    for (int i = 0; i < ImportBooks; ++i)
        appendBook(table, {QStringLiteral("Imported %1").arg(i), QStringLiteral("Author %1").arg(i % 100), i, {}, {}});
    table.endBulkUpdate();
    TestSupport::tellParent("done");
}

void packBooks(const QString &path)
{
    DbfTable table;
    openCatalog(table, path, DbfTable::Access::Exclusive);
    table.pack();
    TestSupport::tellParent("done");
}

void changeSortOrder(const QString &path)
{
    DbfTable table;
    openCatalog(table, path, DbfTable::Access::Exclusive);
    table.addIndex(Tag, FourLevels, true);
    TestSupport::tellParent("done");
}

void replaceAuthors(const QString &path)
{
    DbfTable table;
    openCatalog(table, path, DbfTable::Access::Exclusive);
    std::vector<std::uint32_t> matches;
    for (int row = 0; row < table.recordCount(); ++row) {
        if (isReplaced(table.recordAt(row).text(1)))
            matches.push_back(table.recordAtRow(row));
    }
    table.beginBulkUpdate();
    for (const std::uint32_t recno : matches) {
        table.edit(recno);
        table.setText(1, Replacement);
        table.post();
    }
    table.endBulkUpdate();
    TestSupport::tellParent("done");
}

// Arguments: operation, table, kill point ("-" for none), the how-manieth
// reaching of the point kills.
int crashChild(const QStringList &arguments)
{
    const QString operation = arguments.value(0);
    const QString path = arguments.value(1);
    killPoint = arguments.value(2).toLatin1();
    killHit = arguments.value(3).toInt();
    FaultPoint::setHook(killAtPoint);
    try {
        if (operation == QLatin1String("store"))
            storeBooks(path);
        else if (operation == QLatin1String("import"))
            importBooks(path);
        else if (operation == QLatin1String("pack"))
            packBooks(path);
        else if (operation == QLatin1String("sort order"))
            changeSortOrder(path);
        else if (operation == QLatin1String("replace"))
            replaceAuthors(path);
        else
            return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(operation), e.what());
        return 1;
    }
    return 0;
}
SHELFMARK_TEST_CHILD("crash", crashChild)

// ---------------------------------------------------------------------------
// The parent

struct Tally
{
    int tried = 0;
    int survived = 0;
    int lost = 0;
};
std::map<std::pair<QString, QString>, Tally> tallies;

struct Book
{
    QString title;
    QString author;
    bool deleted = false;
    bool operator==(const Book &) const = default;
};
using Shelf = std::vector<Book>;

Shelf booksOf(const QString &path)
{
    DbfTable table;
    table.open(path, DbfTable::Access::ReadOnly);
    Shelf books;
    for (std::uint32_t r = 1; r <= table.physicalCount(); ++r) {
        const DbfRecord record = table.physicalRecord(r);
        books.push_back({record.text(0), record.text(1), record.isDeleted()});
    }
    return books;
}

struct Fixture
{
    QByteArray table;
    QByteArray index;
};

struct Run
{
    QString point = QStringLiteral("-");
    int hit = 0;
    std::optional<std::chrono::microseconds> delay = std::nullopt;
};

struct Outcome
{
    int done = 0;
    bool killed = false;
    qint64 microseconds = 0; // from ready to the end
};

class Bench
{
public:
    explicit Bench(const QString &operation) : m_operation(operation)
    {
        m_path = m_dir.filePath(QStringLiteral("BOOKS.DBF"));
        m_mdx = m_dir.filePath(QStringLiteral("BOOKS.MDX"));
    }
    QString folder() const { return m_dir.path(); }
    const QString &path() const { return m_path; }
    const QString &mdx() const { return m_mdx; }

    void keepFixture() { m_fixture = {readAll(m_path), readAll(m_mdx)}; }
    const Fixture &fixture() const { return m_fixture; }

    Outcome run(const Run &how)
    {
        writeAll(m_path, m_fixture.table);
        writeAll(m_mdx, m_fixture.index);
        const auto child = TestSupport::startChild(QStringLiteral("crash"),
                                                   {m_operation, m_path, how.point, QString::number(how.hit)});
        QByteArray output;
        while (!output.contains("ready\n") && child->waitForReadyRead(20000))
            output += child->readAllStandardOutput();
        QElapsedTimer timer;
        timer.start();
        if (how.delay) {
            std::this_thread::sleep_for(*how.delay);
            child->kill();
        }
        child->waitForFinished(60000);
        Outcome outcome;
        outcome.microseconds = timer.nsecsElapsed() / 1000;
        output += child->readAllStandardOutput();
        outcome.done = int(output.count("done\n"));
        outcome.killed = child->exitStatus() == QProcess::CrashExit;
        return outcome;
    }

    // What every run must leave; empty when it did.
    QString commonProblem() const
    {
        DbfTable::removeStaleTemporaries(m_path);
        const QStringList left = QDir(m_dir.path()).entryList({QStringLiteral("*.new~")}, QDir::Files);
        if (!left.isEmpty())
            return QStringLiteral("temporary files stay: %1").arg(left.join(QLatin1String(", ")));
        try {
            DbfTable table;
            table.setIndexName(Tag);
            table.open(m_path);
        } catch (const Error &e) {
            return QStringLiteral("the table does not open: %1").arg(e.message());
        }
        const QByteArray bytes = readAll(m_path);
        const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.constData());
        const qint64 end = readLittleEndian16(p + 8) + qint64(readLittleEndian32(p + 4)) * readLittleEndian16(p + 10);
        if (bytes.size() != end + 1 || bytes.back() != DbfHeader::EndOfFile)
            return QStringLiteral("%1 bytes after the last counted record").arg(bytes.size() - end);
        DbfTable reader;
        reader.setIndexName(Tag);
        reader.open(m_path, DbfTable::Access::ReadOnly);
        if (!reader.indexRepairReason().isEmpty())
            return QStringLiteral("the index does not agree after an open: %1").arg(reader.indexRepairReason());
        return {};
    }

    // Runs the operation uninterrupted, then killed at every given point and at
    // random moments within its time; `contentProblem` judges what a run left
    // from the steps the child reported done.
    QStringList runAll(const std::vector<Run> &points, const std::function<QString(int done)> &contentProblem)
    {
        QStringList problems;
        const auto judge = [&](const QString &point, const Outcome &outcome, bool mustBeKilled) {
            Tally &tally = tallies[{m_operation, point}];
            ++tally.tried;
            QString problem = contentProblem(outcome.done);
            if (!problem.isEmpty())
                ++tally.lost;
            if (problem.isEmpty() && mustBeKilled && !outcome.killed)
                problem = QStringLiteral("the child was not killed");
            if (problem.isEmpty())
                problem = commonProblem();
            if (problem.isEmpty())
                ++tally.survived;
            else
                problems << QStringLiteral("%1, %2: %3").arg(m_operation, point, problem);
        };
        const Outcome clean = run({});
        judge(QStringLiteral("none"), clean, false);
        for (const Run &point : points)
            judge(QStringLiteral("%1 #%2").arg(point.point).arg(point.hit), run(point), true);
        std::mt19937 random(20240611);
        std::uniform_int_distribution<qint64> within(0, std::max<qint64>(clean.microseconds, 1));
        for (int i = 0; i < RandomKills; ++i) {
            const Outcome outcome = run({QStringLiteral("-"), 0, std::chrono::microseconds(within(random))});
            judge(QStringLiteral("random moment"), outcome, false);
        }
        return problems;
    }

private:
    QString m_operation;
    QTemporaryDir m_dir;
    QString m_path;
    QString m_mdx;
    Fixture m_fixture;
};

QString printable(const Shelf &shelf)
{
    return QStringLiteral("%1 records").arg(shelf.size());
}

} // namespace

class TestCrash : public QObject
{
    Q_OBJECT

private slots:
    void storesSurviveKills()
    {
        Bench bench(QStringLiteral("store"));
        makeShelf(bench.folder(), 200, 0);
        bench.keepFixture();
        // The books after each number of steps, the way the child makes them.
        std::vector<Shelf> after{booksOf(bench.path())};
        for (int step = 0; step < StoreSteps; ++step) {
            Shelf next = after.back();
            if (isEdit(step))
                next[editTarget(step, std::uint32_t(next.size())) - 1].author = editedAuthor(step);
            else
                next.push_back({storedTitle(step), storedAuthor(step), false});
            after.push_back(next);
        }
        const QStringList problems = bench.runAll(
            {{QStringLiteral("append:record-written"), 1},
             {QStringLiteral("append:record-written"), 20},
             {QStringLiteral("append:counted"), 1},
             {QStringLiteral("append:counted"), 20},
             {QStringLiteral("edit:written"), 1},
             {QStringLiteral("edit:written"), 6},
             {QStringLiteral("mdx:written"), 1},
             {QStringLiteral("mdx:written"), 30}},
            [&](int done) {
                // The steps reported done, and perhaps the one under way.
                const Shelf books = booksOf(bench.path());
                if (books == after[std::size_t(done)] || (done < StoreSteps && books == after[std::size_t(done) + 1]))
                    return QString();
                return QStringLiteral("%1 steps were reported, the table holds %2").arg(done).arg(printable(books));
            });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void bulkImportIsAllOrNothing()
    {
        Bench bench(QStringLiteral("import"));
        makeShelf(bench.folder(), 200, 0);
        bench.keepFixture();
        const QStringList problems =
            bench.runAll({{QStringLiteral("bulk:records-written"), 1},
                          {QStringLiteral("bulk:counted"), 1},
                          {QStringLiteral("mdx:written"), 1}},
                         [&](int done) {
                             const Shelf books = booksOf(bench.path());
                             const bool all = books.size() == 200 + ImportBooks &&
                                              books.back().title == QStringLiteral("Imported %1").arg(ImportBooks - 1);
                             if (all || (done == 0 && books.size() == 200))
                                 return QString();
                             return QStringLiteral("the import was reported %1, the table holds %2")
                                 .arg(done ? QStringLiteral("done") : QStringLiteral("not done"), printable(books));
                         });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void packLeavesTheOldOrTheNewTable()
    {
        Bench bench(QStringLiteral("pack"));
        makeShelf(bench.folder(), 3000, 3);
        bench.keepFixture();
        QByteArray packed;
        {
            DbfTable table;
            table.open(bench.path(), DbfTable::Access::Exclusive, {Tag, AuthorKey});
            table.pack();
            packed = readAll(bench.path());
            QCOMPARE(table.physicalCount(), 2000u);
        }
        const QStringList problems =
            bench.runAll({{QStringLiteral("pack:written"), 1}, {QStringLiteral("mdx:written"), 1}}, [&](int done) {
                const QByteArray bytes = readAll(bench.path());
                if (bytes == packed || (done == 0 && bytes == bench.fixture().table))
                    return QString();
                return QStringLiteral("the table is neither the old nor the packed one (%1 bytes)").arg(bytes.size());
            });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void sortOrderIndexIsOldOrNew()
    {
        Bench bench(QStringLiteral("sort order"));
        makeShelf(bench.folder(), 3000, 0);
        bench.keepFixture();
        QByteArray reordered;
        {
            DbfTable table;
            table.open(bench.path(), DbfTable::Access::Exclusive);
            table.addIndex(Tag, FourLevels, true);
            reordered = readAll(bench.mdx());
        }
        const QStringList problems = bench.runAll({{QStringLiteral("mdx:written"), 1}}, [&](int done) {
            const QByteArray index = readAll(bench.mdx());
            if (readAll(bench.path()) != bench.fixture().table)
                return QStringLiteral("the table changed");
            if (index == reordered || (done == 0 && index == bench.fixture().index))
                return QString();
            return QStringLiteral("the index is neither the old nor the new one (%1 bytes)").arg(index.size());
        });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void replaceLeavesEveryRecordOldOrNew()
    {
        Bench bench(QStringLiteral("replace"));
        makeShelf(bench.folder(), 3000, 0);
        bench.keepFixture();
        const QByteArray before = bench.fixture().table;
        const int headerLength = readLittleEndian16(reinterpret_cast<const std::uint8_t *>(before.constData()) + 8);
        const QByteArray replacement = Replacement.toLatin1().leftJustified(AuthorWidth, ' ');
        const QStringList problems =
            bench.runAll({{QStringLiteral("edit:written"), 1},
                          {QStringLiteral("edit:written"), 150},
                          {QStringLiteral("bulk:counted"), 1},
                          {QStringLiteral("mdx:written"), 1}},
                         [&](int done) {
                             const QByteArray after = readAll(bench.path());
                             if (after.size() != before.size() || after.left(headerLength) != before.left(headerLength))
                                 return QStringLiteral("the table's size or header changed");
                             int replaced = 0;
                             int wanted = 0;
                             for (qsizetype at = headerLength; at + 90 < before.size(); at += 90) {
                                 const QByteArray old = before.mid(at, 90);
                                 const QByteArray now = after.mid(at, 90);
                                 if (!isReplaced(QString::fromLatin1(old.mid(AuthorOffset, AuthorWidth)))) {
                                     if (now != old)
                                         return QStringLiteral("a record that did not match changed");
                                     continue;
                                 }
                                 ++wanted;
                                 QByteArray changed = old;
                                 changed.replace(AuthorOffset, AuthorWidth, replacement);
                                 if (now == changed)
                                     ++replaced;
                                 else if (now != old)
                                     return QStringLiteral("a record is neither old nor replaced");
                             }
                             if (done && replaced != wanted)
                                 return QStringLiteral("the replace was reported done, %1 of %2 records changed")
                                     .arg(replaced)
                                     .arg(wanted);
                             return QString();
                         });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void cleanupTestCase()
    {
        qInfo("%-12s %-26s %6s %9s %5s", "operation", "kill point", "tried", "survived", "lost");
        for (const auto &[key, tally] : tallies)
            qInfo("%-12s %-26s %6d %9d %5d", qPrintable(key.first), qPrintable(key.second), tally.tried, tally.survived,
                  tally.lost);
    }
};

SHELFMARK_TEST(TestCrash)
#include "TestCrash.moc"
