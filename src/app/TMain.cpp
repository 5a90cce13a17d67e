#include "TMain.h"

#include "AppPaths.h"
#include "CommandLine.h"
#include "DateFormat.h"
#include "MainLayout.h"
#include "NumberFormat.h"
#include "TAboutBox.h"
#include "TTipOfDay.h"
#include "backup/TMyBackup.h"
#include "backup/TMyRestore.h"
#include "config/ColorPresets.h"
#include "config/TColorConfig.h"
#include "config/TViewConfig.h"
#include "edit/PickLists.h"
#include "edit/TMyEdit.h"
#include "edit/TMyEditBox.h"
#include "framework/Error.h"
#include "framework/ReplacementLog.h"
#include "framework/WholeFile.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WinColor.h"
#include "framework/ui/WindowStyle.h"
#include "reports/ReportDefinitionsFile.h"
#include "reports/TMyReport.h"
#include "search/TMyLocateDialog.h"
#include "search/TMySearch.h"
#include "search/TMySortOrder.h"
#include "search/TSearchAndReplace.h"
#include "storage/CatalogTable.h"
#include "storage/EarlierDatabase.h"
#include "transfer/TImportFormat.h"
#include "transfer/TMyExport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

const QString Caption = QStringLiteral("Shelfmark Books 97");

} // namespace

