#include "TMain.h"

#include "AppPaths.h"
#include "DateFormat.h"
#include "MyTable.h"
#include "NumberFormat.h"
#include "TAboutBox.h"
#include "TTipOfDay.h"
#include "config/ColorPresets.h"
#include "config/TColorConfig.h"
#include "config/TViewConfig.h"
#include "edit/PickLists.h"
#include "edit/TMyEdit.h"
#include "edit/TMyEditBox.h"
#include "framework/Error.h"
#include "framework/FileNames.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/DataNavigator.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "framework/ui/WinColor.h"
#include "framework/ui/WindowStyle.h"
#include "search/TMyLocateDialog.h"
#include "search/TMySearch.h"
#include "search/TMySortOrder.h"
#include "search/TSearchAndReplace.h"
#include "storage/CatalogFields.h"
#include "storage/CatalogTable.h"
#include "storage/RecentFiles.h"
#include "transfer/TImportFormat.h"
#include "transfer/TMyExport.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMap>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

const QString Caption = QStringLiteral("Shelfmark Books 97");

// The nine pick-list fields and their in-grid combo boxes, by field row.
struct ComboField
{
    int row;
    const char *name;
};
constexpr ComboField comboFields[9] = {
    {25, "MyComboLocation"}, {5, "MyComboCategory"},   {2, "MyComboAuthor"},
    {13, "MyComboBookType"}, {26, "MyComboCondition"}, {4, "MyComboPublisher"},
    {11, "MyComboRating"},   {19, "MyComboCheckOut"},  {6, "MyComboBought"},
};

} // namespace

