#include "BookTable.h"
#include "TestSupport.h"

#include "app/Catalog.h"
#include "backup/FileCopier.h"
#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/ReplacementLog.h"
#include "framework/WholeFile.h"
#include "framework/dbase/DbfTable.h"
#include "framework/dbase/FaultPoint.h"
#include "reports/BuiltInReports.h"
#include "reports/ReportDefinitionsFile.h"
#include "reports/ReportTextFile.h"
#include "storage/CatalogTable.h"
#include "storage/EarlierDatabase.h"

#include <QDir>
#include <QDirIterator>
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

// The engine's write paths, and the program's writes of whole files (report
// definitions, the conversion of an earlier database, report text files, backup
// copies, a restore), run in a child process that is killed (SIGKILL) at the
// fault points and at random moments. After each kill the table opens, its
// index agrees with the records (rebuilt if need be), no bytes lie beyond the
// header's count, every change the child reported done is there, a replaced
// file is the old or the new one, and after the clean-up of the next start no
// temporary file is left.
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

// The program's files in a folder: "data" is the program directory (report
// definitions, the catalog, the earlier table, the run's log), "away" another
// folder (backups, report text files).
constexpr int TextLines = 30000; // more than one flush of the report text file
constexpr int EarlierBooks = 3000;
const QString CatalogKey = QStringLiteral("Upper(Left(Author,80))");

QString dataFile(const QString &folder, const QString &name)
{
    return folder + QStringLiteral("/data/") + name;
}
QString awayFile(const QString &folder, const QString &name)
{
    return folder + QStringLiteral("/away/") + name;
}

ReportDefinition namedReport(const QString &name)
{
    ReportDefinition report = BuiltInReports::all().front();
    report.name = name;
    return report;
}

QByteArray textLine(int n)
{
    return QStringLiteral("Book %1 by Author %2, page %3").arg(n).arg(n % 97).arg(n / 60 + 1).toUtf8() + "\r\n";
}

// Each starts as the program does, with its log of files replaced elsewhere.
void saveReports(const QString &folder)
{
    ReplacementLog::start(folder + QStringLiteral("/data"));
    const ReportDefinitionsFile file(folder + QStringLiteral("/data"));
    TestSupport::tellParent("ready");
    file.replace(3, namedReport(QStringLiteral("Saved")));
    TestSupport::tellParent("done");
    file.append(namedReport(QStringLiteral("Added")));
    TestSupport::tellParent("done");
}

void deleteReport(const QString &folder)
{
    ReplacementLog::start(folder + QStringLiteral("/data"));
    const ReportDefinitionsFile file(folder + QStringLiteral("/data"));
    TestSupport::tellParent("ready");
    file.remove(2);
    TestSupport::tellParent("done");
}

void convertEarlier(const QString &folder)
{
    ReplacementLog::start(folder + QStringLiteral("/data"));
    DbfTable catalog;
    catalog.open(dataFile(folder, QStringLiteral("MASTER.DBF")), DbfTable::Access::Shared,
                 {CatalogTable::IndexTag, CatalogKey});
    TestSupport::tellParent("ready");
    EarlierDatabase::find(folder + QStringLiteral("/data")).at(0).convertInto(catalog);
    TestSupport::tellParent("done");
}

void printToFile(const QString &folder)
{
    ReplacementLog::start(folder + QStringLiteral("/data"));
    ReportTextFile text(awayFile(folder, QStringLiteral("REPORT.TXT")));
    TestSupport::tellParent("ready");
    for (int n = 0; n < TextLines; ++n)
        text.writeLine(QString::fromUtf8(textLine(n).chopped(2)));
    text.commit();
    TestSupport::tellParent("done");
}

void backUp(const QString &folder)
{
    ReplacementLog::start(folder + QStringLiteral("/data"));
    TestSupport::tellParent("ready");
    FileCopier::copy(dataFile(folder, QStringLiteral("BOOKS.DBF")), awayFile(folder, QStringLiteral("BOOKS.DBF")));
    TestSupport::tellParent("done");
}

// A database restored over the open one: the file it replaces is kept until
// the restored file opens with its new index.
void restore(const QString &folder)
{
    ReplacementLog::start(folder + QStringLiteral("/data"));
    const QString destination = dataFile(folder, QStringLiteral("BOOKS.DBF"));
    TestSupport::tellParent("ready");
    KeptFile previous(destination);
    FileCopier::copy(awayFile(folder, QStringLiteral("BOOKS.DBF")), destination);
    QFile::remove(dataFile(folder, QStringLiteral("BOOKS.MDX")));
    CatalogTable::clearProductionIndexFlag(destination);
    DbfTable table;
    table.open(destination, DbfTable::Access::Exclusive, {Tag, AuthorKey, true});
    TestSupport::tellParent("done");
}