TMain::TMain(const Environment &environment, QWidget *parent)
    : QMainWindow(parent), m_environment(environment),
      m_catalog(environment.programDirectory, environment.startDirectory), m_settings(m_catalog.settings()),
      m_look(m_settings)
{
    setObjectName(QStringLiteral("Main"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    HelpService::installHelpKey();
    createControls();
    createMenus();
    m_client->setMinimumSize(MainLayout::Minimum);
    MyTable &table = m_catalog.table();
    connect(&table, &MyTable::reset, this, [this] {
        m_model->resetRows();
        m_grid->showCurrentRow(m_catalog.table().row());
    });
    connect(&table, &MyTable::currentChanged, m_grid, &DataGrid::showCurrentRow);
    connect(m_grid, &DataGrid::currentRowChanged, this, &TMain::gridRowChanged);
    connect(&m_catalog, &Catalog::countChanged, this, &TMain::DisplayCount);
    connect(&m_catalog, &Catalog::reopened, this, &TMain::SetViewerOptions);
    connect(&m_catalog, &Catalog::searchStateChanged, this, &TMain::showSearchState);
    connect(&m_catalog, &Catalog::databaseChanged, this, &TMain::showDatabase);
    connect(&m_catalog, &Catalog::failed, this, &TMain::fail);
}

TMain::~TMain() = default;

// ---------------------------------------------------------------------------
// Display options

void TMain::MenuScreenSizeClick(int windowSize)
{
    const int shown = WindowLook::windowSizeFor(m_look.scaleFactor());
    if (windowSize == shown) {
        checkScreenSize(shown);
        return;
    }
    if (!WindowLook::screenFits(windowSize, m_screenSize)) {
        static const QMap<int, QString> names = {{800, QStringLiteral("800 x 600")},
                                                 {1024, QStringLiteral("1024 x 768")},
                                                 {1280, QStringLiteral("1280 x 1024")}};
        MessageService::error(
            this,
            QStringLiteral("Your current screen resolution does not support %1 pixels.").arg(names.value(windowSize)));
        checkScreenSize(shown);
        return;
    }
    m_settings.windowSize = windowSize;
    m_look.setScaleFactor(WindowLook::scaleFor(windowSize));
    checkScreenSize(windowSize);
}

void TMain::applyDateFormat()
{
    if (m_settings.dateFormat >= 1 && m_settings.dateFormat <= DateFormat::Count)
        DateFormat::setCurrent(DateFormat(m_settings.dateFormat, m_settings.dateLeadingZeros));
}

void TMain::MenuDateFormatClick(int number)
{
    if (number != m_settings.dateFormat) {
        m_settings.dateFormat = number;
        applyDateFormat();
        m_model->repaintValues(); // the grid shows its dates in the new format at once
    }
    checkFormatItems();
}

void TMain::MenuLeadingZerosClick()
{
    m_settings.dateLeadingZeros = !m_settings.dateLeadingZeros;
    applyDateFormat();
    m_model->repaintValues();
    checkFormatItems();
}

void TMain::MenuCurrencyClick(int style)
{
    m_settings.currencyFormat = style;
    const NumberFormat &now = NumberFormat::current();
    NumberFormat::setCurrent(NumberFormat(now.numeric(), NumberFormat::Style(style), now.system()));
    checkFormatItems();
    m_model->repaintValues();
}

void TMain::MenuNumericClick(int style)
{
    m_settings.numericFormat = style;
    const NumberFormat &now = NumberFormat::current();
    NumberFormat::setCurrent(NumberFormat(NumberFormat::Style(style), now.currency(), now.system()));
    checkFormatItems();
    m_model->repaintValues();
}

void TMain::MenuFontClick(ColoredFont &font)
{
    if (const auto chosen = DialogService::chooseFont(this, font.font)) {
        font.font = *chosen;
        WindowStyle::applyFonts(this, m_look.fonts());
    }
}

// ---------------------------------------------------------------------------
// Start-up, showing and closing

bool TMain::startUp()
{
    showSearchState(false);
    setWindowTitle(Caption);
    m_viewerLabel->setText(QStringLiteral("Book Viewer"));
    const QString &programDirectory = m_catalog.programDirectory();
    QDir().mkpath(programDirectory);
    // What killed copies of the program left half-written goes first: beside
    // the program's own files, and wherever their logs say they were writing.
    ReplacementLog::start(programDirectory);
    WholeFile::removeLeftovers(AppPaths::globalSettingsFile());
    WholeFile::removeLeftovers(ReportDefinitionsFile(programDirectory).path());
    for (const PickListInfo &list : PickLists::table())
        WholeFile::removeLeftovers(QDir(programDirectory).filePath(QString::fromLatin1(list.defaultFile)));
    reportFailure([&] { PickLists::installDefaults(programDirectory); });
    ReportDefinitionsFile(programDirectory).ensureFile();

    m_catalog.readGlobalSettings();
    // A stored place off the screen, or a size of nothing, still gives a
    // window the user can see and reach.
    const QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 640, 480);
    setGeometry(WindowStyle::placedWithin(QRect(m_settings.mainWindowLeft, m_settings.mainWindowTop,
                                                m_settings.mainWindowWidth, m_settings.mainWindowHeight),
                                          minimumSizeHint(), available));
    applyDateFormat();
    checkFormatItems();

    // The last database, else MASTER.DBF of the program directory, made when missing.
    QString chosen = m_settings.lastDatabase;
    if (chosen.isEmpty() || !QFileInfo::exists(chosen)) {
        chosen = QDir(programDirectory).filePath(QStringLiteral("MASTER.DBF"));
        if (!QFileInfo::exists(chosen)) {
            try {
                if (!CatalogTable::create(chosen))
                    return false;
            } catch (const Error &e) {
                MessageService::error(this, e.message());
                return false;
            }
        }
    }
    if (!openLastDatabase(chosen) && !chooseDatabaseAtStartup())
        return false;

    applyLayout();
    // The screen's size, read once; the stored window size is used only when
    // the screen is that large, and kept as it is otherwise.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        m_screenSize = screen->size();
    const int stored = m_settings.windowSize;
    const bool fits = WindowLook::screenFits(stored, m_screenSize);
    m_look.setScaleFactor(fits ? WindowLook::scaleFor(stored) : 1.0);
    checkScreenSize(fits ? stored : 640);
    NumberFormat::setCurrent(NumberFormat(NumberFormat::Style(std::clamp(m_settings.numericFormat, 1, 2)),
                                          NumberFormat::Style(std::clamp(m_settings.currencyFormat, 1, 2)),
                                          NumberFormat::Symbols::fromSystemLocale()));
    refreshRecentMenu();
    convertEarlierDatabases();

    const CommandLine commandLine = CommandLine::parse(m_environment.arguments);
    if (commandLine.browse)
        enterBrowseMode();
    // The locate component keeps its field, value and options for the run.
    m_locate = new TMyLocateDialog(m_catalog, m_look, this);
    m_locate->setCaption(QStringLiteral("Locate Field Value"));
    m_locate->setMatchType(TMyLocateDialog::mtPartialMatchStart);
    m_locate->setCaseSensitive(false);
    m_locate->setSortFields(TMyLocateDialog::fsSortByFieldName);
    m_locate->setDefaultButton(TMyLocateDialog::dbFindNext);
    m_locate->setFieldSelection(TMyLocateDialog::fsAllFields);
    m_locate->setShowMessages(true);
    m_editor = new TMyEdit(m_catalog, m_look, this);
    PickLists::Combos mainCombos{};
    for (int number = 1; number <= PickLists::Count; ++number)
        mainCombos[std::size_t(number - 1)] = pickListCombo(PickLists::info(number).fieldRow);
    m_lists = std::make_unique<PickLists>(m_editor->listCombos(), mainCombos, programDirectory);
    m_lists->setBase(m_catalog.listBase());
    m_catalog.setPickLists(m_lists.get());
    reportFailure([this] { m_lists->LoadAllList(); });
    connect(m_editor, &TMyEdit::recordStoring, this, [this] { m_lists->addTypedValues(); });
    connect(m_editor, &TMyEdit::closed, this, [this] { reportFailure([this] { m_lists->SaveAllLists(); }); });
    m_report = new TMyReport(m_catalog, m_look, this);
    m_search = new TMySearch(m_catalog, m_look, this);
    // A catalog named on the command line (a file manager opening a .DBF with
    // the program) is opened as Open Database would, unless it is open already.
    if (!commandLine.catalog.isEmpty()) {
        const QString named = QDir(m_environment.startDirectory).absoluteFilePath(commandLine.catalog);
        if (QFileInfo(named) != QFileInfo(m_catalog.path()))
            openDatabase(named);
    }
    return true;
}

bool TMain::openLastDatabase(const QString &path)
{
    try {
        Catalog::CheckDBaseFormat(path);
    } catch (const DbfInUseError &e) {
        // Held by another copy: it is a good file, only not free now.
        MessageService::error(this, e.message());
        return false;
    } catch (const Error &e) {
        MessageService::error(this, e.message());
        MessageService::error(this, QStringLiteral("The last database used as recorded in the INI file is not a valid "
                                                   "Shelfmark Books 97 file.  You will need to choose a new file."));
        return false;
    }
    return openAtStartup(path);
}

bool TMain::openAtStartup(const QString &path)
{
    try {
        m_catalog.openAtStartup(path);
    } catch (const Error &e) {
        MessageService::error(this, e.message());
        return false;
    }
    setWindowTitle(Caption + QStringLiteral(" (") + m_catalog.tableName() + QLatin1Char(')'));
    return true;
}

bool TMain::chooseDatabaseAtStartup()
{
    // Open Database until a catalog table is open. Cancelling the dialog falls
    // back to MASTER.DBF rather than asking for ever.
    for (;;) {
        const QString path = DialogService::openFile(this, openRequest());
        if (path.isEmpty()) {
            const QString master = QDir(m_catalog.programDirectory()).filePath(QStringLiteral("MASTER.DBF"));
            try {
                if (!QFileInfo::exists(master))
                    CatalogTable::create(master);
            } catch (const Error &e) {
                MessageService::error(this, e.message());
                return false;
            }
            return CheckDBaseFormat(master) && openAtStartup(master);
        }
        if (hasDbfExtension(path) && CheckDBaseFormat(path) && openAtStartup(path))
            return true;
    }
}

void TMain::convertEarlierDatabases()
{
    for (const EarlierDatabase &earlier : EarlierDatabase::find(m_catalog.programDirectory())) {
        if (!MessageService::ask(this, QStringLiteral("Convert"), earlier.question()))
            continue;
        try {
            earlier.convertInto(m_catalog.table().engine());
        } catch (const Error &e) {
            MessageService::error(this, e.message());
        }
        m_catalog.table().refresh();
    }
}

void TMain::enterBrowseMode()
{
    for (const char *name : {"MenuAdd", "MenuCopy", "MenuDelete", "MenuBackup", "MenuRestore", "MenuViewer",
                             "MenuImport", "MenuSearchReplace"}) {
        if (auto *a = findChild<QAction *>(QString::fromLatin1(name)))
            a->setEnabled(false);
    }
    findChild<QMenu *>(QStringLiteral("MenuMaintain"))->setEnabled(false);
    for (const char *name : {"AddSpeed", "CopySpeed", "ImportSpeed", "DeleteSpeed", "ViewerSpeed"})
        findChild<QToolButton *>(QString::fromLatin1(name))->setEnabled(false);
    m_navigator->setMovementOnly(true);
    m_catalog.enterBrowseMode();
    applyLayout();
    SetViewerOptions();
}

void TMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    DoFileSpecific();
}