TMain::TMain(const Environment &environment, QWidget *parent)
    : QMainWindow(parent), m_environment(environment),
      m_catalog(environment.programDirectory, environment.startDirectory), m_settings(m_catalog.settings()),
      m_look(m_settings)
{
    setObjectName(QStringLiteral("Main"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    createControls();
    createMenus();
    MyTable &table = m_catalog.table();
    connect(&table, &MyTable::reset, this, [this] {
        m_model->resetRows();
        m_grid->showCurrentRow(m_catalog.table().row());
    });
    connect(&table, &MyTable::currentChanged, m_grid, &DataGrid::showCurrentRow);
    connect(m_grid, &DataGrid::currentRowChanged, &table, &MyTable::setRow);
    connect(&m_catalog, &Catalog::countChanged, this, &TMain::DisplayCount);
    connect(&m_catalog, &Catalog::reopened, this, &TMain::SetViewerOptions);
    connect(&m_catalog, &Catalog::searchStateChanged, this, &TMain::showSearchState);
    connect(&m_catalog, &Catalog::databaseChanged, this, &TMain::showDatabase);
    connect(&m_catalog, &Catalog::failed, this, &TMain::fail);
}

TMain::~TMain() = default;

// ---------------------------------------------------------------------------
// Controls

void TMain::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);

    m_speedPanel = new QWidget(m_client);
    m_speedPanel->setObjectName(QStringLiteral("SpeedPanel"));
    addSpeedButton(QStringLiteral("NewSpeed"), QStringLiteral("new-database"), QStringLiteral("New Database"),
                   &TMain::MenuNewClick);
    addSpeedButton(QStringLiteral("OpenSpeed"), QStringLiteral("open-database"), QStringLiteral("Open Database"),
                   &TMain::MenuOpenClick);
    addSpeedButton(QStringLiteral("AddSpeed"), QStringLiteral("add-record"), QStringLiteral("Add Record"),
                   &TMain::MenuAddClick);
    addSpeedButton(QStringLiteral("EditSpeed"), QStringLiteral("edit-record"), QStringLiteral("Edit Record"),
                   &TMain::MenuEditClick);
    addSpeedButton(QStringLiteral("CopySpeed"), QStringLiteral("copy-record"), QStringLiteral("Copy Record"),
                   &TMain::MenuCopyClick);
    addSpeedButton(QStringLiteral("DeleteSpeed"), QStringLiteral("delete-record"), QStringLiteral("Delete Record"),
                   &TMain::MenuDeleteClick);
    addSpeedButton(QStringLiteral("ImportSpeed"), QStringLiteral("import"), QStringLiteral("Import Records"),
                   &TMain::MenuImportClick);
    addSpeedButton(QStringLiteral("ExportSpeed"), QStringLiteral("export"), QStringLiteral("Export Records"),
                   &TMain::MenuExportClick);
    addSpeedButton(QStringLiteral("SearchSpeed"), QStringLiteral("search"), QStringLiteral("Search Records"),
                   &TMain::MenuSearchClick);
    addSpeedButton(QStringLiteral("EndSearchSpeed"), QStringLiteral("end-search"), QStringLiteral("End Search"),
                   &TMain::DoEndSearch);
    addSpeedButton(QStringLiteral("LocateSpeed"), QStringLiteral("locate"), QStringLiteral("Locate Record"),
                   &TMain::MenuFindClick);
    addSpeedButton(QStringLiteral("LocateNextSpeed"), QStringLiteral("locate-next"),
                   QStringLiteral("Locate Next Record"), &TMain::MenuFindNextClick);
    addSpeedButton(QStringLiteral("ReportSpeed"), QStringLiteral("reports"), QStringLiteral("Reports"),
                   &TMain::MenuReportsClick);
    addSpeedButton(QStringLiteral("ViewerSpeed"), QStringLiteral("viewer"), QStringLiteral("Viewer Configuration"),
                   &TMain::MenuViewerClick);
    addSpeedButton(QStringLiteral("ColorSpeed"), QStringLiteral("color"), QStringLiteral("Color Setup"),
                   &TMain::MenuAllColorClick);
    addSpeedButton(QStringLiteral("SpeedSetOrder"), QStringLiteral("sort-order"), QStringLiteral("Set Sorting Order"),
                   &TMain::MenuSortOrderClick);
    addSpeedButton(QStringLiteral("HelpSpeed"), QStringLiteral("help"), QStringLiteral("Help"),
                   &TMain::MenuContentsClick);

    for (std::size_t i = 0; i < m_bevels.size(); ++i) {
        m_bevels[i] = new QFrame(m_client);
        m_bevels[i]->setObjectName(QStringLiteral("Bevel%1").arg(i + 1));
        m_bevels[i]->setFrameStyle(QFrame::Box | QFrame::Sunken);
    }
    addLetteredButton(QStringLiteral("AddButton"), QStringLiteral("&Add"), &TMain::MenuAddClick);
    addLetteredButton(QStringLiteral("EditButton"), QStringLiteral("&Edit"), &TMain::MenuEditClick);
    addLetteredButton(QStringLiteral("CopyButton"), QStringLiteral("&Copy"), &TMain::MenuCopyClick);
    addLetteredButton(QStringLiteral("DeleteButton"), QStringLiteral("&Delete"), &TMain::MenuDeleteClick);
    addLetteredButton(QStringLiteral("SearchButton"), QStringLiteral("&Search"), &TMain::MenuSearchClick);
    addLetteredButton(QStringLiteral("EndSearchButton"), QStringLiteral("E&nd Srch"), &TMain::DoEndSearch);
    addLetteredButton(QStringLiteral("ReportButton"), QStringLiteral("&Reports"), &TMain::MenuReportsClick);
    addLetteredButton(QStringLiteral("ViewerButton"), QStringLiteral("&Viewer"), &TMain::MenuViewerClick);
    addLetteredButton(QStringLiteral("HelpButton"), QStringLiteral("He&lp"), &TMain::MenuContentsClick);
    addLetteredButton(QStringLiteral("ButtonExit"), QStringLiteral("E&xit"), &TMain::MenuExitClick);

    m_navigatorLabel = new QLabel(QStringLiteral("Navigation Controls"), m_client);
    m_navigatorLabel->setObjectName(QStringLiteral("NavigatorLabel"));
    m_navigator = new DataNavigator(m_client);
    m_navigator->setObjectName(QStringLiteral("MyNavigator"));
    connect(m_navigator, &DataNavigator::clicked, this, &TMain::navigatorClicked);

    m_viewerBevel = new QFrame(m_client);
    m_viewerBevel->setObjectName(QStringLiteral("ViewerBevel"));
    m_viewerBevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_viewerLabel = new QLabel(QStringLiteral("Book Viewer"), m_client);
    m_viewerLabel->setObjectName(QStringLiteral("ViewerLabel"));
    QFont big = m_viewerLabel->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    m_viewerLabel->setFont(big);
    m_viewerLabel->setAutoFillBackground(true);
    m_countLabel = new QLabel(QStringLiteral("0"), m_client);
    m_countLabel->setObjectName(QStringLiteral("CountLabel"));
    m_countLabel->setAlignment(Qt::AlignHCenter);
    m_count2Label = new QLabel(QStringLiteral("Books"), m_client);
    m_count2Label->setObjectName(QStringLiteral("Count2Label"));
    m_count2Label->setAlignment(Qt::AlignHCenter);
    m_searchOnLabel = new QLabel(QStringLiteral("SEARCH ON"), m_client);
    m_searchOnLabel->setObjectName(QStringLiteral("SearchOnLabel"));
    QFont bold = m_searchOnLabel->font();
    bold.setBold(true);
    m_searchOnLabel->setFont(bold);
    m_searchOnLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_searchOnLabel->hide();

    m_grid = new DataGrid(m_client);
    m_grid->setObjectName(QStringLiteral("ViewerGrid"));
    m_model = new DataGridModel(m_catalog.table().engine(), this);
    m_model->setDateText([](const QDate &date) { return DateFormat::current().format(date); });
    m_model->setWriter(
        [this](int row, const GridColumn &column, const QString &value) { return writeCell(row, column, value); });
    m_grid->setDataModel(m_model);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &TMain::MenuEditClick);

    for (std::size_t i = 0; i < m_combos.size(); ++i) {
        m_combos[i] = new QComboBox(m_client);
        m_combos[i]->setObjectName(QString::fromLatin1(comboFields[i].name));
        m_combos[i]->setEditable(true);
        m_combos[i]->hide();
    }
}

