#include "TMySearch.h"

#include "TSearchOptions.h"
#include "app/Catalog.h"
#include "app/DateFormat.h"
#include "app/MyTable.h"
#include "app/WindowLook.h"
#include "edit/PickLists.h"
#include "framework/Error.h"
#include "framework/ui/HelpService.h"
#include "framework/ui/MessageService.h"
#include "framework/ui/WaitCursor.h"
#include "storage/CatalogFields.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

constexpr int NameColumn = 0;
constexpr int ButtonColumn = 1;
constexpr int CriterionColumn = 2;

// Only the criteria take the cursor: Tab and the arrow keys go from criterion
// to criterion, and Tab leaves the grid after the last one.
class SearchGrid : public QTableWidget
{
public:
    using QTableWidget::QTableWidget;

protected:
    // A click on the criterion that has the cursor opens its editor at once.
    // Item views wait out the double-click interval first, and the keys typed
    // meanwhile are lost; a double click means nothing more here.
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override
    {
        return QTableWidget::edit(index, trigger == SelectedClicked ? DoubleClicked : trigger, event);
    }

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        const int row = currentRow();
        switch (action) {
        case MoveNext:
        case MoveDown:
            return row + 1 < rowCount() ? model()->index(row + 1, CriterionColumn) : QModelIndex();
        case MovePrevious:
        case MoveUp:
            return row > 0 ? model()->index(row - 1, CriterionColumn) : QModelIndex();
        default: {
            const QModelIndex to = QTableWidget::moveCursor(action, modifiers);
            return to.isValid() ? model()->index(to.row(), CriterionColumn) : to;
        }
        }
    }
};

} // namespace

// The criterion cells' editor: a line edit with the row's mask, whose text,
// unfilled places as blanks, becomes the cell's text once the user typed.
class CriterionDelegate : public QStyledItemDelegate
{
public:
    using MaskFor = std::function<QString(int row)>; // Qt input mask of a row 1-36

    CriterionDelegate(MaskFor maskFor, QObject *parent) : QStyledItemDelegate(parent), m_maskFor(std::move(maskFor)) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *edit = new QLineEdit(parent);
        edit->setFrame(false);
        m_editor = edit;
        return edit;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        const int row = index.row() + 1;
        const QString cell = index.data().toString();
        const QString mask = m_maskFor(row);
        edit->setInputMask(mask);
        if (mask.isEmpty()) {
            edit->setMaxLength(CatalogFields::row(row).width);
            edit->setText(cell);
        } else {
            // Each character into its own place, so that unfilled places stay
            // where they were.
            edit->setText(QString());
            const std::vector<bool> places = SearchRows::inputPlaces(mask);
            for (qsizetype i = 0; i < cell.size() && std::size_t(i) < places.size(); ++i) {
                if (places[std::size_t(i)] && cell[i] != QLatin1Char(' ')) {
                    edit->setCursorPosition(int(i));
                    edit->insert(cell.mid(i, 1));
                }
            }
            edit->setCursorPosition(0);
        }
        edit->setModified(false);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        if (edit->isModified())
            model->setData(index, edit->displayText());
    }

    // Writes what was typed into the open cell to the cell.
    void commit()
    {
        if (m_editor && m_editor->isModified()) {
            emit commitData(m_editor);
            m_editor->setModified(false);
        }
    }

private:
    MaskFor m_maskFor;
    mutable QPointer<QLineEdit> m_editor;
};

namespace {

QPushButton *makeButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    // Enter stores the typed criterion; it never runs a command.
    button->setAutoDefault(false);
    return button;
}

QTableWidgetItem *fixedItem()
{
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

TMySearch::TMySearch(Catalog &catalog, const WindowLook &look, QWidget *parent)
    : QDialog(parent), m_catalog(catalog), m_look(look)
{
    setObjectName(QStringLiteral("MySearch"));
    setWindowTitle(QStringLiteral("Search"));
    m_operators.fill(1);

    m_grid = new SearchGrid(SearchRows::Count, 3, this);
    m_grid->setObjectName(QStringLiteral("SearchGrid"));
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->setHorizontalHeaderLabels({QStringLiteral(" FIELD"), QString(), QString()});
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_grid->setMinimumHeight(GridDesignHeight);
    m_designRowHeight = m_grid->verticalHeader()->defaultSectionSize();
    for (int r = 0; r < SearchRows::Count; ++r) {
        m_grid->setItem(r, NameColumn, fixedItem());
        QTableWidgetItem *button = fixedItem();
        if (SearchRows::hasOptions(r + 1)) {
            button->setText(QStringLiteral("..."));
            button->setTextAlignment(Qt::AlignCenter);
            button->setBackground(QColor(128, 128, 128));
        }
        m_grid->setItem(r, ButtonColumn, button);
        m_grid->setItem(r, CriterionColumn, new QTableWidgetItem);
    }
    m_delegate = new CriterionDelegate(
        [this](int row) {
            return SearchRows::inputMask(SearchGridGetEditMask(row), DateFormat::current().separator());
        },
        m_grid);
    m_grid->setItemDelegateForColumn(CriterionColumn, m_delegate);
    m_grid->viewport()->installEventFilter(this);

    auto *okButton = makeButton(QStringLiteral("OkButton"), QStringLiteral("&Ok"), this);
    connect(okButton, &QPushButton::clicked, this, &TMySearch::OkButtonClick);
    auto *exitButton = makeButton(QStringLiteral("ExitButton"), QStringLiteral("E&xit"), this);
    connect(exitButton, &QPushButton::clicked, this, &TMySearch::ExitButtonClick);
    auto *clearButton = makeButton(QStringLiteral("ClearButton"), QStringLiteral("&Clear Search"), this);
    connect(clearButton, &QPushButton::clicked, this, &TMySearch::ClearButtonClick);
    m_moreButton = makeButton(QStringLiteral("MoreButton"), QStringLiteral("&Find More"), this);
    connect(m_moreButton, &QPushButton::clicked, this, &TMySearch::MoreButtonClick);
    auto *helpButton = makeButton(QStringLiteral("HelpButton"), QStringLiteral("&Help"), this);
    connect(helpButton, &QPushButton::clicked, this, &TMySearch::HelpButtonClick);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {okButton, exitButton, clearButton, m_moreButton, helpButton})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1, Qt::AlignHCenter);
    layout->addLayout(buttons);
}

