#pragma once

#include <QDialog>

class QRadioButton;
class TMain;

// "Import Format": the kind of source (comma-delimited text or a dBASE table)
// and the file, after which the import window takes over. The kind chosen is
// remembered in the database's settings when the window closes; a completed
// import closes it too.
class TImportFormat : public QDialog
{
    Q_OBJECT

public:
    explicit TImportFormat(TMain &main);

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

    TMain &m_main;
    bool m_formShown = false;
    QRadioButton *m_ascii;
    QRadioButton *m_dbf;
};