QToolButton *TMain::addSpeedButton(const QString &objectName, const QString &icon, const QString &hint,
                                   void (TMain::*slot)())
{
    auto *button = new QToolButton(m_speedPanel);
    button->setObjectName(objectName);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(icon)));
    button->setIconSize(QSize(20, 20));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    const int index = m_speedPanel->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly).size() - 1;
    button->setGeometry(4 + index * 24, 3, 24, 26);
    connect(button, &QToolButton::clicked, this, slot);
    return button;
}

QPushButton *TMain::addLetteredButton(const QString &objectName, const QString &caption, void (TMain::*slot)())
{
    auto *button = new QPushButton(caption, m_client);
    button->setObjectName(objectName);
    connect(button, &QPushButton::clicked, this, slot);
    m_letteredButtons.append(button);
    return button;
}

QAction *TMain::addCommand(QMenu *menu, const QString &objectName, const QString &caption, const QKeySequence &shortcut,
                           void (TMain::*slot)())
{
    return addCommand(menu, objectName, caption, shortcut, [this, slot] { (this->*slot)(); });
}

QAction *TMain::addCommand(QMenu *menu, const QString &objectName, const QString &caption, const QKeySequence &shortcut,
                           const std::function<void()> &run)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(objectName);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, run);
    return action;
}