QString TMySearch::SearchGridGetEditMask(int row) const
{
    return SearchRows::editMask(row, rowOperator(row));
}

// ---------------------------------------------------------------------------
// Showing

void TMySearch::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TMySearch::FormShow()
{
    if (!m_dimensionsRecorded) {
        m_dimensions.record(this);
        m_dimensionsRecorded = true;
    }
    m_dimensions.restore(this);
    WindowStyle::applyFonts(this, m_look.fonts());
    // The window scales as a whole, from its design pixels each time.
    m_grid->setColumnWidth(NameColumn, 200);
    m_grid->setColumnWidth(ButtonColumn, 20);
    m_grid->setColumnWidth(CriterionColumn, 358);
    m_grid->setFixedWidth(200 + 20 + 358 + 20);
    m_grid->setMinimumHeight(GridDesignHeight);
    m_grid->setMaximumHeight(QWIDGETSIZE_MAX);
    m_grid->verticalHeader()->setDefaultSectionSize(m_designRowHeight);
    WindowStyle::scale(this, m_look.scaleFactor());
    // The window keeps its place between showings, a little higher each time.
    if (m_placed) {
        if (y() > 10)
            move(x(), y() - 10);
        WindowStyle::fitToScreen(this);
    } else {
        WindowStyle::centre(this);
        m_placed = true;
    }

    const Settings &settings = m_catalog.settings();
    for (int r = 0; r < SearchRows::Count; ++r)
        m_grid->item(r, NameColumn)->setText(QLatin1Char(' ') + settings.displayNames[std::size_t(r)]);
    // A fresh cell editor, with the masks of the date format in force.
    m_grid->setCurrentIndex(QModelIndex());
    m_criteria.ClearSearch();
    clearCriteria();
    showLevel();
    m_moreButton->setEnabled(true);
    SetColors();
    m_grid->setCurrentCell(0, CriterionColumn);
    // The first criterion's editor, open already, takes the keys typed at once.
    m_grid->setFocus();
    if (QWidget *editor = m_grid->indexWidget(m_grid->currentIndex()))
        editor->setFocus();
}

void TMySearch::SetColors()
{
    WindowStyle::applyColors(this, m_catalog.settings().searchColors);
}

void TMySearch::clearCriteria()
{
    for (int r = 0; r < SearchRows::Count; ++r)
        m_grid->item(r, CriterionColumn)->setText(QString());
}

void TMySearch::showLevel()
{
    m_grid->horizontalHeaderItem(CriterionColumn)
        ->setText(QStringLiteral(" SEARCH CRITERIA    (Level %1)").arg(m_criteria.level()));
}

// ---------------------------------------------------------------------------
// The "..." cells

bool TMySearch::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_grid->viewport() && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                                          type == QEvent::MouseButtonDblClick)) {
        const QPoint position = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (type == QEvent::MouseButtonRelease)
            SearchGridMouseUp(position);
        else
            SearchGridMouseDown(position);
        // The field names and the "..." cells never take the cursor.
        const int column = m_grid->columnAt(position.x());
        return column == NameColumn || column == ButtonColumn;
    }
    return QDialog::eventFilter(watched, event);
}

void TMySearch::SearchGridMouseDown(const QPoint &position)
{
    m_pressedCell = QPoint(m_grid->columnAt(position.x()), m_grid->rowAt(position.y()));
}

void TMySearch::SearchGridMouseUp(const QPoint &position)
{
    const QPoint cell(m_grid->columnAt(position.x()), m_grid->rowAt(position.y()));
    const bool same = cell == m_pressedCell;
    m_pressedCell = QPoint(-1, -1);
    if (same && cell.x() == ButtonColumn && cell.y() >= 0)
        chooseOption(cell.y() + 1);
}

