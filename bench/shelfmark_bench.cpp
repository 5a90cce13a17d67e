// Benchmarks of the catalog engine and the reports on generated catalogs of 10 000, 100 000 and
// 1 000 000 books, plus three tools:
//
//   shelfmark_bench [benchmark options]   run the benchmarks (Google Benchmark)
//   shelfmark_bench --write N DIR         write a catalog of N books with its index to DIR/BOOKS.DBF
//   shelfmark_bench --check FILE          open a table, build its default index, print the record
//                                         count and the first and last five keys in index order
//   shelfmark_bench --memory N            private memory of this process with N books open
//
// Generated catalogs are kept in $SHELFMARK_BENCH_DIR (default: the temporary
// directory's "shelfmark-bench") and reused by later runs.

#include "BookGenerator.h"
#include "app/DateFormat.h"
#include "app/Settings.h"
#include "framework/Error.h"
#include "framework/dbase/DbfTable.h"
#include "framework/report/ReportFont.h"
#include "framework/report/ReportRecording.h"
#include "framework/report/TReportFiler.h"
#include "reports/BuiltInReports.h"
#include "reports/ReportGenerator.h"
#include "search/Locator.h"
#include "search/Replacement.h"
#include "search/SearchCriteria.h"
#include "storage/CatalogFields.h"
#include "storage/CatalogTable.h"
#include "transfer/DelimitedReader.h"
#include "transfer/ExportRun.h"
#include "transfer/ImportRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <numeric>
#include <unistd.h>

namespace {

const QString DefaultIndex = QStringLiteral("Upper(Left(Author,80))");
const QString FourLevels =
    QStringLiteral("Upper(Left(Author,20))+DTOS(PurchDate)+STR(Cost,12,2)+Upper(Left(Title,20))");

QString benchDir()
{
    const QString dir = qEnvironmentVariableIsSet("SHELFMARK_BENCH_DIR")
                            ? qEnvironmentVariable("SHELFMARK_BENCH_DIR")
                            : QDir::temp().filePath(QStringLiteral("shelfmark-bench"));
    QDir().mkpath(dir);
    return dir;
}

void writeCatalog(const QString &path, int books, bool withIndex)
{
    CatalogTable::create(path);
    DbfTable table;
    table.open(path, DbfTable::Access::Exclusive);
    BookGenerator generator;
    generator.appendTo(table, books, true);
    if (withIndex)
        table.addIndex(CatalogTable::IndexTag, DefaultIndex, true);
}

// A generated catalog of `books` books (about 1 % deleted), made once and kept.
QString catalog(int books)
{
    const QString path = QDir(benchDir()).filePath(QStringLiteral("CAT%1.DBF").arg(books));
    const QString done = path + QStringLiteral(".done");
    if (!QFileInfo::exists(done)) {
        writeCatalog(path, books, false);
        QFile marker(done);
        marker.open(QIODevice::WriteOnly);
    }
    return path;
}

void removeIndex(const QString &dbf)
{
    QFile::remove(QDir(benchDir()).filePath(QFileInfo(dbf).completeBaseName() + QStringLiteral(".MDX")));
    CatalogTable::clearProductionIndexFlag(dbf);
}

void BM_OpenWithDefaultIndex(benchmark::State &state)
{
    const QString path = catalog(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        removeIndex(path);
        {
            DbfTable table;
            state.ResumeTiming();
            table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, DefaultIndex});
            benchmark::DoNotOptimize(table.recordCount());
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}

void BM_FourLevelIndex(benchmark::State &state)
{
    const QString path = catalog(int(state.range(0)));
    DbfTable table;
    table.open(path);
    for (auto _ : state) {
        table.addIndex(CatalogTable::IndexTag, FourLevels, true);
        benchmark::DoNotOptimize(table.recordCount());
    }
}

void BM_AuthorPass(benchmark::State &state)
{
    const QString path = catalog(int(state.range(0)));
    DbfTable table;
    table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, DefaultIndex});
    const int author = table.field(u"Author");
    // The first pass after opening also maps the file's pages, once; it is
    // reported on its own and the timed passes are the ones after it.
    auto pass = [&] {
        qsizetype characters = 0;
        table.forEachRow([&](int, const DbfRecord &record) { characters += record.text(author).size(); });
        benchmark::DoNotOptimize(characters);
    };
    QElapsedTimer first;
    first.start();
    pass();
    state.counters["first_pass_ms"] = double(first.nsecsElapsed()) / 1e6;
    for (auto _ : state)
        pass();
}