void TMain::createMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    addCommand(file, QStringLiteral("MenuNew"), QStringLiteral("&New Database"), QKeySequence(QStringLiteral("Ctrl+W")),
               &TMain::MenuNewClick);
    addCommand(file, QStringLiteral("MenuOpen"), QStringLiteral("&Open Database"),
               QKeySequence(QStringLiteral("Ctrl+O")), &TMain::MenuOpenClick);
    addCommand(file, QStringLiteral("MenuUpdateDatabase"), QStringLiteral("&Update Database"),
               QKeySequence(QStringLiteral("Ctrl+Z")), &TMain::MenuUpdateDatabaseClick);
    file->addSeparator();
    addCommand(file, QStringLiteral("MenuBackup"), QStringLiteral("&Back Up Data"),
               QKeySequence(QStringLiteral("Ctrl+B")), &TMain::MenuBackupClick);
    addCommand(file, QStringLiteral("MenuRestore"), QStringLiteral("&Restore Data"),
               QKeySequence(QStringLiteral("Ctrl+Y")), &TMain::MenuRestoreClick);
    file->addSeparator();
    addCommand(file, QStringLiteral("MenuPrint"), QStringLiteral("&Print"), QKeySequence(QStringLiteral("Ctrl+P")),
               &TMain::MenuReportsClick);
    file->addSeparator();
    addCommand(file, QStringLiteral("MenuExit"), QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Ctrl+X")),
               &TMain::MenuExitClick);
    m_exitSeparator = file->addSeparator();
    m_exitSeparator->setObjectName(QStringLiteral("MenuExitSep"));
    for (int slot = 1; slot <= 5; ++slot) {
        QAction *action = file->addAction(QStringLiteral("&%1").arg(slot));
        action->setObjectName(QStringLiteral("MenuLastFile%1").arg(slot));
        connect(action, &QAction::triggered, this, [this, slot] { MenuLastFileClick(slot); });
        m_lastFileActions[std::size_t(slot - 1)] = action;
    }

    QMenu *records = menuBar()->addMenu(QStringLiteral("&Records"));
    records->setObjectName(QStringLiteral("MenuRecords"));
    addCommand(records, QStringLiteral("MenuAdd"), QStringLiteral("&Add"), QKeySequence(QStringLiteral("Ctrl+A")),
               &TMain::MenuAddClick);
    addCommand(records, QStringLiteral("MenuEdit"), QStringLiteral("&Edit"), QKeySequence(QStringLiteral("Ctrl+E")),
               &TMain::MenuEditClick);
    addCommand(records, QStringLiteral("MenuCopy"), QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")),
               &TMain::MenuCopyClick);
    addCommand(records, QStringLiteral("MenuDelete"), QStringLiteral("&Delete"), QKeySequence(QStringLiteral("Ctrl+D")),
               &TMain::MenuDeleteClick);
    records->addSeparator();
    addCommand(records, QStringLiteral("MenuImport"), QStringLiteral("&Import"), QKeySequence(QStringLiteral("Ctrl+M")),
               &TMain::MenuImportClick);
    addCommand(records, QStringLiteral("MenuExport"), QStringLiteral("E&xport"), QKeySequence(QStringLiteral("Ctrl+T")),
               &TMain::MenuExportClick);

    QMenu *navigate = menuBar()->addMenu(QStringLiteral("&Navigate"));
    navigate->setObjectName(QStringLiteral("MenuNavigate"));
    addCommand(navigate, QStringLiteral("MenuSearch"), QStringLiteral("&Search (Query)"),
               QKeySequence(QStringLiteral("Ctrl+S")), &TMain::MenuSearchClick);
    addCommand(navigate, QStringLiteral("MenuEndSearch"), QStringLiteral("&End Search"),
               QKeySequence(QStringLiteral("Ctrl+I")), &TMain::DoEndSearch);
    addCommand(navigate, QStringLiteral("MenuFind"), QStringLiteral("&Locate"), QKeySequence(QStringLiteral("Ctrl+L")),
               &TMain::MenuFindClick);
    addCommand(navigate, QStringLiteral("MenuFindNext"), QStringLiteral("Locate &Next"),
               QKeySequence(QStringLiteral("Ctrl+N")), &TMain::MenuFindNextClick);
    addCommand(navigate, QStringLiteral("MenuReports"), QStringLiteral("&Reports"),
               QKeySequence(QStringLiteral("Ctrl+R")), &TMain::MenuReportsClick);
    addCommand(navigate, QStringLiteral("MenuViewer"), QStringLiteral("&Viewer"),
               QKeySequence(QStringLiteral("Ctrl+V")), &TMain::MenuViewerClick);

    QMenu *options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("MenuOptions"));
    addCommand(options, QStringLiteral("MenuSortOrder"), QStringLiteral("Sort &Order"),
               QKeySequence(QStringLiteral("Ctrl+Q")), &TMain::MenuSortOrderClick);
    QMenu *screenSize = options->addMenu(QStringLiteral("Screen Si&ze"));
    screenSize->setObjectName(QStringLiteral("MenuScreenSize"));
    const char *sizes[4][2] = {{"N640x480", "640 x 480"},
                               {"N800x600", "800 x 600"},
                               {"N1024x768", "1024 x 768"},
                               {"N1280x1024", "1280 x 1024"}};
    for (int i = 0; i < 4; ++i) {
        static constexpr int widths[4] = {640, 800, 1024, 1280};
        QAction *a = addCommand(screenSize, QString::fromLatin1(sizes[i][0]), QString::fromLatin1(sizes[i][1]),
                                QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + i)),
                                [this, i] { MenuScreenSizeClick(widths[i]); });
        a->setCheckable(true);
    }
    QMenu *access = options->addMenu(QStringLiteral("&Screen Access"));
    access->setObjectName(QStringLiteral("MenuScreenAccess"));
    auto *accessGroup = new QActionGroup(this);
    const char *accessItems[3][2] = {
        {"MenuSpeed", "&Speed Buttons"}, {"MenuButtons", "&Lettered Buttons"}, {"MenuNoButtons", "&None"}};
    for (int i = 0; i < 3; ++i) {
        QAction *a = access->addAction(QString::fromLatin1(accessItems[i][1]));
        a->setObjectName(QString::fromLatin1(accessItems[i][0]));
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F1 + i)));
        a->setCheckable(true);
        accessGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { setLayoutMode(i + 1); });
    }
    QMenu *color = options->addMenu(QStringLiteral("&Color"));
    color->setObjectName(QStringLiteral("MenuColor"));
    const char *colorItems[6][2] = {
        {"MenuMainColor", "&Main Window Color"},        {"MenuEditColor", "&Edit Window Color"},
        {"MenuSearchColor", "&Search Window Color"},    {"MenuReportColor", "&Report Window Color"},
        {"MenuConfigColor", "&Configure Window Color"}, {"MenuAllColor", "&ALL Windows Color"}};
    for (int i = 0; i < 6; ++i)
        addCommand(color, QString::fromLatin1(colorItems[i][0]), QString::fromLatin1(colorItems[i][1]),
                   QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F4 + i)), [this, i] { openColorConfig(i + 1); });
    QMenu *lists = options->addMenu(QStringLiteral("List &Maintenance"));
    lists->setObjectName(QStringLiteral("MenuMaintain"));
    addCommand(lists, QStringLiteral("MenuSaveDefaults"), QStringLiteral("&Save As Defaults"), {},
               &TMain::MenuSaveDefaultsClick);
    addCommand(lists, QStringLiteral("MenuLoadDefaults"), QStringLiteral("Load In &Defaults"), {},
               &TMain::MenuLoadDefaultsClick);
    lists->addSeparator();
    // Author, Location, Where Purchased, Category, Publisher, Book Type, Rating,
    // Check Out Person, Condition.
    for (int number : {1, 2, 3, 4, 5, 7, 6, 8, 9}) {
        const PickListInfo &list = PickLists::info(number);
        addCommand(lists, QString::fromLatin1(list.menuItem), QString::fromLatin1(list.menuCaption), {},
                   [this, number] { EditAList(number); });
    }
    options->addSeparator();
    QMenu *currency = options->addMenu(QStringLiteral("C&urrency Format"));
    currency->setObjectName(QStringLiteral("MenuCurrency"));
    for (auto [name, text] :
         {std::pair{"MenuCurrencyUS", "&U.S. Dollars"}, std::pair{"MenuCurrencyWin", "&Windows Setting"}})
        addCommand(currency, QString::fromLatin1(name), QString::fromLatin1(text), {},
                   [this, us = QByteArray(name).endsWith("US")] { MenuCurrencyClick(us ? 1 : 2); })
            ->setCheckable(true);
    QMenu *numeric = options->addMenu(QStringLiteral("&Numeric Format"));
    numeric->setObjectName(QStringLiteral("MenuNumeric"));
    for (auto [name, text] :
         {std::pair{"MenuNumericUS", "&U.S. Format"}, std::pair{"MenuNumericWin", "&Windows Setting"}})
        addCommand(numeric, QString::fromLatin1(name), QString::fromLatin1(text), {},
                   [this, us = QByteArray(name).endsWith("US")] { MenuNumericClick(us ? 1 : 2); })
            ->setCheckable(true);
    QMenu *dates = options->addMenu(QStringLiteral("&Date Format"));
    dates->setObjectName(QStringLiteral("MenuDateFormat"));
    const char *dateItems[12] = {"MenuDateMDYSlash", "MenuDateMDYDash",    "MenuDateMDYDot",     "MenuDateDMYSlash",
                                 "MenuDateDMYDash",  "MenuDateDMYDot",     "MenuDateMDYSlashYr", "MenuDateMDYDashYr",
                                 "MenuDateMDYDotYr", "MenuDateDMYSlashYr", "MenuDateDMYDashYr",  "MenuDateDMYDotYr"};
    for (int i = 0; i < 12; ++i)
        addCommand(dates, QString::fromLatin1(dateItems[i]), DateFormat::caption(i + 1), {}, [this, i] {
            MenuDateFormatClick(i + 1);
        })->setCheckable(true);
    dates->addSeparator();
    addCommand(dates, QStringLiteral("MenuLeadingZeros"), QStringLiteral("&Leading Zeros"), {},
               &TMain::MenuLeadingZerosClick)
        ->setCheckable(true);
    options->addSeparator();
    addCommand(options, QStringLiteral("MenuLabelFont"), QStringLiteral("&Label Font"),
               QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { MenuFontClick(m_settings.labelFont); });
    addCommand(options, QStringLiteral("MenuEditFont"), QStringLiteral("&Edit Font"),
               QKeySequence(Qt::SHIFT | Qt::Key_F9), [this] { MenuFontClick(m_settings.editFont); });
    addCommand(options, QStringLiteral("MenuButtonFont"), QStringLiteral("&Button Font"),
               QKeySequence(Qt::SHIFT | Qt::Key_F10), [this] { MenuFontClick(m_settings.buttonFont); });

    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("MenuTools"));
    addCommand(tools, QStringLiteral("MenuSearchReplace"), QStringLiteral("&Search and Replace"),
               QKeySequence(QStringLiteral("Ctrl+F")), &TMain::MenuSearchReplaceClick);
    addCommand(tools, QStringLiteral("MenuRebuild"), QStringLiteral("&Rebuild Indexes"), {}, &TMain::MenuRebuildClick);
    addCommand(tools, QStringLiteral("MenuPack"), QStringLiteral("&Pack Database"), {}, &TMain::MenuPackClick);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    addCommand(help, QStringLiteral("MenuContents"), QStringLiteral("&Contents"),
               QKeySequence(QStringLiteral("Ctrl+H")), &TMain::MenuContentsClick);
    addCommand(help, QStringLiteral("MenuTips"), QStringLiteral("&Review \"Tips of the Day\""), {},
               &TMain::MenuTipsClick);
    addCommand(help, QStringLiteral("MenuAbout"), QStringLiteral("&About"), {}, &TMain::MenuAboutClick);
}

