#pragma once

#include "Settings.h"
#include "framework/ui/DataGrid.h"

#include <functional>
#include <vector>

class DbfTable;
class MyTable;

// The viewer grid's persistent field objects: one per book field, in column
// order, each with its label, width and visibility. They start in table order
// under the default display names and follow the viewer configuration as the
// grid's field editor would: position p shows the first field whose Field
// Order is p (field 1 when none is), each shown field moving to the next
// column; a field no position claims keeps its place.
class ViewerColumns
{
public:
    ViewerColumns();

    void apply(const Settings &settings);
    // Every column visible again (before a new configuration is applied).
    void showAll();

    // The grid's columns over the open table: engine fields, kinds (the Checked
    // Out field as a Yes/No check box), and the in-cell combo box of each field
    // that has a pick list.
    std::vector<GridColumn> columns(const MyTable &table, const std::function<QComboBox *(int row)> &pickList) const;
    // The field rows shown, in column order.
    std::vector<int> shownRows() const;

    // Stores the text typed into a cell of the current record, converted by the
    // column's kind (numbers with "." as the decimal point, dates in the current
    // format). Throws DbfError with the user's message when it does not convert
    // or cannot be stored.
    static void storeCell(DbfTable &table, const GridColumn &column, const QString &value);

private:
    struct Field
    {
        int row;
        bool visible;
        QString label;
        int width;
    };
    std::vector<Field> m_fields;
};