bool TMain::event(QEvent *event)
{
    // The tip of the day comes when the window is first activated.
    if (event->type() == QEvent::WindowActivate && !m_tipsShown) {
        m_tipsShown = true;
        if (m_settings.showTips)
            QTimer::singleShot(0, this, &TMain::MenuTipsClick);
    }
    return QMainWindow::event(event);
}

bool TMain::eventFilter(QObject *watched, QEvent *event)
{
    // Esc on the new row (its cell editor closed) drops it.
    if (watched == m_grid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && m_model->isDraftRow(m_grid->currentIndex().row())) {
        m_model->dropDraft();
        m_grid->showCurrentRow(m_catalog.table().row());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMain::closeEvent(QCloseEvent *event)
{
    m_grid->finishEditing(true);
    storeDraft();
    m_catalog.DisableEndSearch();
    m_settings.mainWindowLeft = geometry().x();
    m_settings.mainWindowTop = geometry().y();
    m_settings.mainWindowWidth = geometry().width();
    m_settings.mainWindowHeight = geometry().height();
    // A settings file that cannot be written is reported; the program ends all the same.
    reportFailure([this] { m_catalog.writeGlobalSettings(); });
    reportFailure([this] { m_catalog.writeDatabaseSettings(); });
    m_catalog.closeTable();
    event->accept();
    // Windows of their own (the help window) go with the program.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window != this && window->isVisible())
            window->close();
    }
}

void TMain::fail(const QString &message)
{
    MessageService::error(this, message);
}

// ---------------------------------------------------------------------------
// What the main window shows of the catalog

void TMain::showSearchState(bool on)
{
    findChild<QPushButton *>(QStringLiteral("EndSearchButton"))->setEnabled(on && m_settings.buttonBar == 2);
    findChild<QAction *>(QStringLiteral("MenuEndSearch"))->setEnabled(on);
    findChild<QToolButton *>(QStringLiteral("EndSearchSpeed"))->setEnabled(on);
    m_searchOnLabel->setVisible(on);
}

void TMain::DoEndSearch()
{
    m_catalog.DoEndSearch();
}

void TMain::showDatabase()
{
    setWindowTitle(Caption + QStringLiteral(" (") + m_catalog.tableName() + QLatin1Char(')'));
    DoFileSpecific();
    refreshRecentMenu();
}

void TMain::SetViewerOptions()
{
    DataGrid::Options options;
    options.titles = m_settings.showGridTitles;
    options.rowLines = m_settings.rowLines;
    options.columnLines = m_settings.columnLines;
    options.rowIndicator = m_settings.rowIndicator;
    options.inPlaceEditing = m_settings.fieldEditing;
    options.font = m_settings.gridFont.font;
    options.textColor = WinColor::toQColor(m_settings.gridFont.color);
    options.titleFont = m_settings.gridTitleFont.font;
    options.titleTextColor = WinColor::toQColor(m_settings.gridTitleFont.color);
    options.cellColor = WinColor::toQColor(m_settings.cellColor);
    options.titleColor = WinColor::toQColor(m_settings.gridTitleColor);
    options.titleAlignment = m_settings.gridTitleAlignment == 1   ? Qt::AlignLeft
                             : m_settings.gridTitleAlignment == 3 ? Qt::AlignRight
                                                                  : Qt::AlignHCenter;
    for (QComboBox *combo : m_combos)
        combo->setFont(options.font);
    m_columns.apply(m_settings);
    m_grid->applyOptions(options);
    m_model->setColumns(m_columns.columns(m_catalog.table(), [this](int row) { return pickListCombo(row); }));
    m_grid->applyColumnWidths();
    m_grid->showCurrentRow(m_catalog.table().row());
}

void TMain::DisplayCount()
{
    const MyTable &table = m_catalog.table();
    m_countLabel->setText(QString::number(table.isOpen() ? table.recordCount() : 0));
}

void TMain::DoFileSpecific()
{
    WindowStyle::applyFonts(this, m_look.fonts());
    SetViewerOptions();
    SetColors();
    DisplayCount();
}

void TMain::SetColors()
{
    const ColorSet &colors = m_settings.mainColors;
    QPalette window = m_client->palette();
    window.setColor(QPalette::Window, WinColor::toQColor(colors[MainBackground]));
    m_client->setPalette(window);
    QPalette viewer = m_viewerLabel->palette();
    viewer.setColor(QPalette::Window, WinColor::toQColor(colors[MainBackground]));
    viewer.setColor(QPalette::WindowText, WinColor::toQColor(colors[MajorTitle]));
    m_viewerLabel->setPalette(viewer);
    QPalette navigator = m_navigatorLabel->palette();
    navigator.setColor(QPalette::Window, WinColor::toQColor(colors[MainBackground]));
    navigator.setColor(QPalette::WindowText, WinColor::toQColor(colors[MinorTitle]));
    m_navigatorLabel->setPalette(navigator);
}

bool TMain::writeCell(int row, const GridColumn &column, const QString &value)
{
    MyTable &table = m_catalog.table();
    try {
        table.setRow(row);
        table.edit();
        ViewerColumns::storeCell(table.engine(), column, value);
        table.post();
        return true;
    } catch (const Error &e) {
        table.cancel();
        MessageService::error(this, e.message());
        return false;
    }
}

// ---------------------------------------------------------------------------
// Navigator

void TMain::gridRowChanged(int row, int previous)
{
    if (m_model->isDraftRow(row))
        return; // the new row is no record of the table yet
    MyTable &table = m_catalog.table();
    if (!m_model->isDraftRow(previous)) {
        table.setRow(row);
        return;
    }
    // Leaving the new row stores it when something was typed into it; the
    // row the user went to is found again by its record afterwards.
    const std::uint32_t target = table.engine().recordAtRow(row);
    if (storeDraft())
        table.goToRecord(target);
    else
        m_grid->showCurrentRow(m_model->rowCount() - 1);
}

bool TMain::storeDraft()
{
    if (!m_model->hasDraft())
        return true;
    if (!m_model->draftTouched()) {
        m_model->dropDraft();
        return true;
    }
    MyTable &table = m_catalog.table();
    try {
        table.append();
        const std::vector<GridColumn> &columns = m_model->columns();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!m_model->draft()[c].isEmpty())
                ViewerColumns::storeCell(table.engine(), columns[c], m_model->draft()[c]);
        }
        table.post();
    } catch (const Error &e) {
        // Not stored: the typed row stays for the user to mend or drop.
        if (table.state() == DbfTable::State::Insert)
            table.cancel();
        MessageService::error(this, e.message());
        return false;
    }
    m_model->dropDraft();
    return true;
}

