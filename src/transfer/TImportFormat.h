#pragma once

#include <QDialog>

class QRadioButton;
class Catalog;
class WindowLook;

// "Import Format": the kind of source (comma-delimited text or a dBASE table)
// and the file, after which the import window takes over. The kind chosen is
// remembered in the database's settings when the window closes; a completed
// import closes it too.
class TImportFormat : public QDialog
{
    Q_OBJECT

public:
    TImportFormat(Catalog &catalog, const WindowLook &look, QWidget *parent);

    void SetColors();
    // Every way out passes FormClose.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void FileButtonClick();
    void DoAscii();
    void DoDBF();
    void CancelButtonClick();

    Catalog &m_catalog;
    const WindowLook &m_look;
    bool m_formShown = false;
    QRadioButton *m_ascii;
    QRadioButton *m_dbf;
};
