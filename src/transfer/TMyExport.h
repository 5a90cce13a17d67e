#pragma once

#include "ExportRun.h"

#include <QDialog>
#include <QElapsedTimer>

class QCheckBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;
class Settings;
class Catalog;
class WindowLook;

// "Export": which fields go out and in which order (remembered per database),
// the entire database or the search result, text or dBASE, and the run with
// its progress bar. The run keeps the window responsive and can be cancelled;
// a cancelled run leaves no file behind and an existing file as it was.
class TMyExport : public QDialog
{
    Q_OBJECT

public:
    TMyExport(Catalog &catalog, const WindowLook &look, QWidget *parent);

    // Paints the window from the configure colour set.
    void SetColors();

    // Every way out stores the choices; while an export runs it cancels the run instead.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void fillGrid(const std::array<int, CatalogFields::Count> &rows,
                  const std::array<bool, CatalogFields::Count> &exported);
    void ExportGridDblClick(int row, int column);
    void moveRow(int step);
    void DefaultsButtonClick();
    void FileTypeClick(bool text);
    void UpdateConfigs();
    std::vector<ExportField> CalcIndexOrder();
    void StartExportButtonClick();
    void DoAscii(const std::vector<ExportField> &fields);
    void DoDBase(const std::vector<ExportField> &fields);
    void runExport(const std::vector<ExportField> &fields, const QString &path, bool text);
    void setRunning(bool running);
    bool showProgress(int written);

    Catalog &m_catalog;
    const WindowLook &m_look;
    Settings &m_settings;
    bool m_formShown = false;
    bool m_running = false;
    bool m_cancelRequested = false;
    QElapsedTimer m_sincePaint;

    QWidget *m_choices;
    QTableWidget *m_grid;
    QRadioButton *m_exportEntire;
    QRadioButton *m_exportSearch;
    QRadioButton *m_asciiFile;
    QRadioButton *m_dbaseFile;
    QCheckBox *m_firstRow;
    QProgressBar *m_gauge;
    QPushButton *m_cancelButton;
};
