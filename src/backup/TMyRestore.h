#pragma once

#include "framework/ui/DialogService.h"

#include <QDialog>
#include <array>

class Catalog;
class QPushButton;
class QRadioButton;
class WindowLook;

// "Restore": copies back what the backup made: a database file, the data
// lists or the settings file of a database, or the report definitions, picked
// in an open-file dialog, and takes it into use. A restored database goes into
// the program directory and becomes the open database with a fresh index; the
// data lists of the open database, and its settings file, go beside it and are
// loaded again; the settings file of another database goes into the program
// directory. A database that replaced a file and then cannot be opened gives
// way to the file it replaced. Created for one showing.
class TMyRestore : public QDialog
{
    Q_OBJECT

public:
    TMyRestore(Catalog &catalog, const WindowLook &look, QWidget *parent);

signals:
    // SHMKLIB.URP was replaced: the report list is to be read again.
    void reportDefinitionsRestored();

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum class Kind { Database, Lists, Settings, ReportDefinitions };

    // The open-file dialog in which the file of a kind is picked.
    static DialogService::FileRequest openRequest(Kind kind);
    void FormShow();
    void SetColors();
    void StartButtonClick();
    void HelpButtonClick();

    void restoreDatabase(const QString &chosen);
    bool takeIntoUse(const QString &path, bool ownFile);
    void restoreLists(const QString &chosen);
    void restoreSettings(const QString &chosen);
    void restoreReportDefinitions(const QString &chosen);
    void missing(const QString &fileName);
    // Copies under the hour-glass; a failure is reported.
    bool copied(const QString &source, const QString &destination);
    void completed(const QString &notice);

    Catalog &m_catalog;
    const WindowLook &m_look;
    bool m_formShown = false;
    std::array<QRadioButton *, 4> m_kinds{}; // by Kind
    QPushButton *m_cancelButton;
};
