#include "TMain.h"

#include "DateFormat.h"
#include "MainLayout.h"
#include "NumberFormat.h"
#include "edit/PickLists.h"
#include "framework/ui/DataGrid.h"
#include "framework/ui/DataNavigator.h"
#include "framework/ui/PickListCombo.h"

#include <QActionGroup>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

// The main window's controls, menus and layout modes.

namespace {

using Slot = void (TMain::*)();

struct Button
{
    const char *name;
    const char *icon; // speed buttons
    const char *caption;
    Slot slot;
};

const Button speedButtons[] = {
    {"NewSpeed", "new-database", "New Database", &TMain::MenuNewClick},
    {"OpenSpeed", "open-database", "Open Database", &TMain::MenuOpenClick},
    {"AddSpeed", "add-record", "Add Record", &TMain::MenuAddClick},
    {"EditSpeed", "edit-record", "Edit Record", &TMain::MenuEditClick},
    {"CopySpeed", "copy-record", "Copy Record", &TMain::MenuCopyClick},
    {"DeleteSpeed", "delete-record", "Delete Record", &TMain::MenuDeleteClick},
    {"ImportSpeed", "import", "Import Records", &TMain::MenuImportClick},
    {"ExportSpeed", "export", "Export Records", &TMain::MenuExportClick},
    {"SearchSpeed", "search", "Search Records", &TMain::MenuSearchClick},
    {"EndSearchSpeed", "end-search", "End Search", &TMain::DoEndSearch},
    {"LocateSpeed", "locate", "Locate Record", &TMain::MenuFindClick},
    {"LocateNextSpeed", "locate-next", "Locate Next Record", &TMain::MenuFindNextClick},
    {"ReportSpeed", "reports", "Reports", &TMain::MenuReportsClick},
    {"ViewerSpeed", "viewer", "Viewer Configuration", &TMain::MenuViewerClick},
    {"ColorSpeed", "color", "Color Setup", &TMain::MenuAllColorClick},
    {"SpeedSetOrder", "sort-order", "Set Sorting Order", &TMain::MenuSortOrderClick},
    {"HelpSpeed", "help", "Help", &TMain::MenuContentsClick},
};

const Button letteredButtons[] = {
    {"AddButton", nullptr, "&Add", &TMain::MenuAddClick},
    {"EditButton", nullptr, "&Edit", &TMain::MenuEditClick},
    {"CopyButton", nullptr, "&Copy", &TMain::MenuCopyClick},
    {"DeleteButton", nullptr, "&Delete", &TMain::MenuDeleteClick},
    {"SearchButton", nullptr, "&Search", &TMain::MenuSearchClick},
    {"EndSearchButton", nullptr, "E&nd Srch", &TMain::DoEndSearch},
    {"ReportButton", nullptr, "&Reports", &TMain::MenuReportsClick},
    {"ViewerButton", nullptr, "&Viewer", &TMain::MenuViewerClick},
    {"HelpButton", nullptr, "He&lp", &TMain::MenuContentsClick},
    {"ButtonExit", nullptr, "E&xit", &TMain::MenuExitClick},
};

using Command = TMain::Command;

const Command fileCommands[] = {
    {"MenuNew", "&New Database", "Ctrl+W", &TMain::MenuNewClick},
    {"MenuOpen", "&Open Database", "Ctrl+O", &TMain::MenuOpenClick},
    {"MenuUpdateDatabase", "&Update Database", "Ctrl+Z", &TMain::MenuUpdateDatabaseClick},
    {},
    {"MenuBackup", "&Back Up Data", "Ctrl+B", &TMain::MenuBackupClick},
    {"MenuRestore", "&Restore Data", "Ctrl+Y", &TMain::MenuRestoreClick},
    {},
    {"MenuPrint", "&Print", "Ctrl+P", &TMain::MenuReportsClick},
    {},
    {"MenuExit", "E&xit", "Ctrl+X", &TMain::MenuExitClick},
};

const Command recordCommands[] = {
    {"MenuAdd", "&Add", "Ctrl+A", &TMain::MenuAddClick},
    {"MenuEdit", "&Edit", "Ctrl+E", &TMain::MenuEditClick},
    {"MenuCopy", "&Copy", "Ctrl+C", &TMain::MenuCopyClick},
    {"MenuDelete", "&Delete", "Ctrl+D", &TMain::MenuDeleteClick},
    {},
    {"MenuImport", "&Import", "Ctrl+M", &TMain::MenuImportClick},
    {"MenuExport", "E&xport", "Ctrl+T", &TMain::MenuExportClick},
};

const Command navigateCommands[] = {
    {"MenuSearch", "&Search (Query)", "Ctrl+S", &TMain::MenuSearchClick},
    {"MenuEndSearch", "&End Search", "Ctrl+I", &TMain::DoEndSearch},
    {"MenuFind", "&Locate", "Ctrl+L", &TMain::MenuFindClick},
    {"MenuFindNext", "Locate &Next", "Ctrl+N", &TMain::MenuFindNextClick},
    {"MenuReports", "&Reports", "Ctrl+R", &TMain::MenuReportsClick},
    {"MenuViewer", "&Viewer", "Ctrl+V", &TMain::MenuViewerClick},
};

const Command toolCommands[] = {
    {"MenuSearchReplace", "&Search and Replace", "Ctrl+F", &TMain::MenuSearchReplaceClick},
    {"MenuRebuild", "&Rebuild Indexes", nullptr, &TMain::MenuRebuildClick},
    {"MenuPack", "&Pack Database", nullptr, &TMain::MenuPackClick},
};

const Command helpCommands[] = {
    {"MenuContents", "&Contents", "Ctrl+H", &TMain::MenuContentsClick},
    {"MenuTips", "&Review \"Tips of the Day\"", nullptr, &TMain::MenuTipsClick},
    {"MenuAbout", "&About", nullptr, &TMain::MenuAboutClick},
};

const char *const dateItems[DateFormat::Count] = {"MenuDateMDYSlash",   "MenuDateMDYDash",   "MenuDateMDYDot",
                                                  "MenuDateDMYSlash",   "MenuDateDMYDash",   "MenuDateDMYDot",
                                                  "MenuDateMDYSlashYr", "MenuDateMDYDashYr", "MenuDateMDYDotYr",
                                                  "MenuDateDMYSlashYr", "MenuDateDMYDashYr", "MenuDateDMYDotYr"};

const std::pair<int, const char *> screenSizes[] = {
    {640, "N640x480"}, {800, "N800x600"}, {1024, "N1024x768"}, {1280, "N1280x1024"}};

const char *const layoutItems[3] = {"MenuSpeed", "MenuButtons", "MenuNoButtons"};

} // namespace

