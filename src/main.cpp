#include "app/AppPaths.h"
#include "app/TMain.h"

#include <QApplication>
#include <QDir>
#include <clocale>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Shelfmark Books 95"));
    QApplication::setApplicationVersion(QStringLiteral(SHELFMARK_VERSION));
    // File formats never go through the C library's number formatting; keep it
    // neutral all the same for anything that might.
    std::setlocale(LC_NUMERIC, "C");

    TMain::Environment environment;
    environment.programDirectory = AppPaths::dataDir();
    environment.startDirectory = QDir::currentPath();
    environment.arguments = QApplication::arguments().mid(1);
    TMain main(environment);
    if (!main.startUp())
        return 1;
    main.show();
    return app.exec();
}
