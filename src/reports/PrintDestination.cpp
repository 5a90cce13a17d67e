#include "PrintDestination.h"

#include "app/Settings.h"
#include "framework/report/InstalledPrinters.h"
#include "framework/ui/DialogService.h"

#include <QDir>
#include <QPrinter>

namespace PrintDestination {

bool prepare(QPrinter &printer, const Settings &settings, QWidget *parent)
{
    if (InstalledPrinters::list().isEmpty())
        return toPdf(printer, parent, true);
    const QString name = InstalledPrinters::at(settings.defaultPrinter ? -1 : settings.printerIndex).name;
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (!name.isEmpty())
        printer.setPrinterName(name);
    return true;
}

bool toPdf(QPrinter &printer, QWidget *parent, bool noPrinter)
{
    DialogService::FileRequest request;
    request.caption = noPrinter ? QStringLiteral("No Printer Installed: Save the Report As a PDF File")
                                : QStringLiteral("Save the Report As a PDF File");
    request.directory = QDir::homePath();
    request.filter = QStringLiteral("PDF Files (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    const QString path = DialogService::saveFile(parent, request);
    if (path.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

} // namespace PrintDestination