void TMain::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);

    m_speedPanel = new QWidget(m_client);
    m_speedPanel->setObjectName(QStringLiteral("SpeedPanel"));
    int index = 0;
    for (const Button &b : speedButtons) {
        auto *button = new QToolButton(m_speedPanel);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.icon))));
        button->setIconSize(QSize(20, 20));
        button->setToolTip(QString::fromLatin1(b.caption));
        button->setAutoRaise(true);
        button->setGeometry(4 + index++ * 24, 3, 24, 26);
        connect(button, &QToolButton::clicked, this, b.slot);
    }

    for (std::size_t i = 0; i < m_bevels.size(); ++i) {
        m_bevels[i] = new QFrame(m_client);
        m_bevels[i]->setObjectName(QStringLiteral("Bevel%1").arg(i + 1));
        m_bevels[i]->setFrameStyle(QFrame::Box | QFrame::Sunken);
    }
    for (const Button &b : letteredButtons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), m_client);
        button->setObjectName(QString::fromLatin1(b.name));
        connect(button, &QPushButton::clicked, this, b.slot);
        m_letteredButtons.append(button);
    }

    m_navigatorLabel = new QLabel(QStringLiteral("Navigation Controls"), m_client);
    m_navigatorLabel->setObjectName(QStringLiteral("NavigatorLabel"));
    m_navigatorLabel->setAlignment(Qt::AlignHCenter);
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
    m_model->setDateEditText([](const QDate &date) {
        const DateFormat &format = DateFormat::current();
        return format.withFourDigitYear(format.leadingZeros()).format(date);
    });
    m_model->setAmountText([](double value) { return NumberFormat::current().money(value, 0); });
    m_model->setWriter(
        [this](int row, const GridColumn &column, const QString &value) { return writeCell(row, column, value); });
    m_grid->setDataModel(m_model);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &TMain::MenuEditClick);
    m_grid->installEventFilter(this);

    // The in-grid combo boxes of the nine pick lists, by list number.
    for (int number = 1; number <= PickLists::Count; ++number) {
        auto *combo = new QComboBox(m_client);
        combo->setObjectName(QString::fromLatin1(PickLists::info(number).mainCombo));
        keepTypedText(combo);
        combo->hide();
        m_combos[std::size_t(number - 1)] = combo;
    }
}