void BM_AppendBooks(benchmark::State &state)
{
    const int count = int(state.range(0));
    static std::vector<BookGenerator::Book> books;
    BookGenerator generator(42);
    while (int(books.size()) < count)
        books.push_back(generator.next());
    const QString path = QDir(benchDir()).filePath(QStringLiteral("APPEND.DBF"));
    for (auto _ : state) {
        state.PauseTiming();
        removeIndex(path);
        CatalogTable::create(path);
        {
            DbfTable table;
            table.open(path);
            table.addIndex(CatalogTable::IndexTag, DefaultIndex, true);
            state.ResumeTiming();
            table.beginBulkUpdate();
            for (int i = 0; i < count; ++i) {
                table.append();
                BookGenerator::store(table, books[std::size_t(i)]);
                table.post();
            }
            table.endBulkUpdate();
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}

void BM_PackTenPercentDeleted(benchmark::State &state)
{
    const qint64 books = state.range(0);
    const QString source = catalog(int(books));
    const QString path = QDir(benchDir()).filePath(QStringLiteral("PACK.DBF"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        removeIndex(path);
        QFile::copy(source, path);
        {
            // Every tenth record deleted, straight in the file.
            QFile file(path);
            file.open(QIODevice::ReadWrite);
            const QByteArray head = file.read(12);
            const int headerLength = std::uint8_t(head[8]) | std::uint8_t(head[9]) << 8;
            const int recordLength = std::uint8_t(head[10]) | std::uint8_t(head[11]) << 8;
            for (qint64 r = 0; r < books; r += 10) {
                file.seek(headerLength + r * recordLength);
                file.write("*", 1);
            }
        }
        {
            DbfTable table;
            table.open(path, DbfTable::Access::Exclusive);
            table.addIndex(CatalogTable::IndexTag, DefaultIndex, true);
            state.ResumeTiming();
            table.pack();
            benchmark::DoNotOptimize(table.recordCount());
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}

void sizes(benchmark::internal::Benchmark *b)
{
    b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_OpenWithDefaultIndex)->Apply(sizes);
BENCHMARK(BM_FourLevelIndex)->Apply(sizes);
BENCHMARK(BM_AuthorPass)->Apply(sizes);
BENCHMARK(BM_AppendBooks)->Apply(sizes);
BENCHMARK(BM_PackTenPercentDeleted)->Apply(sizes);

// Export of every field of 100 000 books, in the order of the default index, to
// a new comma-delimited text file and to a new dBASE table. One pass before
// timing maps the catalog's pages, as a running program has them mapped; the
// file of the pass before is removed untimed.
void exportBooks(benchmark::State &state, bool text)
{
    DbfTable table;
    table.open(catalog(int(state.range(0))), DbfTable::Access::Shared, {CatalogTable::IndexTag, DefaultIndex});
    ExportRun run(table, ExportRun::exportList(Settings(QString())));
    const QString out = QDir(benchDir()).filePath(text ? QStringLiteral("EXPORT.TXT") : QStringLiteral("EXPORT.DBF"));
    auto pass = [&] { return text ? run.writeText(out, true) : run.writeTable(out); };
    pass();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(out);
        state.ResumeTiming();
        benchmark::DoNotOptimize(pass());
    }
}

void BM_ExportText(benchmark::State &state)
{
    exportBooks(state, true);
}

void BM_ExportDbase(benchmark::State &state)
{
    exportBooks(state, false);
}

BENCHMARK(BM_ExportText)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportDbase)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Import of a comma-delimited file of generated books (36 quoted values a
// line, a header line of field names, UTF-8), written once and kept, into an
// empty catalog with its default index.
QString importTextFile(int books)
{
    const QString path = QDir(benchDir()).filePath(QStringLiteral("IMPORT%1.TXT").arg(books));
    const QString done = path + QStringLiteral(".done");
    if (QFileInfo::exists(done))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QStringList values;
    for (const CatalogField &field : CatalogFields::rows)
        values << QString::fromLatin1(field.name);
    auto writeLine = [&] {
        file.write((QLatin1Char('"') + values.join(QStringLiteral("\",\"")) + QStringLiteral("\"\r\n")).toUtf8());
    };
    writeLine();
    auto number = [](const std::optional<double> &v) { return v ? QString::number(*v) : QString(); };
    BookGenerator generator(7);
    for (int i = 0; i < books; ++i) {
        const BookGenerator::Book b = generator.next();
        values = QStringList(CatalogFields::Count);
        values[0] = b.title;
        values[1] = b.author;
        values[2] = number(b.year);
        values[3] = b.publisher;
        values[4] = b.category;
        values[5] = b.wherePurchased;
        values[6] = number(b.cost);
        values[7] = number(b.value);
        values[9] = b.isbn;
        values[10] = b.rating;
        values[11] = b.bought.isValid() ? b.bought.toString(QStringLiteral("M/d/yyyy")) : QString();
        values[12] = b.bookType;
        values[16] = b.checkedOut;
        values[22] = b.keyWords;
        values[23] = number(b.pages);
        values[24] = b.location;
        values[25] = b.condition;
        writeLine();
    }
    file.close();
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    return path;
}

void BM_ImportText(benchmark::State &state)
{
    const QString source = importTextFile(int(state.range(0)));
    const QString path = QDir(benchDir()).filePath(QStringLiteral("IMPORTED.DBF"));
    std::vector<int> mapping(CatalogFields::Count);
    std::iota(mapping.begin(), mapping.end(), 1);
    for (auto _ : state) {
        state.PauseTiming();
        removeIndex(path);
        CatalogTable::create(path);
        {
            DbfTable table;
            table.open(path);
            table.addIndex(CatalogTable::IndexTag, DefaultIndex, true);
            state.ResumeTiming();
            const MappedFile file(source);
            ImportRun run(table, mapping);
            run.importText(file.bytes(), true);
            if (run.imported() != state.range(0))
                state.SkipWithError("not every book was imported");
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ImportText)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Searching, sorting, locating and replacing on 100 000 books, through the same
// classes the windows use.

DbfTable::IndexSpec defaultOrder()
{
    return {CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0})};
}

void runSearch(benchmark::State &state, const std::vector<SearchCriteria::Page> &pages,
               const SearchCriteria::Operators &operators)
{
    const QString path = catalog(int(state.range(0)));
    DbfTable table;
    table.open(path, DbfTable::Access::Shared, defaultOrder());
    for (auto _ : state) {
        // From Ok: the pages stored, the test prepared, the visible rows rebuilt.
        SearchCriteria criteria;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                criteria.nextLevel();
            criteria.SaveFields(pages[i], operators, DateFormat(1, false));
        }
        const SearchTest test(criteria.items(), table);
        table.setFilter([test](const DbfRecord &record) { return test.BuildFilter(record); });
        benchmark::DoNotOptimize(table.recordCount());
        state.PauseTiming();
        table.setFilter(nullptr);
        state.ResumeTiming();
    }
}

void BM_SearchTwoLevels(benchmark::State &state)
{
    SearchCriteria::Operators operators;
    operators.fill(1);
    SearchCriteria::Page smith, jones;
    smith[1] = QStringLiteral("SMITH");
    jones[1] = QStringLiteral("JONES");
    runSearch(state, {smith, jones}, operators);
}

void BM_SearchFiveCriteria(benchmark::State &state)
{
    SearchCriteria::Operators operators;
    operators.fill(1);
    operators[6] = 4;  // Cost range
    operators[11] = 4; // Purchase Date range
    SearchCriteria::Page page;
    page[0] = QStringLiteral("THE");
    page[6] = QStringLiteral("> 10 AND < 60");
    page[11] = QStringLiteral("> 1/1/80 AND < 12/31/19");
    page[10] = QStringLiteral("GOOD");
    page[22] = QStringLiteral("river garden stone");
    runSearch(state, {page}, operators);
}

void BM_SortFourLevels(benchmark::State &state)
{
    // As the sort order window does it: exclusive, the tag built once, shared again.
    const QString path = catalog(int(state.range(0)));
    const QString fourLevels = CatalogTable::sortString({2, 12, 7, 1});
    for (auto _ : state) {
        state.PauseTiming();
        {
            DbfTable table;
            table.open(path, DbfTable::Access::Shared, defaultOrder());
            state.ResumeTiming();
            table.close();
            table.setIndexName(QString());
            table.open(path, DbfTable::Access::Exclusive);
            table.addIndex(CatalogTable::IndexTag, fourLevels, true);
            table.close();
            table.open(path);
            benchmark::DoNotOptimize(table.recordCount());
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}

void BM_LocateNextFarAway(benchmark::State &state)
{
    // Partial match anywhere, the first match 50 000 rows after the cursor.
    const QString path = catalog(int(state.range(0)));
    DbfTable table;
    table.open(path, DbfTable::Access::Shared, defaultOrder());
    const int author = table.field(u"Author");
    int target = 50000;
    const QString value = table.recordAt(target).text(author);
    while (target > 0 && table.recordAt(target - 1).text(author) == value)
        --target;
    const int start = target - 50000;
    table.setRow(start);
    for (auto _ : state) {
        const Locator locator(table, author, value.mid(2), Locator::Match::PartialAnywhere, false);
        const int found = locator.findFrom(start + 1);
        if (found < 0)
            state.SkipWithError("no match");
        benchmark::DoNotOptimize(found);
    }
    state.counters["distance"] = target - start;
}

// A copy of the generated catalog for a replace run, with `prepare` applied to
// it and the default tag built.
QString replaceCopy(int books, const std::function<void(DbfTable &)> &prepare)
{
    const QString path = QDir(benchDir()).filePath(QStringLiteral("REPLACE.DBF"));
    QFile::remove(path);
    removeIndex(path);
    QFile::copy(catalog(books), path);
    DbfTable table;
    table.open(path, DbfTable::Access::Exclusive);
    table.beginBulkUpdate();
    prepare(table);
    table.endBulkUpdate();
    table.addIndex(CatalogTable::IndexTag, defaultOrder().expression, true);
    return path;
}

// A replace run as the search and replace window makes it: exclusive, the tag
// deleted and the books in record order, the counts told after every book, the
// tag built again afterwards and the table opened shared.
Replacement::Counts replaceAsTheWindowDoes(const QString &path, const QString &field, const QString &search,
                                           const QString &replacement)
{
    DbfTable table;
    table.open(path, DbfTable::Access::Exclusive);
    table.deleteIndex(CatalogTable::IndexTag);
    int told = 0;
    Replacement::Counts counts;
    Replacement::text(table.field(field), search, replacement).run(table, counts, {}, [&](const Replacement::Counts &) {
        ++told;
    });
    table.addIndex(CatalogTable::IndexTag, defaultOrder().expression, true);
    table.close();
    table.open(path);
    benchmark::DoNotOptimize(told);
    return counts;
}

void BM_ReplaceOneAuthor(benchmark::State &state)
{
    // One author on 1 000 books replaced without confirmation.
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = replaceCopy(int(state.range(0)), [](DbfTable &table) {
            const int author = table.field(u"Author");
            for (int i = 0; i < 1000; ++i) {
                table.edit(std::uint32_t(1 + i * 97));
                table.setText(author, QStringLiteral("Replace, Me"));
                table.post();
            }
        });
        state.ResumeTiming();
        const Replacement::Counts counts = replaceAsTheWindowDoes(
            path, QStringLiteral("Author"), QStringLiteral("replace, me"), QStringLiteral("Someone, Else"));
        if (counts.changed != 1000)
            state.SkipWithError("not every book was changed");
    }
}

void BM_ReplaceEveryBook(benchmark::State &state)
{
    // A value that every book holds replaced without confirmation.
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = replaceCopy(int(state.range(0)), [](DbfTable &table) {
            const int location = table.field(u"Location");
            for (std::uint32_t recno = 1; recno <= table.physicalCount(); ++recno) {
                table.edit(recno);
                table.setText(location, QStringLiteral("Living Room"));
                table.post();
            }
        });
        state.ResumeTiming();
        const Replacement::Counts counts = replaceAsTheWindowDoes(
            path, QStringLiteral("Location"), QStringLiteral("living room"), QStringLiteral("Study"));
        if (counts.changed != counts.processed || counts.changed < state.range(0) * 9 / 10)
            state.SkipWithError("not every book was changed");
        state.counters["changed"] = counts.changed;
    }
}

BENCHMARK(BM_SearchTwoLevels)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchFiveCriteria)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SortFourLevels)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LocateNextFarAway)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplaceOneAuthor)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplaceEveryBook)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reports on 100 000 books in the order of the default index, through the
// classes the report window uses: "Full Report" (ten lines a book) printed to
// a text file, "Short Narrow Report" recorded for the preview, and the
// recording of "Full Report" measured against its text file. Letter paper.