// ---------------------------------------------------------------------------
// Layout modes

void TMain::setLayoutMode(int mode)
{
    m_settings.buttonBar = mode;
    applyLayout();
}

void TMain::applyLayout()
{
    const int mode = std::clamp(m_settings.buttonBar, 1, 3);
    const int cw = m_client->width();
    const int ch = m_client->height();
    for (const char *name : {"MenuSpeed", "MenuButtons", "MenuNoButtons"}) {
        if (auto *a = findChild<QAction *>(QString::fromLatin1(name)))
            a->setChecked(false);
    }
    static const char *checked[3] = {"MenuSpeed", "MenuButtons", "MenuNoButtons"};
    if (auto *a = findChild<QAction *>(QString::fromLatin1(checked[mode - 1])))
        a->setChecked(true);

    const bool lettered = mode == 2;
    for (QPushButton *button : std::as_const(m_letteredButtons)) {
        button->setVisible(lettered);
        button->setEnabled(lettered &&
                           !(m_catalog.browseMode() && (button->objectName() == QLatin1String("AddButton") ||
                                                        button->objectName() == QLatin1String("CopyButton") ||
                                                        button->objectName() == QLatin1String("DeleteButton") ||
                                                        button->objectName() == QLatin1String("ViewerButton"))));
    }
    if (lettered) // End Search follows the search-on state
        findChild<QPushButton *>(QStringLiteral("EndSearchButton"))->setEnabled(m_catalog.searchOn());
    for (QFrame *bevel : m_bevels) {
        bevel->setVisible(lettered);
        bevel->setEnabled(lettered);
    }
    m_speedPanel->setVisible(mode == 1);
    m_speedPanel->setEnabled(mode == 1);
    m_navigatorLabel->setVisible(lettered);

    struct Place
    {
        int navLeft, navTop, navWidth, searchTop, countTop, count2Top, bevelTop, bevelInset, labelTop, gridTop,
            gridInset;
    };
    const Place places[3] = {
        {424, 3, 241, 44, 38, 52, 34, 37, 38, 70, 77},
        {400, 47, 221, 96, 90, 105, 86, 89, 90, 122, 129},
        {cw - 207, 8, 201, 14, 8, 23, 4, 7, 8, 40, 47},
    };
    const Place &p = places[mode - 1];
    m_speedPanel->setGeometry(0, 0, cw, 32);
    m_navigator->setGeometry(p.navLeft, p.navTop, p.navWidth, 25);
    m_navigatorLabel->setGeometry(400, 20, 221, 20);
    m_navigatorLabel->setAlignment(Qt::AlignHCenter);
    m_searchOnLabel->setGeometry(cw - 112, p.searchTop, 100, 20);
    m_countLabel->setGeometry(12, p.countTop, 80, 16);
    m_count2Label->setGeometry(12, p.count2Top, 80, 16);
    m_viewerBevel->setGeometry(3, p.bevelTop, cw - 6, ch - p.bevelInset);
    m_grid->setGeometry(7, p.gridTop, cw - 14, ch - p.gridInset);
    m_viewerLabel->adjustSize();
    m_viewerLabel->move((cw - m_viewerLabel->width()) / 2, p.labelTop);

    // The lettered buttons in two rows of five, framed by the bevels.
    for (int i = 0; i < m_letteredButtons.size(); ++i)
        m_letteredButtons[i]->setGeometry(10 + (i % 5) * 76, i < 5 ? 8 : 47, 72, 30);
    m_bevels[0]->setGeometry(4, 3, 384, 40);
    m_bevels[1]->setGeometry(4, 42, 384, 40);
    m_bevels[2]->setGeometry(394, 3, 233, 78);
    m_bevels[3]->setGeometry(3, 84, cw - 6, 2);
}

void TMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayout();
}

// ---------------------------------------------------------------------------
// Display options

void TMain::checkScreenSize(int windowSize)
{
    static const std::pair<int, const char *> items[] = {
        {640, "N640x480"}, {800, "N800x600"}, {1024, "N1024x768"}, {1280, "N1280x1024"}};
    for (const auto &[size, name] : items)
        findChild<QAction *>(QString::fromLatin1(name))->setChecked(size == windowSize);
}

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

void TMain::checkFormatItems()
{
    static const char *dateItems[DateFormat::Count] = {"MenuDateMDYSlash",   "MenuDateMDYDash",   "MenuDateMDYDot",
                                                       "MenuDateDMYSlash",   "MenuDateDMYDash",   "MenuDateDMYDot",
                                                       "MenuDateMDYSlashYr", "MenuDateMDYDashYr", "MenuDateMDYDotYr",
                                                       "MenuDateDMYSlashYr", "MenuDateDMYDashYr", "MenuDateDMYDotYr"};
    for (int i = 0; i < DateFormat::Count; ++i)
        findChild<QAction *>(QString::fromLatin1(dateItems[i]))->setChecked(m_settings.dateFormat == i + 1);
    findChild<QAction *>(QStringLiteral("MenuLeadingZeros"))->setChecked(m_settings.dateLeadingZeros);
    findChild<QAction *>(QStringLiteral("MenuCurrencyUS"))->setChecked(m_settings.currencyFormat == 1);
    findChild<QAction *>(QStringLiteral("MenuCurrencyWin"))->setChecked(m_settings.currencyFormat == 2);
    findChild<QAction *>(QStringLiteral("MenuNumericUS"))->setChecked(m_settings.numericFormat == 1);
    findChild<QAction *>(QStringLiteral("MenuNumericWin"))->setChecked(m_settings.numericFormat == 2);
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
}