// Arguments: operation, table (the folder for the program's files), kill point
// ("-" for none), the how-manieth reaching of the point kills.
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
        else if (operation == QLatin1String("save report"))
            saveReports(path);
        else if (operation == QLatin1String("delete report"))
            deleteReport(path);
        else if (operation == QLatin1String("conversion"))
            convertEarlier(path);
        else if (operation == QLatin1String("report text"))
            printToFile(path);
        else if (operation == QLatin1String("backup"))
            backUp(path);
        else if (operation == QLatin1String("restore"))
            restore(path);
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

// What a table must be after any kill: it opens, holds no bytes beyond its
// count, and its index agrees with the records once opened.
QString tableProblem(const QString &path)
{
    try {
        DbfTable table;
        table.setIndexName(Tag);
        table.open(path);
    } catch (const Error &e) {
        return QStringLiteral("the table does not open: %1").arg(e.message());
    }
    const QByteArray bytes = readAll(path);
    const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.constData());
    const qint64 end = readLittleEndian16(p + 8) + qint64(readLittleEndian32(p + 4)) * readLittleEndian16(p + 10);
    if (bytes.size() != end + 1 || bytes.back() != DbfHeader::EndOfFile)
        return QStringLiteral("%1 bytes after the last counted record").arg(bytes.size() - end);
    DbfTable reader;
    reader.setIndexName(Tag);
    reader.open(path, DbfTable::Access::ReadOnly);
    if (!reader.indexRepairReason().isEmpty())
        return QStringLiteral("the index does not agree after an open: %1").arg(reader.indexRepairReason());
    return {};
}

