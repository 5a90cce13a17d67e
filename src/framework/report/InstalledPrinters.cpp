#include "InstalledPrinters.h"

#include <QLocale>
#include <QPrinterInfo>

namespace InstalledPrinters {

namespace {

std::optional<QList<Printer>> &testList()
{
    static std::optional<QList<Printer>> printers;
    return printers;
}

} // namespace

QList<Printer> list()
{
    if (testList())
        return *testList();
    QList<Printer> printers;
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    const QList<QPrinterInfo> infos = QPrinterInfo::availablePrinters();
    for (const QPrinterInfo &info : infos)
        printers.append({info.printerName(), info.defaultPageSize(), info.printerName() == defaultName});
    return printers;
}

Printer at(int index)
{
    const QList<Printer> printers = list();
    if (index >= 0 && index < printers.size())
        return printers[index];
    for (const Printer &printer : printers) {
        if (printer.isDefault)
            return printer;
    }
    return {};
}

QPageSize localPaper()
{
    return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                        : QPageSize::A4);
}

QPageSize paperOf(int index)
{
    const QPageSize paper = at(index).paper;
    return paper.isValid() ? paper : localPaper();
}

void setForTesting(std::optional<QList<Printer>> printers)
{
    testList() = std::move(printers);
}

} // namespace InstalledPrinters