void TMain::MenuNumericClick(int style)
{
    m_settings.numericFormat = style;
    const NumberFormat &now = NumberFormat::current();
    NumberFormat::setCurrent(NumberFormat(NumberFormat::Style(style), now.currency(), now.system()));
    checkFormatItems();
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
    PickLists::installDefaults(programDirectory);

    m_catalog.readGlobalSettings();
    setGeometry(m_settings.mainWindowLeft, m_settings.mainWindowTop, m_settings.mainWindowWidth,
                m_settings.mainWindowHeight);
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
    if (CheckDBaseFormat(chosen)) {
        openAtStartup(chosen);
    } else {
        MessageService::error(this, QStringLiteral("The last database used as recorded in the INI file is not a valid "
                                                   "Shelfmark Books 97 file.  You will need to choose a new file."));
        if (!chooseDatabaseAtStartup())
            return false;
    }

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

    const QString first = m_environment.arguments.value(0).toUpper().left(30);
    if (first == QLatin1String("/BROWSE"))
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
    runListOperation([this] { m_lists->LoadAllList(); });
    connect(m_editor, &TMyEdit::recordStoring, this, [this] { m_lists->addTypedValues(); });
    connect(m_editor, &TMyEdit::closed, this, [this] { runListOperation([this] { m_lists->SaveAllLists(); }); });
    m_search = new TMySearch(m_catalog, m_look, this);
    return true;
}

