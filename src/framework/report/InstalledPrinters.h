#pragma once

#include <QList>
#include <QPageSize>
#include <QString>
#include <optional>

// The printers the system has installed, in the order the printer windows list
// them: Qt's printer list, unless a test has given its own.
namespace InstalledPrinters {

struct Printer
{
    QString name;
    QPageSize paper; // its default paper; invalid when it does not say
    bool isDefault = false;
};

QList<Printer> list();

// The printer at `index` in the list; the default printer for -1 or an index
// beyond the list. An empty name when there is none.
Printer at(int index);

// Letter where the system measures in inches, A4 elsewhere.
QPageSize localPaper();
// The paper reports are laid out on for the printer at `index`: the printer's
// own, or the local paper when it has none.
QPageSize paperOf(int index);

// Test seam: answer with `printers` from now on; std::nullopt returns to the
// system's list.
void setForTesting(std::optional<QList<Printer>> printers);

} // namespace InstalledPrinters