ReportDefinition builtInReport(const char *name)
{
    for (const ReportDefinition &d : BuiltInReports::all()) {
        if (d.name == QLatin1String(name))
            return d;
    }
    return {};
}

// Answers the pages; `recording` is discarded in the text-file mode.
int runReport(const DbfTable &table, const ReportDefinition &d, ReportGenerator::Mode mode, ReportRecording &recording,
              const QString &textFile = {})
{
    TReportFiler filer(recording);
    filer.setPageSize(QPageSize(QPageSize::Letter));
    ReportGenerator generator(d, mode, table, Settings(QString()), NumberFormat(), DateFormat());
    generator.setTextFile(textFile);
    generator.attach(filer);
    filer.execute();
    return recording.pageCount();
}

void BM_ReportFullToText(benchmark::State &state)
{
    DbfTable table;
    table.open(catalog(int(state.range(0))), DbfTable::Access::Shared, {CatalogTable::IndexTag, DefaultIndex});
    const ReportDefinition full = builtInReport("Full Report");
    const QString out = QDir(benchDir()).filePath(QStringLiteral("REPORT.TXT"));
    int pages = 0;
    for (auto _ : state) {
        ReportRecording discarded;
        pages = runReport(table, full, ReportGenerator::Mode::File, discarded, out);
    }
    state.counters["pages"] = pages;
    state.counters["text_MB"] = double(QFileInfo(out).size()) / (1 << 20);
}

