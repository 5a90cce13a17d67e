// Benchmarks of the windows on a generated catalog: the program's start-up and
// the record editor's opening, with pick lists of a few entries, with an author
// list of 100 000 entries, and with all nine lists that long (a large catalog
// grows large lists, one entry per new value); the report preview of 100 000
// books, from View to its first page on screen, and its page turns and zooms.
// They run in a private data and config directory, on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise (the preview's figures are meant for
// xcb under Xvfb, where painting reaches a real X server).

#include "BookGenerator.h"
#include "app/TMain.h"
#include "app/WindowLook.h"
#include "edit/TMyEdit.h"
#include "framework/dbase/DbfTable.h"
#include "framework/report/ReportRecording.h"
#include "framework/report/TFilePreview.h"
#include "framework/report/TReportFiler.h"
#include "reports/BuiltInReports.h"
#include "reports/ReportGenerator.h"
#include "reports/TMyPreview.h"
#include "reports/TMyReport.h"
#include "storage/CatalogTable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A catalog of `bookCount` books whose first `lists` list files hold `entries`
// lines each (the others five), with the settings that open it, in a directory
// of its own.
class ListCatalog
{
public:
    ListCatalog(int entries, int lists, int bookCount = 20000)
    {
        const QString books = m_dir.filePath(QStringLiteral("BOOKS.DBF"));
        CatalogTable::create(books);
        {
            DbfTable table;
            table.open(books, DbfTable::Access::Exclusive);
            BookGenerator().appendTo(table, bookCount, false);
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

    QString books() const { return m_dir.filePath(QStringLiteral("BOOKS.DBF")); }

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

// 100 000 books, made once for the preview's benchmarks.
const ListCatalog &largeCatalog()
{
    static const ListCatalog catalog(5, 0, 100000);
    return catalog;
}

// View of the Short Narrow Report of 100 000 books in the report window: the
// run with its status screen (its OK clicked as soon as it shows), then the
// preview up to its first page painted. Counters: the run alone, and the
// preview from OK to its first page.
void BM_ViewShortNarrow(benchmark::State &state)
{
    std::unique_ptr<TMain> main = largeCatalog().start();
    TMyReport *report = main->reportWindow();
    report->show();
    report->findChild<QListWidget *>(QStringLiteral("ReportBox"))->setCurrentRow(0);
    QElapsedTimer clock;
    double run = 0;
    double preview = 0;
    // Clicks OK on the finished status screen and closes the preview after its
    // first paint, taking the times.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget *window = QApplication::activeModalWidget();
        if (!window)
            return;
        if (window->objectName() == QLatin1String("ReportForm")) {
            auto *ok = window->findChild<QPushButton *>(QStringLiteral("BitBtn1"));
            if (ok->text() == QLatin1String("OK") && run == 0) {
                run = double(clock.nsecsElapsed()) / 1e9;
                ok->click();
            }
        }
    });
    struct FirstPaint : QObject
    {
        std::function<void()> painted;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && watched->parent() &&
                watched->parent()->objectName() == QLatin1String("MyFilePreview"))
                QTimer::singleShot(0, painted); // once the paint is done
            return false;
        }
    } firstPaint;
    firstPaint.painted = [&] {
        if (auto *window = qobject_cast<TMyPreview *>(QApplication::activeModalWidget()); window && preview == 0) {
            preview = double(clock.nsecsElapsed()) / 1e9 - run;
            window->close();
        }
    };
    qApp->installEventFilter(&firstPaint);
    watch.start(0);
    double runs = 0;
    double previews = 0;
    for (auto _ : state) {
        run = preview = 0;
        clock.start();
        report->ViewButtonClick();
        state.SetIterationTime(run + preview);
        runs += run;
        previews += preview;
    }
    qApp->removeEventFilter(&firstPaint);
    state.counters["run_s"] = benchmark::Counter(runs, benchmark::Counter::kAvgIterations);
    state.counters["preview_s"] = benchmark::Counter(previews, benchmark::Counter::kAvgIterations);
    report->reject();
    main->close();
}

// A preview of the Short Narrow Report of 100 000 books in a window of
// 1200 x 900 pixels, at the zoom factor given in tenths of a percent.
class PreviewOfNarrowReport
{
public:
    explicit PreviewOfNarrowReport(double zoom)
    {
        m_table.open(largeCatalog().books(), DbfTable::Access::Shared,
                     {CatalogTable::IndexTag, CatalogTable::sortString({2, 0, 0, 0})});
        TReportFiler filer(m_recording);
        ReportGenerator generator(BuiltInReports::all()[0], ReportGenerator::Mode::View, m_table, m_settings);
        generator.attach(filer);
        filer.execute();
        m_settings.reportWindowWidth = 1200;
        m_settings.reportWindowHeight = 900;
        m_window = std::make_unique<TMyPreview>(m_recording, QStringLiteral("Short Narrow Report"), m_settings, m_look,
                                                nullptr);
        m_window->show();
        QCoreApplication::processEvents();
        m_window->preview()->setZoomFactor(zoom);
        m_window->preview()->goToPage(m_recording.pageCount() / 2);
        QCoreApplication::processEvents();
    }
    TFilePreview &preview() const { return *m_window->preview(); }
    int pages() const { return m_recording.pageCount(); }

private:
    DbfTable m_table;
    Settings m_settings{QString()};
    WindowLook m_look{m_settings};
    ReportRecording m_recording;
    std::unique_ptr<TMyPreview> m_window;
};

// The next page, painted (and the previous one, turn about).
void BM_PreviewPageTurn(benchmark::State &state)
{
    const double zoom = double(state.range(0)) / 10;
    PreviewOfNarrowReport shown(zoom);
    TFilePreview &preview = shown.preview();
    int step = 1;
    for (auto _ : state) {
        preview.goToPage(preview.currentPage() + step);
        step = -step;
        preview.viewport()->repaint();
    }
    state.counters["pages"] = shown.pages();
}

// The page at the factor given, painted, from the next smaller step. Counter:
// the first paint at a factor near it, whose glyphs are not drawn yet.
void BM_PreviewZoom(benchmark::State &state)
{
    const double zoom = double(state.range(0)) / 10;
    PreviewOfNarrowReport shown(zoom);
    TFilePreview &preview = shown.preview();
    QElapsedTimer cold;
    cold.start();
    preview.setZoomFactor(zoom * 0.93);
    preview.viewport()->repaint();
    state.counters["cold_ms"] = double(cold.nsecsElapsed()) / 1e6;
    for (auto _ : state) {
        state.PauseTiming();
        preview.setZoomFactor(zoom);
        preview.zoomOut();
        preview.viewport()->repaint();
        state.ResumeTiming();
        preview.setZoomFactor(zoom);
        preview.viewport()->repaint();
    }
}

} // namespace

BENCHMARK(BM_ViewShortNarrow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_PreviewPageTurn)
    ->ArgName("zoom_tenths")
    ->Arg(100)
    ->Arg(333)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PreviewZoom)
    ->ArgName("zoom_tenths")
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
