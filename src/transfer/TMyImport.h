#pragma once

#include "DelimitedReader.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;
class Catalog;
class WindowLook;

// The import window: the source's fields matched to the book fields in a grid
// (moved with Up and Down, switched on and off in the USE column), then the
// import into the main window's catalog table with a running count. A run can
// be cancelled; the books posted by then stay.
class TMyImport : public QDialog
{
    Q_OBJECT

public:
    enum class Format { Ascii = 1, DBase = 2 };

    TMyImport(Catalog &catalog, const WindowLook &look, Format format, const QString &path, QWidget *parent = nullptr);

    // The import fields of a text source: read from its first line.
    DelimitedReader::Header::Error GetFirstLine();
    // The import fields of a dBASE source: its field names. Throws DbfError
    // when the table cannot be opened.
    void GetDBFInfo();

    void SetColors();
    // While a run is going, Escape and the close box cancel it instead.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void fillGrid();
    void moveRow(int step);
    void UpButtonClick();
    void DownButtonClick();
    void ImportGridDblClick(int row, int column);
    void SkipFirstClick(bool checked);
    void StartButtonClick();
    void CancelButtonClick();
    void HelpButtonClick();
    void setRunning(bool running);
    bool showCount(int imported);
    QStringList gridColumn(int column) const;

    Catalog &m_catalog;
    const WindowLook &m_look;
    Format m_format;
    QString m_path;
    QStringList m_names; // the import fields, in source order
    bool m_formShown = false;
    bool m_running = false;
    bool m_cancelRequested = false;

    QTableWidget *m_grid;
    QCheckBox *m_skipFirst;
    QLabel *m_count;
    QList<QWidget *> m_idleControls; // disabled while a run is going
    QPushButton *m_cancelButton;
};
