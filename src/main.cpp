#include "app/AppPaths.h"
#include "app/CommandLine.h"
#include "app/TMain.h"
#include "framework/report/ReportFont.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <clocale>
#include <cstdio>

namespace {

// With SHELFMARK_STARTUP_TIMING set, the program prints the time from its start
// to the first painted grid and ends: how the start-up is measured.
class FirstPaintTimer : public QObject
{
public:
    explicit FirstPaintTimer(const QElapsedTimer &clock) : m_clock(clock) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::printf("first grid paint after %.1f ms\n", m_clock.nsecsElapsed() / 1e6);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
    bool m_done = false;
};

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    // Questions about the program are answered before anything needs a display.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    if (const CommandLine asked = CommandLine::parse(given); asked.help || asked.version) {
        const QString answer = asked.help ? CommandLine::usage() : CommandLine::versionText() + QLatin1Char('\n');
        std::fputs(answer.toLocal8Bit().constData(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Shelfmark Books 95"));
    QApplication::setApplicationVersion(QStringLiteral(SHELFMARK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.shelfmark.Books"));
    // Qt has taken its own options (-platform, -style, ...) out by now.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (const QString unknown = CommandLine::parse(arguments).unknownOption; !unknown.isEmpty()) {
        std::fprintf(stderr, "shelfmark: unknown option %s\n%s", unknown.toLocal8Bit().constData(),
                     CommandLine::usage().toLocal8Bit().constData());
        return 2;
    }
    // File formats never go through the C library's number formatting; keep it
    // neutral all the same for anything that might.
    std::setlocale(LC_NUMERIC, "C");
    ReportFonts::installSubstitutes();

    TMain::Environment environment;
    environment.programDirectory = AppPaths::dataDir();
    environment.startDirectory = QDir::currentPath();
    environment.arguments = arguments;
    TMain main(environment);
    if (!main.startUp())
        return 1;
    FirstPaintTimer timing(clock);
    if (qEnvironmentVariableIsSet("SHELFMARK_STARTUP_TIMING"))
        main.findChild<QAbstractItemView *>(QStringLiteral("ViewerGrid"))->viewport()->installEventFilter(&timing);
    main.show();
    return app.exec();
}
