#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <vector>

class DbfTable;
class QComboBox;

// One column of a data-aware grid: an engine field shown under a label, so many
// characters wide, drawn and edited according to its kind.
struct GridColumn
{
    enum class Kind { Text, Whole, Decimal, Date, CheckBox };

    int field = 0;
    QString label;
    int width = 15; // in characters of the grid font
    Kind kind = Kind::Text;
    QComboBox *pickList = nullptr; // in-cell combo box offering this list's items
};

// The rows of a data-aware grid are the table's visible records, read straight
// from the engine when painted: no work per row beyond the rows on screen.
class DataGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Stores a value typed into a cell of `row`; answers whether it was stored.
    using Writer = std::function<bool(int row, const GridColumn &column, const QString &value)>;
    using DateText = std::function<QString(const QDate &)>;
    using AmountText = std::function<QString(double)>;

    DataGridModel(const DbfTable &table, QObject *parent = nullptr);

    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn> &columns() const { return m_columns; }
    void setEditable(bool editable);
    void setWriter(Writer writer) { m_writer = std::move(writer); }
    void setDateText(DateText dateText);
    // How a date is put into the cell editor; the shown text when not set.
    void setDateEditText(DateText dateEditText) { m_dateEditText = std::move(dateEditText); }
    // How the amounts of decimal columns are shown and put into the cell editor.
    void setAmountText(AmountText amountText);
    void setCurrentRow(int row); // marked by the row indicator

    // The visible records changed: rows are counted again.
    void resetRows();

    // A new row the user is filling in, below the records: it holds the typed
    // texts only, so that nothing reaches the table until the row is stored
    // (typed into, then left or posted) and nothing at all when it is dropped.
    void startDraft();
    void dropDraft();
    bool hasDraft() const { return m_hasDraft; }
    bool isDraftRow(int row) const { return m_hasDraft && row == recordRows(); }
    bool draftTouched() const { return m_draftTouched; }
    // The draft's typed texts by column, empty where nothing was typed.
    const std::vector<QString> &draft() const { return m_draft; }
    // The values changed but not the rows (a new date format, say).
    void repaintValues();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int recordRows() const;
    QString displayText(int row, const GridColumn &column, const DateText &dateText) const;

    const DbfTable &m_table;
    std::vector<GridColumn> m_columns;
    bool m_editable = false;
    int m_currentRow = -1;
    Writer m_writer;
    DateText m_dateText;
    DateText m_dateEditText;
    AmountText m_amountText;
    bool m_hasDraft = false;
    bool m_draftTouched = false;
    std::vector<QString> m_draft;
};

// Draws the cell lines the grid is set to show and gives pick-list columns an
// editable combo box as their editor.
class DataGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setLines(bool rowLines, bool columnLines);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    QWidget *openEditor() const { return m_editor; }

private:
    mutable QPointer<QWidget> m_editor;
    bool m_rowLines = true;
    bool m_columnLines = true;
};

// The data-aware grid: a table view over a DataGridModel with the options of a
// classic database grid (titles, row and column lines, row indicator, in-place
// editing or whole-row selection, colours and fonts).
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    struct Options
    {
        bool titles = true;
        bool rowLines = true;
        bool columnLines = true;
        bool rowIndicator = true;
        bool inPlaceEditing = false;
        QColor cellColor;
        QColor titleColor;
        Qt::Alignment titleAlignment = Qt::AlignHCenter;
        QFont font;
        QFont titleFont;
        QColor textColor;
        QColor titleTextColor;
    };

    explicit DataGrid(QWidget *parent = nullptr);

    DataGridModel *dataModel() const { return m_model; }
    void setDataModel(DataGridModel *model);
    void applyOptions(const Options &options);
    const Options &options() const { return m_options; }
    // Column widths from the columns' widths in characters of the grid font.
    void applyColumnWidths();
    // Selects a row without telling anyone that the user did.
    void showCurrentRow(int row);
    // Closes the cell editor that is open, storing its value or dropping it.
    void finishEditing(bool store);

signals:
    // The user moved to another row; `previous` is the row left (-1: none).
    void currentRowChanged(int row, int previous);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    DataGridModel *m_model = nullptr;
    DataGridDelegate *m_delegate = nullptr;
    Options m_options;
    bool m_settingRow = false;
};
