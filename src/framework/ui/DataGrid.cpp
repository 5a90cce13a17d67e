#include "DataGrid.h"

#include "PickListCombo.h"
#include "framework/dbase/DbfTable.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionHeader>

// ---------------------------------------------------------------------------
// DataGridModel

DataGridModel::DataGridModel(const DbfTable &table, QObject *parent) : QAbstractTableModel(parent), m_table(table)
{
    m_dateText = [](const QDate &date) { return date.toString(Qt::ISODate); };
}

void DataGridModel::setColumns(std::vector<GridColumn> columns)
{
    // Typed texts belong to the columns they were typed into: a new set of
    // columns drops the draft.
    beginResetModel();
    m_columns = std::move(columns);
    m_hasDraft = false;
    m_draftTouched = false;
    m_draft.clear();
    endResetModel();
}

void DataGridModel::setEditable(bool editable)
{
    m_editable = editable;
}

void DataGridModel::setDateText(DateText dateText)
{
    m_dateText = std::move(dateText);
    repaintValues();
}

void DataGridModel::setAmountText(AmountText amountText)
{
    m_amountText = std::move(amountText);
    repaintValues();
}

void DataGridModel::setCurrentRow(int row)
{
    const int previous = m_currentRow;
    m_currentRow = row;
    if (previous >= 0 && previous < rowCount())
        emit headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < rowCount())
        emit headerDataChanged(Qt::Vertical, row, row);
}

void DataGridModel::resetRows()
{
    beginResetModel();
    endResetModel();
}

void DataGridModel::startDraft()
{
    if (m_hasDraft)
        return;
    const int row = recordRows();
    beginInsertRows({}, row, row);
    m_hasDraft = true;
    m_draftTouched = false;
    m_draft.assign(m_columns.size(), QString());
    endInsertRows();
}

void DataGridModel::dropDraft()
{
    if (!m_hasDraft)
        return;
    const int row = recordRows();
    beginRemoveRows({}, row, row);
    m_hasDraft = false;
    m_draftTouched = false;
    m_draft.clear();
    endRemoveRows();
}

int DataGridModel::recordRows() const
{
    return m_table.isOpen() ? m_table.recordCount() : 0;
}

void DataGridModel::repaintValues()
{
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int DataGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : recordRows() + (m_hasDraft ? 1 : 0);
}

int DataGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString DataGridModel::displayText(int row, const GridColumn &column, const DateText &dateText) const
{
    if (isDraftRow(row))
        return m_draft[std::size_t(&column - m_columns.data())];
    const DbfRecord record = m_table.recordAt(row);
    switch (column.kind) {
    case GridColumn::Kind::Text:
    case GridColumn::Kind::CheckBox:
        return record.text(column.field);
    case GridColumn::Kind::Whole: {
        const auto value = record.number(column.field);
        return value ? QString::number(qint64(*value)) : QString();
    }
    case GridColumn::Kind::Decimal: {
        const auto value = record.number(column.field);
        if (!value)
            return {};
        return m_amountText ? m_amountText(*value) : QString::number(*value, 'g', 15);
    }
    case GridColumn::Kind::Date: {
        const QDate date = record.date(column.field);
        return date.isValid() ? dateText(date) : QString();
    }
    }
    return {};
}

QVariant DataGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const GridColumn &column = m_columns[std::size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        if (column.kind == GridColumn::Kind::CheckBox)
            return {};
        return displayText(index.row(), column, m_dateText);
    case Qt::EditRole:
        return displayText(index.row(), column, m_dateEditText ? m_dateEditText : m_dateText);
    case Qt::CheckStateRole:
        if (column.kind != GridColumn::Kind::CheckBox)
            return {};
        return displayText(index.row(), column, m_dateText).compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0
                   ? Qt::Checked
                   : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (column.kind == GridColumn::Kind::Whole || column.kind == GridColumn::Kind::Decimal)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool DataGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !m_editable || !m_writer)
        return false;
    const GridColumn &column = m_columns[std::size_t(index.column())];
    QString text;
    if (role == Qt::CheckStateRole && column.kind == GridColumn::Kind::CheckBox)
        text = value.toInt() == Qt::Checked ? QStringLiteral("Yes") : QStringLiteral("No");
    else if (role == Qt::EditRole)
        text = value.toString();
    else
        return false;
    // A cell left as it was is not written again: its value stays exactly as stored.
    if (role == Qt::EditRole && text == data(index, Qt::EditRole).toString())
        return true;
    if (isDraftRow(index.row())) {
        m_draft[std::size_t(index.column())] = text;
        m_draftTouched = true;
        emit dataChanged(index, index);
        return true;
    }
    if (!m_writer(index.row(), column, text))
        return false;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < columnCount())
            return m_columns[std::size_t(section)].label;
        return {};
    }
    if (role == Qt::DisplayRole)
        return section == m_currentRow ? QStringLiteral("\u25B6") : QString();
    return {};
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid() || !m_editable)
        return flags;
    if (m_columns[std::size_t(index.column())].kind == GridColumn::Kind::CheckBox)
        return flags | Qt::ItemIsUserCheckable;
    return flags | Qt::ItemIsEditable;
}

