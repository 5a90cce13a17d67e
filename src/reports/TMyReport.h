#pragma once

#include "ReportDefinition.h"
#include "ReportGenerator.h"
#include "framework/ui/WindowStyle.h"

#include <QDialog>

class Catalog;
class QLabel;
class QListWidget;
class QRadioButton;
class TPrintSelect;
class WindowLook;

// "Reports": the report list, what to print (the entire database or the books
// of the search in effect), and View, Print and Print To File; it opens the
// report designer and the printer selection. Created once at start-up and
// shown many times. It holds the current report definition, the one copy of a
// report that the report windows share: loaded for a run or for Modify Report,
// filled with the new report's defaults for New Report.
class TMyReport : public QDialog
{
    Q_OBJECT

public:
    TMyReport(Catalog &catalog, const WindowLook &look, QWidget *parent);

    const ReportDefinition &currentReport() const { return m_current; }
    TPrintSelect *printSelect() const { return m_printSelect; }

    void ViewButtonClick();
    void PrintButtonClick();
    void FileButtonClick();
    void ModifyButtonClick();
    void NewButtonClick();
    void HelpButtonClick();
    void MenuPrinterSetupClick();
    // Reads the report list from the definitions file again and selects the
    // report at `select` (none when it is beyond the list).
    void LoadReportBox(int select);

    // Closing remembers the selected report.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createMenu();
    void FormShow();
    void SetColors();
    void selectReport(int select);
    int selectedReport() const;
    // False, after saying so, when no report is selected.
    bool reportSelected();
    void run(ReportGenerator::Mode mode);
    void runReport(ReportGenerator::Mode mode, const QString &textPath);
    void design(bool newMode, int index);

    Catalog &m_catalog;
    const WindowLook &m_look;
    ReportDefinition m_current;
    TPrintSelect *m_printSelect;
    WindowStyle::SavedDimensions m_dimensions;
    QLabel *m_sortOrderLabel;
    QRadioButton *m_exportEntire;
    QRadioButton *m_exportSearch;
    QListWidget *m_reportBox;
};