void TMySearch::chooseOption(int row)
{
    const SearchRows::Type type = SearchRows::type(row);
    const bool byOperator = type == SearchRows::Type::Numeric || type == SearchRows::Type::Date;
    QStringList values;
    if (row == SearchRows::CheckOutRow) {
        values = {QStringLiteral("YES"), QStringLiteral("NO")};
    } else if (!byOperator) {
        const auto &lists = PickLists::table();
        const auto list = std::find_if(lists.begin(), lists.end(), [row](const auto &l) { return l.fieldRow == row; });
        if (list == lists.end())
            return;
        if (const PickLists *pickLists = m_catalog.pickLists())
            values = pickLists->entries(list->number);
    }

    m_delegate->commit();
    TSearchOptions options(m_catalog.settings().displayNames[std::size_t(row - 1)], m_look.fonts(),
                           m_look.scaleFactor(), this);
    if (byOperator) {
        options.LoadList(
            {QStringLiteral(" = "), QStringLiteral(" > "), QStringLiteral(" < "), QStringLiteral(" > X < ")});
        options.select(rowOperator(row) - 1);
    } else {
        options.LoadList(values);
    }
    if (options.exec() != QDialog::Accepted || options.selectedIndex() < 0)
        return;

    QTableWidgetItem *cell = m_grid->item(row - 1, CriterionColumn);
    if (byOperator) {
        m_operators[std::size_t(row - 1)] = options.selectedIndex() + 1;
        cell->setText(
            SearchRows::applyOperator(cell->text(), row, rowOperator(row), DateFormat::current().separator()));
        // An editor open on the row still has the old mask: it takes the new
        // one when it opens again.
        if (m_grid->currentRow() == row - 1)
            m_grid->setCurrentCell(row == SearchRows::Count ? row - 2 : row, CriterionColumn);
    } else {
        cell->setText(options.selectedText());
    }
    m_grid->setCurrentCell(row - 1, CriterionColumn);
}

// ---------------------------------------------------------------------------
// Commands

bool TMySearch::SaveFields()
{
    m_delegate->commit();
    SearchCriteria::Page page;
    for (int r = 0; r < SearchRows::Count; ++r)
        page[std::size_t(r)] = m_grid->item(r, CriterionColumn)->text();
    const SearchCriteria::Result result = m_criteria.SaveFields(page, m_operators, DateFormat::current());
    switch (result.outcome) {
    case SearchCriteria::Outcome::Stored:
        return true;
    case SearchCriteria::Outcome::Invalid:
        MessageService::error(this, QStringLiteral("Invalid search criteria entered.  Please correct."));
        m_grid->setCurrentCell(result.row - 1, CriterionColumn);
        return false;
    case SearchCriteria::Outcome::TooMany:
        MessageService::error(this, QStringLiteral("More than 75 search items have been entered.  This exceeds the "
                                                   "maximum allowable.  Search criteria will be cleared."));
        ClearSearch();
        return false;
    case SearchCriteria::Outcome::NoCriteria:
        MessageService::error(this, QStringLiteral("No search criteria entered."));
        m_grid->setFocus();
        return false;
    }
    return false;
}

void TMySearch::ClearSearch()
{
    clearCriteria();
    m_criteria.ClearSearch();
    m_moreButton->setEnabled(true);
    showLevel();
    m_grid->setFocus();
}

void TMySearch::ClearButtonClick()
{
    ClearSearch();
}

void TMySearch::MoreButtonClick()
{
    if (SaveFields()) {
        clearCriteria();
        m_criteria.nextLevel();
        showLevel();
        m_moreButton->setEnabled(m_criteria.canFindMore());
    }
    m_grid->setFocus();
}

void TMySearch::ExitButtonClick()
{
    m_moreButton->setEnabled(true);
    reject();
}

void TMySearch::HelpButtonClick()
{
    HelpService::showTopic(this, QStringLiteral("Search Window"));
}

void TMySearch::OkButtonClick()
{
    m_moreButton->setEnabled(true);
    if (!SaveFields())
        return;
    bool found = false;
    try {
        found = runSearch();
    } catch (const Error &e) {
        MessageService::error(this, e.message());
        return;
    }
    if (found) {
        accept();
        return;
    }
    MessageService::inform(this, QStringLiteral("Notice"),
                           QStringLiteral("No valid matches found.  Search Criteria will be cleared."));
    ClearSearch();
}

// The main window's filter gets its own copy of the stored criteria, prepared
// for its table: it keeps them until the next search runs or the search ends.
bool TMySearch::runSearch()
{
    WaitCursor wait;
    if (m_catalog.searchOn())
        m_catalog.reopenTable();
    const SearchTest test(m_criteria.items(), m_catalog.table().engine());
    m_catalog.setSearchTest([test](const DbfRecord &record) { return test.BuildFilter(record); });
    m_catalog.EnableEndSearch();
    m_catalog.table().refresh();
    if (m_catalog.table().recordCount() > 0)
        return true;
    m_catalog.DoEndSearch();
    return false;
}