// ---------------------------------------------------------------------------
// DataGridDelegate

void DataGridDelegate::setLines(bool rowLines, bool columnLines)
{
    m_rowLines = rowLines;
    m_columnLines = columnLines;
}

void DataGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!m_rowLines && !m_columnLines)
        return;
    painter->save();
    painter->setPen(QColor(128, 128, 128));
    const QRect r = option.rect;
    if (m_rowLines)
        painter->drawLine(r.bottomLeft(), r.bottomRight());
    if (m_columnLines)
        painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
}

QWidget *DataGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    const auto *model = qobject_cast<const DataGridModel *>(index.model());
    if (model) {
        const GridColumn &column = model->columns()[std::size_t(index.column())];
        if (column.pickList) {
            auto *combo = new QComboBox(parent);
            keepTypedText(combo);
            combo->setFont(option.font);
            combo->setModel(column.pickList->model());
            m_editor = combo;
            return combo;
        }
    }
    m_editor = QStyledItemDelegate::createEditor(parent, option, index);
    return m_editor;
}

void DataGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        combo->setEditText(index.data(Qt::EditRole).toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void DataGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

// ---------------------------------------------------------------------------
// DataGrid

namespace {

// Column titles that do not fit their column end in an ellipsis rather than
// being cut at both ends when centred.
class TitleHeader : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        // The section's padding and border of the grid's style sheet.
        const int room = sectionSize(logicalIndex) - 2 * (3 + 1);
        option->text = fontMetrics().elidedText(option->text, Qt::ElideRight, std::max(room, 0));
    }
};

} // namespace

DataGrid::DataGrid(QWidget *parent) : QTableView(parent), m_delegate(new DataGridDelegate(this))
{
    setHorizontalHeader(new TitleHeader(Qt::Horizontal, this));
    setItemDelegate(m_delegate);
    setShowGrid(false);
    setTabKeyNavigation(true);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    applyOptions(m_options);
}

void DataGrid::setDataModel(DataGridModel *model)
{
    m_model = model;
    setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, &DataGrid::applyColumnWidths);
}

void DataGrid::applyOptions(const Options &options)
{
    m_options = options;
    horizontalHeader()->setVisible(options.titles);
    verticalHeader()->setVisible(options.rowIndicator);
    m_delegate->setLines(options.rowLines, options.columnLines);
    if (options.inPlaceEditing) {
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                        QAbstractItemView::SelectedClicked);
    } else {
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    if (m_model)
        m_model->setEditable(options.inPlaceEditing);
    setFont(options.font);
    horizontalHeader()->setFont(options.titleFont);
    horizontalHeader()->setDefaultAlignment(options.titleAlignment | Qt::AlignVCenter);
    QPalette cells = palette();
    if (options.cellColor.isValid())
        cells.setColor(QPalette::Base, options.cellColor);
    if (options.textColor.isValid())
        cells.setColor(QPalette::Text, options.textColor);
    setPalette(cells);
    QString headerStyle = QStringLiteral("QHeaderView::section { padding: 1px 3px; border: 1px solid #808080;");
    if (options.titleColor.isValid())
        headerStyle += QStringLiteral(" background-color: %1;").arg(options.titleColor.name());
    if (options.titleTextColor.isValid())
        headerStyle += QStringLiteral(" color: %1;").arg(options.titleTextColor.name());
    headerStyle += QLatin1Char('}');
    horizontalHeader()->setStyleSheet(headerStyle);
    verticalHeader()->setStyleSheet(headerStyle);
    const int rowHeight = QFontMetrics(options.font).height() + 4;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setFixedWidth(options.rowIndicator ? 14 : 0);
    applyColumnWidths();
}

void DataGrid::applyColumnWidths()
{
    if (!m_model)
        return;
    const int charWidth = QFontMetrics(m_options.font).averageCharWidth();
    for (int c = 0; c < m_model->columnCount(); ++c)
        setColumnWidth(c, m_model->columns()[std::size_t(c)].width * charWidth + 6);
}

void DataGrid::showCurrentRow(int row)
{
    if (!m_model)
        return;
    m_model->setCurrentRow(row);
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_settingRow = true;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = m_model->index(row, std::max(0, std::min(column, m_model->columnCount() - 1)));
    setCurrentIndex(target);
    scrollTo(target);
    m_settingRow = false;
}

void DataGrid::finishEditing(bool store)
{
    QWidget *editor = m_delegate->openEditor();
    if (!editor)
        return;
    if (store)
        commitData(editor);
    closeEditor(editor, store ? QAbstractItemDelegate::NoHint : QAbstractItemDelegate::RevertModelCache);
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_settingRow || !current.isValid() || current.row() == previous.row())
        return;
    if (m_model)
        m_model->setCurrentRow(current.row());
    emit currentRowChanged(current.row(), previous.isValid() ? previous.row() : -1);
}