void BM_ReportShortNarrowRecorded(benchmark::State &state)
{
    DbfTable table;
    table.open(catalog(int(state.range(0))), DbfTable::Access::Shared, {CatalogTable::IndexTag, DefaultIndex});
    const ReportDefinition narrow = builtInReport("Short Narrow Report");
    int pages = 0;
    std::size_t memory = 0;
    for (auto _ : state) {
        ReportRecording recording;
        pages = runReport(table, narrow, ReportGenerator::Mode::View, recording);
        memory = recording.memoryUsed();
    }
    state.counters["pages"] = pages;
    state.counters["recording_MB"] = double(memory) / (1 << 20);
}

void BM_ReportFullRecorded(benchmark::State &state)
{
    DbfTable table;
    table.open(catalog(int(state.range(0))), DbfTable::Access::Shared, {CatalogTable::IndexTag, DefaultIndex});
    const ReportDefinition full = builtInReport("Full Report");
    const QString out = QDir(benchDir()).filePath(QStringLiteral("REPORT.TXT"));
    {
        ReportRecording discarded;
        runReport(table, full, ReportGenerator::Mode::File, discarded, out);
    }
    const double text = double(QFileInfo(out).size());
    std::size_t memory = 0;
    for (auto _ : state) {
        ReportRecording recording;
        runReport(table, full, ReportGenerator::Mode::View, recording);
        memory = recording.memoryUsed();
    }
    state.counters["recording_MB"] = double(memory) / (1 << 20);
    state.counters["text_MB"] = text / (1 << 20);
    state.counters["recording_per_text"] = double(memory) / text;
}