// The clean-up of the next start over the program's files in `folder` (see
// dataFile): the leftovers its log names, those beside the report definitions
// and beside `table`; then no temporary file may be left in either folder.
QString leftoverProblem(const QString &folder, const QString &table = {})
{
    ReplacementLog::start(folder + QStringLiteral("/data"));
    WholeFile::removeLeftovers(dataFile(folder, QLatin1String(ReportDefinitionsFile::FileName)));
    if (!table.isEmpty())
        DbfTable::removeStaleTemporaries(table);
    QStringList left;
    QDirIterator files(folder, {QStringLiteral("*.new~")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext())
        left << QDir(folder).relativeFilePath(files.next());
    if (!left.isEmpty())
        return QStringLiteral("temporary files stay: %1").arg(left.join(QLatin1String(", ")));
    return {};
}

struct Fixture
{
    QByteArray table;
    QByteArray index;
    // Every other file a run starts from, by path; a null one is absent.
    std::map<QString, QByteArray> files;
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

    void keepFixture() { m_fixture = {readAll(m_path), readAll(m_mdx), {}}; }
    // For operations on other files: each run starts from these files as they
    // are now; the folder holds nothing else.
    void keepFiles(const QStringList &paths)
    {
        for (const QString &path : paths)
            m_fixture.files[path] = QFileInfo::exists(path) ? readAll(path) : QByteArray();
    }
    const Fixture &fixture() const { return m_fixture; }
    // What the next start would find wrong after a run; by default the table's problems.
    void setCommonProblem(std::function<QString()> problem) { m_commonProblem = std::move(problem); }

    Outcome run(const Run &how)
    {
        if (m_fixture.files.empty()) {
            writeAll(m_path, m_fixture.table);
            writeAll(m_mdx, m_fixture.index);
        } else {
            QDirIterator files(m_dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (files.hasNext())
                QFile::remove(files.next());
            for (const auto &[path, bytes] : m_fixture.files) {
                if (!bytes.isNull())
                    writeAll(path, bytes);
            }
        }
        const QString target = m_fixture.files.empty() ? m_path : m_dir.path();
        const auto child = TestSupport::startChild(QStringLiteral("crash"),
                                                   {m_operation, target, how.point, QString::number(how.hit)});
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
        return tableProblem(m_path);
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
                problem = m_commonProblem ? m_commonProblem() : commonProblem();
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
    std::function<QString()> m_commonProblem;
};

// A file replaced whole is the new one, or the old one while the change was
// not reported done.
QString oldOrNew(const QString &what, const QByteArray &now, const QByteArray &before, const QByteArray &after,
                 int done)
{
    if (now == after || (done == 0 && now == before))
        return {};
    return QStringLiteral("%1 is neither the old nor the new one (%2 bytes)").arg(what).arg(now.size());
}

// The program directory and another folder below the bench's folder.
QString makeFolders(const Bench &bench)
{
    QDir(bench.folder()).mkpath(QStringLiteral("data"));
    QDir(bench.folder()).mkpath(QStringLiteral("away"));
    return bench.folder();
}

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
                return oldOrNew(QStringLiteral("the table"), readAll(bench.path()), bench.fixture().table, packed,
                                done);
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

    void reportSavesLeaveTheOldOrTheNewFile()
    {
        Bench bench(QStringLiteral("save report"));
        const QString folder = makeFolders(bench);
        const ReportDefinitionsFile file(folder + QStringLiteral("/data"));
        QVERIFY(file.createDefaults());
        bench.keepFiles({file.path()});
        // The file after each save, the way the child makes them.
        std::vector<QByteArray> after{readAll(file.path())};
        file.replace(3, namedReport(QStringLiteral("Saved")));
        after.push_back(readAll(file.path()));
        file.append(namedReport(QStringLiteral("Added")));
        after.push_back(readAll(file.path()));
        bench.setCommonProblem([&] { return leftoverProblem(folder); });
        const QStringList problems =
            bench.runAll({{QStringLiteral("file:written"), 1}, {QStringLiteral("file:written"), 2}}, [&](int done) {
                const QByteArray bytes = readAll(file.path());
                if (bytes == after[std::size_t(done)] || (done < 2 && bytes == after[std::size_t(done) + 1]))
                    return QString();
                return QStringLiteral("%1 saves were reported, the file holds %2 bytes of neither")
                    .arg(done)
                    .arg(bytes.size());
            });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void reportDeleteLeavesTheOldOrTheNewFile()
    {
        Bench bench(QStringLiteral("delete report"));
        const QString folder = makeFolders(bench);
        const ReportDefinitionsFile file(folder + QStringLiteral("/data"));
        QVERIFY(file.createDefaults());
        bench.keepFiles({file.path()});
        const QByteArray before = readAll(file.path());
        file.remove(2);
        const QByteArray deleted = readAll(file.path());
        bench.setCommonProblem([&] { return leftoverProblem(folder); });
        const QStringList problems = bench.runAll({{QStringLiteral("file:written"), 1}}, [&](int done) {
            return oldOrNew(QStringLiteral("the file"), readAll(file.path()), before, deleted, done);
        });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void earlierDatabaseIsConvertedOnceOrOfferedAgain()
    {
        Bench bench(QStringLiteral("conversion"));
        const QString folder = makeFolders(bench);
        const QString master = dataFile(folder, QStringLiteral("MASTER.DBF"));
        const QString earlier = dataFile(folder, QStringLiteral("BLOG.DBF"));
        constexpr std::uint32_t Books = 50;
        CatalogTable::create(master);
        {
            DbfTable catalog;
            catalog.open(master, DbfTable::Access::Exclusive, {CatalogTable::IndexTag, CatalogKey});
            for (std::uint32_t i = 0; i < Books; ++i) {
                catalog.append();
                catalog.setText(1, QStringLiteral("Author %1").arg(i));
                catalog.post();
            }
        }
        DbfTable::create(earlier, TestSupport::earlierFirstFields());
        {
            DbfTable old;
            old.open(earlier, DbfTable::Access::Exclusive);
            old.beginBulkUpdate();
            for (int i = 0; i < EarlierBooks; ++i) {
                old.append();
                old.setText(1, QStringLiteral("Earlier %1").arg(i));
                old.setText(2, QStringLiteral("Old Author %1").arg(i % 50));
                old.post();
            }
            old.endBulkUpdate();
        }
        bench.keepFiles({master, FileNames::companion(master, QStringLiteral("MDX")), earlier,
                         dataFile(folder, QStringLiteral("BLOG.CNV"))});
        bench.setCommonProblem([&] {
            const QString left = leftoverProblem(folder, master);
            return left.isEmpty() ? tableProblem(master) : left;
        });
        const QStringList problems = bench.runAll(
            {{QStringLiteral("file:written"), 1},
             {QStringLiteral("bulk:records-written"), 1},
             {QStringLiteral("bulk:counted"), 1},
             {QStringLiteral("mdx:written"), 1}},
            [&](int done) {
                // The next start settles what a kill cut short, then looks for earlier tables.
                DbfTable::removeStaleTemporaries(master);
                const bool offered = !EarlierDatabase::find(folder + QStringLiteral("/data")).empty();
                DbfTable catalog;
                catalog.open(master, DbfTable::Access::ReadOnly);
                const std::uint32_t count = catalog.physicalCount();
                if (count == Books + EarlierBooks && !offered && !QFileInfo::exists(earlier))
                    return QString();
                if (done == 0 && count == Books && offered)
                    return QString();
                return QStringLiteral("the conversion was reported %1; the catalog holds %2 books and the earlier "
                                      "table is %3")
                    .arg(done ? QStringLiteral("done") : QStringLiteral("not done"))
                    .arg(count)
                    .arg(offered ? QStringLiteral("offered again") : QStringLiteral("not offered"));
            });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void reportTextFileIsTheOldOrTheNewOne()
    {
        Bench bench(QStringLiteral("report text"));
        const QString folder = makeFolders(bench);
        const QString path = awayFile(folder, QStringLiteral("REPORT.TXT"));
        const QByteArray before = "An earlier report\r\n";
        writeAll(path, before);
        bench.keepFiles({path});
        QByteArray printed;
        for (int n = 0; n < TextLines; ++n)
            printed += textLine(n);
        bench.setCommonProblem([&] { return leftoverProblem(folder); });
        const QStringList problems = bench.runAll({{QStringLiteral("file:written"), 1}}, [&](int done) {
            return oldOrNew(QStringLiteral("the text file"), readAll(path), before, printed, done);
        });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void backupCopyIsTheOldOrTheNewOne()
    {
        Bench bench(QStringLiteral("backup"));
        const QString folder = makeFolders(bench);
        const QString source = makeShelf(folder + QStringLiteral("/data"), 3000, 0);
        const QString backup = makeShelf(folder + QStringLiteral("/away"), 1000, 0);
        bench.keepFiles({source, backup});
        const QByteArray before = readAll(backup);
        const QByteArray copied = readAll(source);
        bench.setCommonProblem([&] { return leftoverProblem(folder); });
        const QStringList problems = bench.runAll(
            {{QStringLiteral("copy:block-written"), 1},
             {QStringLiteral("copy:block-written"), 100},
             {QStringLiteral("copy:written"), 1}},
            [&](int done) { return oldOrNew(QStringLiteral("the backup"), readAll(backup), before, copied, done); });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void restoreLeavesTheOldOrTheRestoredDatabase()
    {
        Bench bench(QStringLiteral("restore"));
        const QString folder = makeFolders(bench);
        const QString open = makeShelf(folder + QStringLiteral("/data"), 3000, 0);
        const QString backup = makeShelf(folder + QStringLiteral("/away"), 1000, 0);
        bench.keepFiles({open, FileNames::companion(open, QStringLiteral("MDX")), backup});
        // The production-index flag is cleared on the way and set again with the new index.
        const auto withoutIndexFlag = [](QByteArray bytes) { return bytes.remove(28, 1); };
        const QByteArray before = withoutIndexFlag(readAll(open));
        const QByteArray restored = withoutIndexFlag(readAll(backup));
        bench.setCommonProblem([&] {
            const QString left = leftoverProblem(folder, open);
            // The open of the next start clears the flag of an index that is not
            // there and builds the index.
            if (left.isEmpty() && !QFileInfo::exists(FileNames::companion(open, QStringLiteral("MDX")))) {
                Catalog::RemoveMDXByte(open);
                try {
                    DbfTable table;
                    table.open(open, DbfTable::Access::Shared, {Tag, AuthorKey});
                } catch (const Error &e) {
                    return QStringLiteral("the table does not open without its index: %1").arg(e.message());
                }
            }
            return left.isEmpty() ? tableProblem(open) : left;
        });
        // The kept copy of 3000 books takes 132 blocks, the copy of the backup 44 more.
        const QStringList problems =
            bench.runAll({{QStringLiteral("copy:block-written"), 1},
                          {QStringLiteral("copy:block-written"), 140},
                          {QStringLiteral("copy:written"), 1},
                          {QStringLiteral("mdx:written"), 1}},
                         [&](int done) {
                             return oldOrNew(QStringLiteral("the database"), withoutIndexFlag(readAll(open)), before,
                                             restored, done);
                         });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void cleanupTestCase()
    {
        qInfo("%-14s %-26s %6s %9s %5s", "operation", "kill point", "tried", "survived", "lost");
        for (const auto &[key, tally] : tallies)
            qInfo("%-14s %-26s %6d %9d %5d", qPrintable(key.first), qPrintable(key.second), tally.tried, tally.survived,
                  tally.lost);
    }
};

SHELFMARK_TEST(TestCrash)
#include "TestCrash.moc"