void TMain::navigatorClicked(DataNavigator::Button button)
{
    MyTable &table = m_catalog.table();
    const bool onDraft = m_model->isDraftRow(m_grid->currentIndex().row());
    try {
        switch (button) {
        case DataNavigator::First:
        case DataNavigator::Prior:
        case DataNavigator::Next:
        case DataNavigator::Last:
            m_grid->finishEditing(true);
            if (!storeDraft())
                return;
            if (onDraft && button == DataNavigator::Prior)
                table.last(); // the row above the new one
            else if (button == DataNavigator::First)
                table.first();
            else if (button == DataNavigator::Prior)
                table.prior();
            else if (button == DataNavigator::Next)
                table.next();
            else
                table.last();
            break;
        case DataNavigator::Insert:
            // A new row to type into, stored when it is left or posted; with
            // in-place editing off the record editor adds the book.
            if (!m_settings.fieldEditing) {
                MenuAddClick();
                return;
            }
            m_grid->finishEditing(true);
            if (!storeDraft())
                return;
            m_model->startDraft();
            m_grid->showCurrentRow(m_model->rowCount() - 1);
            m_grid->edit(m_grid->currentIndex());
            break;
        case DataNavigator::Delete:
            if (onDraft) {
                m_grid->finishEditing(false);
                m_model->dropDraft();
            } else if (table.recordCount() > 0 &&
                       MessageService::ask(this, QStringLiteral("Confirm"), QStringLiteral("Delete record?"))) {
                table.deleteRecord();
            }
            break;
        case DataNavigator::Edit:
            if (m_settings.fieldEditing)
                m_grid->edit(m_grid->currentIndex());
            break;
        case DataNavigator::Post:
            m_grid->finishEditing(true);
            storeDraft();
            break;
        case DataNavigator::Cancel:
            m_grid->finishEditing(false);
            m_model->dropDraft();
            break;
        case DataNavigator::Refresh:
            table.refresh();
            break;
        case DataNavigator::ButtonCount:
            break;
        }
    } catch (const Error &e) {
        table.cancel();
        MessageService::error(this, e.message());
    }
}