QComboBox *TMain::pickListCombo(int row) const
{
    for (const PickListInfo &list : PickLists::table()) {
        if (list.fieldRow == row)
            return m_combos[std::size_t(list.number - 1)];
    }
    return nullptr;
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

QMenu *TMain::addMenu(const QString &objectName, const QString &caption, std::span<const Command> commands,
                      QMenu *parent)
{
    QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(objectName);
    for (const Command &c : commands) {
        if (!c.name) {
            menu->addSeparator();
            continue;
        }
        addCommand(menu, QString::fromLatin1(c.name), QString::fromUtf8(c.caption),
                   c.shortcut ? QKeySequence(QString::fromLatin1(c.shortcut)) : QKeySequence(),
                   [this, slot = c.slot] { (this->*slot)(); });
    }
    return menu;
}

void TMain::createMenus()
{
    QMenu *file = addMenu(QStringLiteral("MenuFile"), QStringLiteral("&File"), fileCommands);
    m_exitSeparator = file->addSeparator();
    m_exitSeparator->setObjectName(QStringLiteral("MenuExitSep"));
    for (int slot = 1; slot <= 5; ++slot) {
        QAction *action = file->addAction(QStringLiteral("&%1").arg(slot));
        action->setObjectName(QStringLiteral("MenuLastFile%1").arg(slot));
        connect(action, &QAction::triggered, this, [this, slot] { MenuLastFileClick(slot); });
        m_lastFileActions[std::size_t(slot - 1)] = action;
    }
    addMenu(QStringLiteral("MenuRecords"), QStringLiteral("&Records"), recordCommands);
    addMenu(QStringLiteral("MenuNavigate"), QStringLiteral("&Navigate"), navigateCommands);

    static const Command sortOrder[] = {{"MenuSortOrder", "Sort &Order", "Ctrl+Q", &TMain::MenuSortOrderClick}};
    QMenu *options = addMenu(QStringLiteral("MenuOptions"), QStringLiteral("&Options"), sortOrder);
    QMenu *screenSize = addMenu(QStringLiteral("MenuScreenSize"), QStringLiteral("Screen Si&ze"), {}, options);
    for (int i = 0; i < 4; ++i) {
        const int width = screenSizes[i].first;
        addCommand(screenSize, QString::fromLatin1(screenSizes[i].second),
                   QStringLiteral("%1 x %2").arg(width).arg(width == 640    ? 480
                                                            : width == 800  ? 600
                                                            : width == 1024 ? 768
                                                                            : 1024),
                   QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + i)), [this, width] { MenuScreenSizeClick(width); })
            ->setCheckable(true);
    }
    QMenu *access = addMenu(QStringLiteral("MenuScreenAccess"), QStringLiteral("&Screen Access"), {}, options);
    auto *accessGroup = new QActionGroup(this);
    const char *accessCaptions[3] = {"&Speed Buttons", "&Lettered Buttons", "&None"};
    for (int i = 0; i < 3; ++i) {
        QAction *a = addCommand(access, QString::fromLatin1(layoutItems[i]), QString::fromLatin1(accessCaptions[i]),
                                QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F1 + i)), [this, i] { setLayoutMode(i + 1); });
        a->setCheckable(true);
        accessGroup->addAction(a);
    }
    QMenu *color = addMenu(QStringLiteral("MenuColor"), QStringLiteral("&Color"), {}, options);
    const char *colorItems[6][2] = {
        {"MenuMainColor", "&Main Window Color"},        {"MenuEditColor", "&Edit Window Color"},
        {"MenuSearchColor", "&Search Window Color"},    {"MenuReportColor", "&Report Window Color"},
        {"MenuConfigColor", "&Configure Window Color"}, {"MenuAllColor", "&ALL Windows Color"}};
    for (int i = 0; i < 6; ++i)
        addCommand(color, QString::fromLatin1(colorItems[i][0]), QString::fromLatin1(colorItems[i][1]),
                   QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F4 + i)), [this, i] { openColorConfig(i + 1); });
    static const Command listCommands[] = {
        {"MenuSaveDefaults", "&Save As Defaults", nullptr, &TMain::MenuSaveDefaultsClick},
        {"MenuLoadDefaults", "Load In &Defaults", nullptr, &TMain::MenuLoadDefaultsClick},
        {}};
    QMenu *lists = addMenu(QStringLiteral("MenuMaintain"), QStringLiteral("List &Maintenance"), listCommands, options);
    // Author, Location, Where Purchased, Category, Publisher, Book Type, Rating,
    // Check Out Person, Condition.
    for (int number : {1, 2, 3, 4, 5, 7, 6, 8, 9}) {
        const PickListInfo &list = PickLists::info(number);
        addCommand(lists, QString::fromLatin1(list.menuItem), QString::fromLatin1(list.menuCaption), {},
                   [this, number] { EditAList(number); });
    }
    options->addSeparator();
    QMenu *currency = addMenu(QStringLiteral("MenuCurrency"), QStringLiteral("C&urrency Format"), {}, options);
    addCommand(currency, QStringLiteral("MenuCurrencyUS"), QStringLiteral("&U.S. Dollars"), {}, [this] {
        MenuCurrencyClick(1);
    })->setCheckable(true);
    addCommand(currency, QStringLiteral("MenuCurrencyWin"), QStringLiteral("&Windows Setting"), {}, [this] {
        MenuCurrencyClick(2);
    })->setCheckable(true);
    QMenu *numeric = addMenu(QStringLiteral("MenuNumeric"), QStringLiteral("&Numeric Format"), {}, options);
    addCommand(numeric, QStringLiteral("MenuNumericUS"), QStringLiteral("&U.S. Format"), {}, [this] {
        MenuNumericClick(1);
    })->setCheckable(true);
    addCommand(numeric, QStringLiteral("MenuNumericWin"), QStringLiteral("&Windows Setting"), {}, [this] {
        MenuNumericClick(2);
    })->setCheckable(true);
    QMenu *dates = addMenu(QStringLiteral("MenuDateFormat"), QStringLiteral("&Date Format"), {}, options);
    for (int i = 0; i < DateFormat::Count; ++i)
        addCommand(dates, QString::fromLatin1(dateItems[i]), DateFormat::caption(i + 1), {}, [this, i] {
            MenuDateFormatClick(i + 1);
        })->setCheckable(true);
    dates->addSeparator();
    addCommand(dates, QStringLiteral("MenuLeadingZeros"), QStringLiteral("&Leading Zeros"), {}, [this] {
        MenuLeadingZerosClick();
    })->setCheckable(true);
    options->addSeparator();
    addCommand(options, QStringLiteral("MenuLabelFont"), QStringLiteral("&Label Font"),
               QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { MenuFontClick(m_settings.labelFont); });
    addCommand(options, QStringLiteral("MenuEditFont"), QStringLiteral("&Edit Font"),
               QKeySequence(Qt::SHIFT | Qt::Key_F9), [this] { MenuFontClick(m_settings.editFont); });
    addCommand(options, QStringLiteral("MenuButtonFont"), QStringLiteral("&Button Font"),
               QKeySequence(Qt::SHIFT | Qt::Key_F10), [this] { MenuFontClick(m_settings.buttonFont); });

    addMenu(QStringLiteral("MenuTools"), QStringLiteral("&Tools"), toolCommands);
    addMenu(QStringLiteral("MenuHelp"), QStringLiteral("&Help"), helpCommands);
}