BENCHMARK(BM_ReportFullToText)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportShortNarrowRecorded)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportFullRecorded)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

long statusKilobytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

int memoryMode(int books)
{
    const QString path = catalog(books);
    removeIndex(path);
    const long anonymousBefore = statusKilobytes("RssAnon:");
    DbfTable table;
    table.open(path, DbfTable::Access::Shared, {CatalogTable::IndexTag, DefaultIndex});
    // Peak resident memory minus the table's own mapped pages, and what stays.
    const long peak = statusKilobytes("VmHWM:");
    const long file = statusKilobytes("RssFile:");
    const long anonymousAfter = statusKilobytes("RssAnon:");
    std::printf("books open:                   %d\n", table.recordCount());
    std::printf("private memory added (RssAnon): %.1f MB\n", (anonymousAfter - anonymousBefore) / 1024.0);
    std::printf("peak private memory (VmHWM - RssFile): %.1f MB\n", (peak - file) / 1024.0);
    return 0;
}

int writeMode(int books, const QString &dir)
{
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(QStringLiteral("BOOKS.DBF"));
    writeCatalog(path, books, true);
    std::printf("%s\n", qPrintable(path));
    return 0;
}

int checkMode(const QString &path)
{
    DbfTable table;
    table.open(path, DbfTable::Access::ReadOnly);
    const QString expression = CatalogTable::sortString({2, 0, 0, 0});
    if (table.tagExpression(CatalogTable::IndexTag).compare(expression, Qt::CaseInsensitive) == 0) {
        table.setIndexName(CatalogTable::IndexTag);
    } else {
        table.close();
        table.open(path);
        table.addIndex(CatalogTable::IndexTag, expression, true);
    }
    std::printf("records: %u (%d not deleted)\n", table.physicalCount(), table.recordCount());
    // Index entries, deleted records (marked *) included, as other tools list them.
    const auto &order = table.indexOrder();
    auto show = [&](std::size_t position) {
        const std::uint32_t record = order[position];
        const QByteArray key = table.indexKey(record);
        std::printf("%7zu  record %-8u%c %s\n", position + 1, record,
                    table.physicalRecord(record).isDeleted() ? '*' : ' ',
                    qPrintable(table.codePage().decode(key.constData(), key.size()).trimmed()));
    };
    const std::size_t entries = order.size();
    for (std::size_t i = 0; i < entries; ++i) {
        if (i < 5 || i + 5 >= entries)
            show(i);
        else if (i == 5)
            std::printf("    ...\n");
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // The window benchmarks need a platform; no screen is needed.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ReportFonts::installSubstitutes();
    try {
        if (argc == 4 && std::strcmp(argv[1], "--write") == 0)
            return writeMode(std::atoi(argv[2]), QString::fromLocal8Bit(argv[3]));
        if (argc == 3 && std::strcmp(argv[1], "--check") == 0)
            return checkMode(QString::fromLocal8Bit(argv[2]));
        if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
            return memoryMode(std::atoi(argv[2]));
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