// ---------------------------------------------------------------------------
// Database lifecycle

bool TMain::CheckDBaseFormat(const QString &path)
{
    try {
        Catalog::CheckDBaseFormat(path);
        return true;
    } catch (const Error &e) {
        MessageService::error(this, e.message());
        return false;
    }
}

DialogService::FileRequest TMain::openRequest() const
{
    DialogService::FileRequest request;
    request.caption = QStringLiteral("Open Database File");
    request.filter = QStringLiteral("Database Files (*.DBF)");
    request.defaultSuffix = QStringLiteral("DBF");
    request.directory = QFileInfo(m_settings.lastDatabase).absolutePath();
    request.mustExist = true;
    return request;
}

bool TMain::hasDbfExtension(const QString &path)
{
    if (path.right(4).toUpper() == QLatin1String(".DBF"))
        return true;
    MessageService::error(this, QStringLiteral("Invalid file type selected."));
    return false;
}

void TMain::switchDatabase(const QString &path, Catalog::SwitchKind kind)
{
    if (m_catalog.searchOn())
        m_catalog.DoEndSearch();
    m_catalog.switchDatabase(path, kind);
}

void TMain::refreshRecentMenu()
{
    const bool any = std::any_of(m_settings.lastFiles.begin(), m_settings.lastFiles.end(),
                                 [](const QString &p) { return !p.isEmpty(); });
    m_exitSeparator->setVisible(any);
    for (std::size_t i = 0; i < m_lastFileActions.size(); ++i) {
        const QString &p = m_settings.lastFiles[i];
        m_lastFileActions[i]->setVisible(any && !p.isEmpty());
        m_lastFileActions[i]->setText(QStringLiteral("&%1   ").arg(i + 1) + p);
    }
}