void TMain::checkScreenSize(int windowSize)
{
    for (const auto &[size, name] : screenSizes)
        findChild<QAction *>(QString::fromLatin1(name))->setChecked(size == windowSize);
}

void TMain::checkFormatItems()
{
    for (int i = 0; i < DateFormat::Count; ++i)
        findChild<QAction *>(QString::fromLatin1(dateItems[i]))->setChecked(m_settings.dateFormat == i + 1);
    findChild<QAction *>(QStringLiteral("MenuLeadingZeros"))->setChecked(m_settings.dateLeadingZeros);
    findChild<QAction *>(QStringLiteral("MenuCurrencyUS"))->setChecked(m_settings.currencyFormat == 1);
    findChild<QAction *>(QStringLiteral("MenuCurrencyWin"))->setChecked(m_settings.currencyFormat == 2);
    findChild<QAction *>(QStringLiteral("MenuNumericUS"))->setChecked(m_settings.numericFormat == 1);
    findChild<QAction *>(QStringLiteral("MenuNumericWin"))->setChecked(m_settings.numericFormat == 2);
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
    for (int i = 0; i < 3; ++i) {
        if (auto *a = findChild<QAction *>(QString::fromLatin1(layoutItems[i])))
            a->setChecked(i == mode - 1);
    }
    const bool lettered = mode == 2;
    static const QStringList changing = {QStringLiteral("AddButton"), QStringLiteral("CopyButton"),
                                         QStringLiteral("DeleteButton"), QStringLiteral("ViewerButton")};
    for (QPushButton *button : std::as_const(m_letteredButtons)) {
        button->setVisible(lettered);
        button->setEnabled(lettered && !(m_catalog.browseMode() && changing.contains(button->objectName())));
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

    m_viewerLabel->adjustSize();
    const MainLayout place =
        MainLayout::place(mode, m_client->size(), m_viewerLabel->size(), m_countLabel->fontMetrics().height());
    m_speedPanel->setGeometry(place.speedPanel);
    m_navigator->setGeometry(place.navigator);
    m_navigatorLabel->setGeometry(place.navigatorLabel);
    m_searchOnLabel->setGeometry(place.searchOn);
    m_countLabel->setGeometry(place.count);
    m_count2Label->setGeometry(place.count2);
    m_viewerBevel->setGeometry(place.viewerBevel);
    m_grid->setGeometry(place.grid);
    m_viewerLabel->setGeometry(place.viewerLabel);
    for (int i = 0; i < m_letteredButtons.size(); ++i)
        m_letteredButtons[i]->setGeometry(place.buttons[std::size_t(i)]);
    for (std::size_t i = 0; i < m_bevels.size(); ++i)
        m_bevels[i]->setGeometry(place.bevels[i]);
}

void TMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayout();
}
