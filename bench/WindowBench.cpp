// Benchmarks of the windows on a generated catalog: the program's start-up and
// the record editor's opening, with pick lists of a few entries, with an author
// list of 100 000 entries, and with all nine lists that long (a large catalog
// grows large lists, one entry per new value).
// They run on the offscreen platform in a private data and config directory.

#include "BookGenerator.h"
#include "app/TMain.h"
#include "edit/TMyEdit.h"
#include "framework/dbase/DbfTable.h"
#include "storage/CatalogTable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A catalog of 20 000 books whose first `lists` list files hold `entries` lines
// each (the others five), with the settings that open it, in a directory of its own.
class ListCatalog
{
public:
    ListCatalog(int entries, int lists)
    {
        const QString books = m_dir.filePath(QStringLiteral("BOOKS.DBF"));
        CatalogTable::create(books);
        {
            DbfTable table;
            table.open(books, DbfTable::Access::Exclusive);
            BookGenerator().appendTo(table, 20000, false);
        }
        for (int list = 1; list <= 9; ++list) {
            QByteArray lines;
            for (int i = 0; i < (list <= lists ? entries : 5); ++i)
                lines += QStringLiteral("Entry %1 of list %2, Müller & Sons\r\n").arg(i).arg(list).toUtf8();
            QFile file(m_dir.filePath(QStringLiteral("BOOKS.%1").arg(list, 3, 10, QLatin1Char('0'))));
            file.open(QIODevice::WriteOnly);
            file.write(lines);
        }
        QDir().mkpath(m_dir.filePath(QStringLiteral("config/Shelfmark")));
        QFile ini(m_dir.filePath(QStringLiteral("config/Shelfmark/SHMKLIB.INI")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Misc]\r\nShow Tips=No\r\nLast Database=" + QFile::encodeName(books) + "\r\n");
        ini.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
    }

    std::unique_ptr<TMain> start() const
    {
        TMain::Environment environment;
        environment.programDirectory = m_dir.filePath(QStringLiteral("data/Shelfmark"));
        environment.startDirectory = m_dir.path();
        auto main = std::make_unique<TMain>(environment);
        main->startUp();
        main->show();
        QCoreApplication::processEvents();
        return main;
    }

private:
    QTemporaryDir m_dir;
};

void BM_StartUpWithLists(benchmark::State &state)
{
    const ListCatalog catalog(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        std::unique_ptr<TMain> main = catalog.start();
        benchmark::DoNotOptimize(main.get());
        state.PauseTiming();
        main->close();
        main.reset();
        state.ResumeTiming();
    }
}

void BM_OpenEditorWithLists(benchmark::State &state)
{
    const ListCatalog catalog(int(state.range(0)), int(state.range(1)));
    std::unique_ptr<TMain> main = catalog.start();
    TMyEdit *editor = main->recordEditor();
    for (auto _ : state) {
        editor->setMode(2);
        editor->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        editor->hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    main->close();
}

} // namespace

// Arguments: entries per long list, number of long lists.
BENCHMARK(BM_StartUpWithLists)
    ->Args({5, 9})
    ->Args({100000, 1})
    ->Args({100000, 9})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_OpenEditorWithLists)
    ->Args({5, 9})
    ->Args({100000, 1})
    ->Args({100000, 9})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
