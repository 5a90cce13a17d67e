#include "FuzzTargets.h"

#include "framework/report/ReportFont.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Reports measure text in their fonts: a GUI application without a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    ReportFonts::installSubstitutes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzTargets::readReportDefinitions(data, size);
    return 0;
}
