#pragma once

#include "Catalog.h"
#include "ViewerColumns.h"
#include "WindowLook.h"
#include "framework/ui/DataNavigator.h"
#include "framework/ui/DialogService.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <span>

class DataGrid;
class DataGridModel;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QWidget;
class PickLists;
class TMyEdit;
class TMyReport;
class TMySearch;
class TMyLocateDialog;

// The main window: shows the open catalog's books in the viewer grid and carries
// every command, each of which opens a window or calls the catalog. Creating it
// is the program's start-up (see startUp), closing it writes the settings back.
class TMain : public QMainWindow
{
    Q_OBJECT

public:
    // Where the program keeps its own files (MASTER.DBF, default lists, report
    // definitions) and where it was started from.
    struct Environment
    {
        QString programDirectory;
        QString startDirectory;
        QStringList arguments; // after the program name
    };

    explicit TMain(const Environment &environment, QWidget *parent = nullptr);
    ~TMain() override;

    // The start-up steps; false when the program cannot go on (no database
    // could be created).
    bool startUp();

    Catalog &catalog() { return m_catalog; }
    const WindowLook &look() const { return m_look; }
    TMyEdit *recordEditor() const { return m_editor; }
    TMySearch *searchWindow() const { return m_search; }
    TMyReport *reportWindow() const { return m_report; }
    PickLists *pickLists() const { return m_lists.get(); }
    int editorMode() const { return m_editorMode; }
    int layoutMode() const { return m_catalog.settings().buttonBar; }
    // The in-grid combo boxes of the nine pick-list fields, by field row.
    QComboBox *pickListCombo(int row) const;

    // What the main window shows of the catalog.
    void SetViewerOptions();
    void DisplayCount();
    void DoFileSpecific();
    void SetColors();
    // Shows the refusal and answers false when the file is not a catalog table.
    bool CheckDBaseFormat(const QString &path);

    // Commands (menu items, lettered buttons and speed buttons share them).
    void MenuNewClick();
    void MenuOpenClick();
    void MenuLastFileClick(int slot);
    void MenuUpdateDatabaseClick();
    void MenuPackClick();
    void MenuRebuildClick();
    void MenuDeleteClick();
    void MenuAboutClick();
    void MenuFindClick();
    void MenuFindNextClick();
    void MenuSortOrderClick();
    void MenuImportClick();
    void MenuExportClick();
    void MenuSearchClick();
    void MenuSearchReplaceClick();
    void MenuReportsClick();
    void MenuTipsClick();
    void MenuViewerClick();
    void MenuAllColorClick();
    void EditAList(int number);
    void MenuSaveDefaultsClick();
    void MenuLoadDefaultsClick();
    void openColorConfig(int target);
    void MenuAddClick();
    void MenuEditClick();
    void MenuCopyClick();
    void MenuContentsClick();
    void DoEndSearch();
    void setLayoutMode(int mode);
    void MenuScreenSizeClick(int windowSize);
    void MenuDateFormatClick(int number);
    void MenuLeadingZerosClick();
    void MenuCurrencyClick(int style);
    void MenuNumericClick(int style);
    void MenuBackupClick();
    void MenuRestoreClick();
    void MenuExitClick();
    void DoBackup();
    void DoRestore();

    // A menu item as the tables that build the menus give it; one without a
    // name is a separator.
    struct Command
    {
        const char *name;
        const char *caption;
        const char *shortcut;
        void (TMain::*slot)();
    };

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    QAction *addCommand(QMenu *menu, const QString &objectName, const QString &caption, const QKeySequence &shortcut,
                        const std::function<void()> &run);
    QMenu *addMenu(const QString &objectName, const QString &caption, std::span<const Command> commands,
                   QMenu *parent = nullptr);
    void applyLayout();
    void enterBrowseMode();
    void showSearchState(bool on);
    void showDatabase();
    void fail(const QString &message);

    bool chooseDatabaseAtStartup();
    bool openLastDatabase(const QString &path);
    void convertEarlierDatabases();
    bool openAtStartup(const QString &path);
    void checkScreenSize(int windowSize);
    void applyDateFormat();
    void checkFormatItems();
    void MenuFontClick(ColoredFont &font);
    void navigatorClicked(DataNavigator::Button button);
    void gridRowChanged(int row, int previous);
    // Stores the new row of the grid when something was typed into it, drops
    // it otherwise; false (the row kept, the user told why) when it was refused.
    bool storeDraft();

    // Database lifecycle.
    void switchDatabase(const QString &path, Catalog::SwitchKind kind);
    // Open Database once a file is chosen.
    void openDatabase(const QString &path);
    DialogService::FileRequest openRequest() const;
    void refreshRecentMenu();
    bool hasDbfExtension(const QString &path);
    void maintain(const QString &question, const QString &refusal, bool pack);

    bool writeCell(int row, const GridColumn &column, const QString &value);

    void showRecordEditor();
    // Runs an operation whose failure is shown and ends only that operation.
    void reportFailure(const std::function<void()> &operation);

    Environment m_environment;
    Catalog m_catalog;
    Settings &m_settings; // the catalog's
    WindowLook m_look;
    ViewerColumns m_columns;
    TMyEdit *m_editor = nullptr;
    TMyReport *m_report = nullptr;
    TMySearch *m_search = nullptr;
    TMyLocateDialog *m_locate = nullptr;
    std::unique_ptr<PickLists> m_lists;
    DataGrid *m_grid = nullptr;
    DataGridModel *m_model = nullptr;
    DataNavigator *m_navigator = nullptr;
    QWidget *m_client = nullptr;

    int m_editorMode = 1;
    bool m_tipsShown = false;
    QSize m_screenSize{640, 480};

    QLabel *m_countLabel = nullptr;
    QLabel *m_count2Label = nullptr;
    QLabel *m_searchOnLabel = nullptr;
    QLabel *m_viewerLabel = nullptr;
    QLabel *m_navigatorLabel = nullptr;
    QFrame *m_viewerBevel = nullptr;
    QWidget *m_speedPanel = nullptr;
    std::array<QFrame *, 4> m_bevels{};
    QList<QPushButton *> m_letteredButtons;
    std::array<QComboBox *, 9> m_combos{};
    std::array<QAction *, 5> m_lastFileActions{};
    QAction *m_exitSeparator = nullptr;
};
