#pragma once

#include <QDialog>
#include <array>

class Catalog;
class DirectoryListBox;
class DriveComboBox;
class QPushButton;
class QRadioButton;
class WindowLook;

// "Backup": copies the open database's table, its data lists or its settings
// file, or the report definitions, into a folder of any mounted volume. One
// kind per run; the window stays open for further runs. The database is
// copied while this program holds it exclusively, so that no other program
// changes it during the copy; a search in effect is suspended around it.
// Created for one showing.
class TMyBackup : public QDialog
{
    Q_OBJECT

public:
    TMyBackup(Catalog &catalog, const WindowLook &look, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SetColors();
    void DriveBoxChange(const QString &root);
    void StartButtonClick();
    void HelpButtonClick();

    void backUpDatabase(const QString &directory);
    void backUpLists(const QString &directory);
    void backUpSettings(const QString &directory);
    void backUpReportDefinitions(const QString &directory);
    // Copies under the hour-glass; a failure is reported.
    bool copied(const QString &source, const QString &destination);
    void completed();

    Catalog &m_catalog;
    const WindowLook &m_look;
    bool m_formShown = false;
    // BackDBF, BackLST, BackINI, BackURP
    std::array<QRadioButton *, 4> m_kinds{};
    DriveComboBox *m_driveBox;
    DirectoryListBox *m_dirBox;
    QPushButton *m_cancelButton;
};
