#pragma once

class QPrinter;
class QWidget;
class Settings;

// Where a report's pages are printed: the printer chosen in Printer Selection
// (the system's default printer, or the one at Printer Index), or, when the
// system has no printer installed, a PDF file the user names.
namespace PrintDestination {

// Sets `printer` up; false when the user named no file.
bool prepare(QPrinter &printer, const Settings &settings, QWidget *parent);
// Points `printer` at a PDF file the user names; false when none was named.
// `noPrinter` says in the dialog's title why a file is asked for.
bool toPdf(QPrinter &printer, QWidget *parent, bool noPrinter = false);

} // namespace PrintDestination