bool TMain::openAtStartup(const QString &path)
{
    m_catalog.openAtStartup(path);
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
        if (hasDbfExtension(path) && CheckDBaseFormat(path))
            return openAtStartup(path);
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

void TMain::closeEvent(QCloseEvent *event)
{
    m_catalog.DisableEndSearch();
    m_settings.mainWindowLeft = geometry().x();
    m_settings.mainWindowTop = geometry().y();
    m_settings.mainWindowWidth = geometry().width();
    m_settings.mainWindowHeight = geometry().height();
    m_catalog.writeGlobalSettings();
    m_catalog.writeDatabaseSettings();
    m_catalog.closeTable();
    event->accept();
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

QComboBox *TMain::pickListCombo(int row) const
{
    for (std::size_t i = 0; i < m_combos.size(); ++i) {
        if (comboFields[i].row == row)
            return m_combos[i];
    }
    return nullptr;
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

void TMain::navigatorClicked(DataNavigator::Button button)
{
    MyTable &table = m_catalog.table();
    try {
        switch (button) {
        case DataNavigator::First:
            table.first();
            break;
        case DataNavigator::Prior:
            table.prior();
            break;
        case DataNavigator::Next:
            table.next();
            break;
        case DataNavigator::Last:
            table.last();
            break;
        case DataNavigator::Insert:
            table.append();
            table.post();
            if (m_settings.fieldEditing)
                m_grid->edit(m_grid->currentIndex());
            break;
        case DataNavigator::Delete:
            if (table.recordCount() > 0 &&
                MessageService::ask(this, QStringLiteral("Confirm"), QStringLiteral("Delete record?")))
                table.deleteRecord();
            break;
        case DataNavigator::Edit:
            if (m_settings.fieldEditing)
                m_grid->edit(m_grid->currentIndex());
            break;
        case DataNavigator::Post:
            m_grid->finishEditing(true);
            break;
        case DataNavigator::Cancel:
            m_grid->finishEditing(false);
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
    if (!path.isEmpty() && hasDbfExtension(path) && CheckDBaseFormat(path))
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
    m_catalog.writeDatabaseSettings();
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
    m_editorMode = 2;
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

void TMain::MenuReportsClick() {}

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

void TMain::runListOperation(const std::function<void()> &operation)
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
        runListOperation([this] { m_lists->SaveDefaultLists(); });
}

void TMain::MenuLoadDefaultsClick()
{
    if (PickLists::confirmLoadDefaults(this))
        runListOperation([this] { m_lists->LoadDefaultList(); });
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

void TMain::MenuBackupClick() {}

void TMain::MenuRestoreClick() {}

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
