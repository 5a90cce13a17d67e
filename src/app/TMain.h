#pragma once

#include "Settings.h"
#include "framework/dbase/DbfTable.h"
#include "framework/ui/DataNavigator.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/WindowStyle.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class DataGrid;
class DataGridModel;
class MyTable;
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
class TMySearch;
class TMyLocateDialog;
struct GridColumn;

// The main window: owns the open catalog table and the program-wide settings,
// shows the books in the viewer grid and carries every command. Creating it is
// the program's start-up (see startUp), closing it writes the settings back.
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

    // Operations other windows call.
    void EnableEndSearch();
    void DisableEndSearch();
    void DoEndSearch();
    void SetViewerOptions();
    void DisplayCount();
    void DoFileSpecific();
    void SetColors();
    void BuildSortString();
    bool CheckDBaseFormat(const QString &path);
    // Closes the catalog table and opens it again with its index: shared, or
    // exclusive for work that needs the table to itself (throws DbfError when
    // another program holds it). The viewer options are applied again.
    void reopenTable(DbfTable::Access access = DbfTable::Access::Shared);
    // Writes the per-database settings of the open database.
    void writeDatabaseSettings();
    bool DBaseInUse(const QString &path);
    void RemoveMDXByte(const QString &path);

    // Test and the search window use these; the filter test of the search window
    // plugs in here (it is consulted only while the search-on state holds).
    void setSearchTest(std::function<bool(const class DbfRecord &)> test);
    bool searchOn() const { return m_searchOn; }
    bool browseMode() const { return m_browseMode; }
    int editorMode() const { return m_editorMode; }
    int layoutMode() const { return m_settings.buttonBar; }

    MyTable *table() const { return m_table; }
    TMyEdit *recordEditor() const { return m_editor; }
    TMySearch *searchWindow() const { return m_search; }
    Settings &settings() { return m_settings; }
    const QString &currentDatabase() const { return m_settings.lastDatabase; }
    const QString &programDirectory() const { return m_programDirectory; }
    const QString &settingsPath() const { return m_iniPath; }
    const QString &listBase() const { return m_listBase; }
    const QString &sortString() const { return m_sortString; }

    // The in-grid combo boxes of the nine pick-list fields, by field row.
    QComboBox *pickListCombo(int row) const;

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
    void MenuTipsClick();
    void MenuViewerClick();
    void MenuAllColorClick();
    void EditAList(int number);
    void MenuSaveDefaultsClick();
    void MenuLoadDefaultsClick();
    PickLists *pickLists() const { return m_lists.get(); }
    void openColorConfig(int target);
    void MenuAddClick();
    void MenuEditClick();
    void MenuCopyClick();
    void MenuContentsClick();
    void setLayoutMode(int mode);
    void MenuScreenSizeClick(int windowSize);
    void MenuDateFormatClick(int number);
    void MenuLeadingZerosClick();
    void MenuCurrencyClick(int style);
    void MenuNumericClick(int style);

    // What dialogs take when they are shown: the user's fonts and the window
    // scale factor.
    WindowStyle::Fonts fonts() const;
    double scaleFactor() const { return m_scale; }

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void createMenus();
    QAction *addCommand(QMenu *menu, const QString &objectName, const QString &caption, const QKeySequence &shortcut,
                        void (TMain::*slot)());
    QAction *addCommand(QMenu *menu, const QString &objectName, const QString &caption, const QKeySequence &shortcut,
                        const std::function<void()> &run);
    QToolButton *addSpeedButton(const QString &objectName, const QString &icon, const QString &hint,
                                void (TMain::*slot)());
    QPushButton *addLetteredButton(const QString &objectName, const QString &caption, void (TMain::*slot)());
    void applyLayout();
    void enterBrowseMode();

    bool chooseDatabaseAtStartup();
    static double scaleFor(int windowSize);
    bool screenFits(int windowSize) const;
    void checkScreenSize(int windowSize);
    void applyDateFormat();
    void checkFormatItems();
    void MenuFontClick(ColoredFont &font);
    void readDatabaseSettings(const QString &path);
    void navigatorClicked(DataNavigator::Button button);

    // Database lifecycle.
    enum class SwitchKind { New, Open };
    void switchDatabase(const QString &path, SwitchKind kind);
    void openAtStartup(const QString &path);
    void setPathsFor(const QString &path);
    void openWithIndex(bool rebuild);
    DialogService::FileRequest openRequest() const;
    void refreshRecentMenu();
    bool hasDbfExtension(const QString &path);
    void maintain(const QString &question, const QString &refusal, bool pack);
    void openTableShared();

    // The viewer grid.
    std::vector<GridColumn> viewerColumns() const;
    bool writeCell(int row, const GridColumn &column, const QString &value);
    bool MyTableFilter(const class DbfRecord &record) const;

    // Commands whose windows come with later work: each keeps its place and
    // caption now.
    void showRecordEditor();
    void MenuReportsClick();
    void MenuBackupClick();
    void MenuRestoreClick();


    void MenuExitClick();
    void runListOperation(const std::function<void()> &operation);

    Environment m_environment;
    QString m_programDirectory;
    Settings m_settings;
    MyTable *m_table = nullptr;
    TMyEdit *m_editor = nullptr;
    TMySearch *m_search = nullptr;
    TMyLocateDialog *m_locate = nullptr;
    std::unique_ptr<PickLists> m_lists;
    DataGrid *m_grid = nullptr;
    DataGridModel *m_model = nullptr;
    DataNavigator *m_navigator = nullptr;
    QWidget *m_client = nullptr;

    // Field row -> position in the viewer's field list, with each field's label,
    // width and visibility, as the grid's persistent field objects keep them.
    struct ViewerField
    {
        int row;
        bool visible;
        QString label;
        int width;
    };
    std::vector<ViewerField> m_viewerFields;

    QString m_mdxPath;
    QString m_iniPath;
    QString m_listBase;
    QString m_sortString;
    bool m_searchOn = false;
    std::function<bool(const class DbfRecord &)> m_searchTest;
    int m_editorMode = 1;
    bool m_browseMode = false;
    bool m_savedFieldEditing = false;
    bool m_tipsShown = false;
    double m_scale = 1.0;
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