void TMain::MenuOpenClick()
{
    const QString path = DialogService::openFile(this, openRequest());
    if (!path.isEmpty())
        openDatabase(path);
}

void TMain::openDatabase(const QString &path)
{
    if (hasDbfExtension(path) && CheckDBaseFormat(path))
        switchDatabase(path, Catalog::SwitchKind::Open);
}

void TMain::MenuLastFileClick(int slot)
{
    const QString path = m_settings.lastFiles[std::size_t(slot - 1)];
    if (!path.isEmpty() && CheckDBaseFormat(path))
        switchDatabase(path, Catalog::SwitchKind::Open);
}

void TMain::MenuNewClick()
{
    DialogService::FileRequest request = openRequest();
    request.caption = QStringLiteral("New Database File");
    request.mustExist = false;
    request.confirmOverwrite = true;
    const QString path = DialogService::saveFile(this, request);
    if (path.isEmpty())
        return;
    if (m_catalog.searchOn())
        m_catalog.DoEndSearch();
    if (!hasDbfExtension(path))
        return;
    if (QFileInfo::exists(path) && Catalog::DBaseInUse(path)) {
        MessageService::error(this, QStringLiteral("The table \"") + path +
                                        QStringLiteral("\" is currently in use by another program.") +
                                        QStringLiteral("  New table creation will be aborted."));
        return;
    }
    try {
        if (CatalogTable::create(path))
            switchDatabase(path, Catalog::SwitchKind::New);
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
}

void TMain::MenuUpdateDatabaseClick()
{
    const bool searched = m_catalog.searchOn();
    if (searched)
        m_catalog.DoEndSearch();
    reportFailure([this] { m_catalog.writeDatabaseSettings(); });
    m_catalog.closeTable();
    if (searched)
        m_catalog.EnableEndSearch();
    m_catalog.reopenTable();
}

void TMain::maintain(const QString &question, const QString &refusal, bool pack)
{
    if (!MessageService::ask(this, QStringLiteral("Confirm"), question))
        return;
    try {
        m_catalog.reopenTable(DbfTable::Access::Exclusive);
    } catch (const DbfReadOnlyError &e) {
        m_catalog.reopenTable();
        MessageService::error(this, e.message());
        return;
    } catch (const Error &) {
        m_catalog.reopenTable();
        MessageService::error(this, refusal);
        return;
    }
    try {
        WaitCursor wait;
        if (pack)
            m_catalog.table().pack();
        else
            m_catalog.table().regenerateIndexes();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
    m_catalog.reopenTable();
}

void TMain::MenuPackClick()
{
    maintain(QStringLiteral("Deleted items are not permanently removed from the database until packing occurs.  "
                            "Packing simply removes them to free up space.  Continue?"),
             QStringLiteral("Unable to pack table.  Packing requires exclusive use of the DBase File.  Make sure that "
                            "the DBase File is not in use by another program  or that no other users are running the "
                            "software or that no other copies of the software are in use."),
             true);
}

void TMain::MenuRebuildClick()
{
    maintain(QStringLiteral("It is possible for your index files to become corrupted.  As a result, some items may not "
                            "show up in the viewer or in reports.  This will rebuild your index files correctly.  "
                            "Continue?"),
             QStringLiteral("Unable to reindex table.  Reindexing requires exclusive use of the DBase File.  Make sure "
                            "that the DBase File is not in use by another program  or that no other users are running "
                            "the software or that no other copies of the software are in use."),
             false);
}

// ---------------------------------------------------------------------------
// Records and the rest of the commands

void TMain::MenuDeleteClick()
{
    MyTable &table = m_catalog.table();
    if (table.isOpen() && table.recordCount() > 0 &&
        MessageService::ask(this, QStringLiteral("Confirm"), QStringLiteral("Delete this record?"))) {
        try {
            table.deleteRecord();
        } catch (const Error &e) {
            MessageService::error(this, e.message());
        }
    }
}

void TMain::MenuAddClick()
{
    m_editorMode = 1;
    showRecordEditor();
}

void TMain::MenuEditClick()
{
    // With no book to edit, Edit adds one.
    const MyTable &table = m_catalog.table();
    m_editorMode = table.isOpen() && table.recordCount() > 0 ? 2 : 1;
    showRecordEditor();
}

void TMain::MenuCopyClick()
{
    m_editorMode = 3;
    showRecordEditor();
}

void TMain::showRecordEditor()
{
    m_editor->setMode(m_editorMode);
    m_editor->exec();
    DisplayCount();
}

void TMain::MenuAboutClick()
{
    TAboutBox about(this);
    about.exec();
}

void TMain::MenuContentsClick()
{
    HelpService::showContents(this);
}

void TMain::MenuExitClick()
{
    close();
}

void TMain::MenuImportClick()
{
    TImportFormat format(m_catalog, m_look, this);
    format.exec();
}

void TMain::MenuExportClick()
{
    TMyExport exporter(m_catalog, m_look, this);
    exporter.exec();
}

void TMain::MenuSearchClick()
{
    m_search->exec();
}

void TMain::MenuFindClick()
{
    // Moving the cursor posts a pending cell edit, which may be refused.
    try {
        m_locate->Execute();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
}

void TMain::MenuFindNextClick()
{
    try {
        m_locate->FindNext();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
}

void TMain::MenuReportsClick()
{
    m_report->exec();
}

void TMain::MenuViewerClick()
{
    TViewConfig viewer(m_settings, m_look.fonts(), m_look.scaleFactor(), this);
    viewer.exec();
    // Every column visible again, then the configuration applied.
    m_columns.showAll();
    SetViewerOptions();
}

void TMain::openColorConfig(int target)
{
    TColorConfig dialog(target, ColorTarget::initialSet(m_settings, target), m_look.fonts(), m_look.scaleFactor(),
                        this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ColorTarget::store(m_settings, target, dialog.workingSet());
    if (target == ColorTarget::Main || target == ColorTarget::All)
        SetColors();
}

void TMain::reportFailure(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
    }
}

void TMain::EditAList(int number)
{
    TMyEditBox box(number, *m_lists, m_look.fonts(), m_look.scaleFactor(), m_settings.configureColors, this);
    box.exec();
}

void TMain::MenuSaveDefaultsClick()
{
    if (PickLists::confirmSaveDefaults(this))
        reportFailure([this] { m_lists->SaveDefaultLists(); });
}

void TMain::MenuLoadDefaultsClick()
{
    if (PickLists::confirmLoadDefaults(this))
        reportFailure([this] { m_lists->LoadDefaultList(); });
}

void TMain::MenuAllColorClick()
{
    openColorConfig(ColorTarget::All);
}

void TMain::MenuSortOrderClick()
{
    TMySortOrder sortOrder(m_catalog, m_look, this);
    sortOrder.exec();
}

void TMain::MenuBackupClick()
{
    DoBackup();
}

void TMain::MenuRestoreClick()
{
    DoRestore();
}

void TMain::DoBackup()
{
    TMyBackup backup(m_catalog, m_look, this);
    backup.exec();
    DisplayCount();
}

void TMain::DoRestore()
{
    TMyRestore restore(m_catalog, m_look, this);
    connect(&restore, &TMyRestore::reportDefinitionsRestored, m_report,
            [this] { m_report->LoadReportBox(m_settings.lastReport); });
    restore.exec();
    DisplayCount();
}

void TMain::MenuSearchReplaceClick()
{
    TSearchAndReplace replace(m_catalog, m_look, this);
    replace.exec();
}

void TMain::MenuTipsClick()
{
    TTipOfDay tips(m_settings.showTips, m_look.fonts(), m_look.scaleFactor(), this);
    tips.exec();
}
