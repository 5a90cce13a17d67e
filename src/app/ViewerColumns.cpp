#include "ViewerColumns.h"

#include "DateFormat.h"
#include "MyTable.h"
#include "NumberFormat.h"
#include "framework/Error.h"
#include "storage/CatalogFields.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

ViewerColumns::ViewerColumns()
{
    for (int row = 1; row <= CatalogFields::Count; ++row)
        m_fields.push_back({row, true, QString::fromUtf8(CatalogFields::row(row).displayName), 15});
}

void ViewerColumns::showAll()
{
    for (Field &field : m_fields)
        field.visible = true;
}

void ViewerColumns::apply(const Settings &settings)
{
    int nextColumn = 0;
    for (int p = 1; p <= CatalogFields::Count; ++p) {
        int row = 1;
        for (int r = 1; r <= CatalogFields::Count; ++r) {
            if (settings.fieldOrder[std::size_t(r - 1)] == p) {
                row = r;
                break;
            }
        }
        const auto at = std::find_if(m_fields.begin(), m_fields.end(), [row](const Field &f) { return f.row == row; });
        if (!settings.displayFields[std::size_t(row - 1)]) {
            at->visible = false;
            continue;
        }
        Field field = *at;
        field.visible = true;
        field.label = settings.displayNames[std::size_t(row - 1)];
        field.width = settings.fieldWidths[std::size_t(row - 1)];
        m_fields.erase(at);
        m_fields.insert(m_fields.begin() + std::min<std::ptrdiff_t>(nextColumn, std::ptrdiff_t(m_fields.size())),
                        field);
        ++nextColumn;
    }
}

std::vector<int> ViewerColumns::shownRows() const
{
    std::vector<int> rows;
    for (const Field &f : m_fields) {
        if (f.visible)
            rows.push_back(f.row);
    }
    return rows;
}

std::vector<GridColumn> ViewerColumns::columns(const MyTable &table,
                                               const std::function<QComboBox *(int row)> &pickList) const
{
    std::vector<GridColumn> columns;
    for (const Field &f : m_fields) {
        if (!f.visible)
            continue;
        GridColumn column;
        column.field = table.isOpen() ? table.field(f.row) : f.row - 1;
        column.label = f.label;
        column.width = f.width;
        switch (CatalogFields::row(f.row).kind) {
        case FieldKind::Text:
            column.kind = f.row == 17 ? GridColumn::Kind::CheckBox : GridColumn::Kind::Text;
            break;
        case FieldKind::Whole:
            column.kind = GridColumn::Kind::Whole;
            break;
        case FieldKind::Decimal:
            column.kind = GridColumn::Kind::Decimal;
            break;
        case FieldKind::Date:
            column.kind = GridColumn::Kind::Date;
            break;
        }
        column.pickList = pickList(f.row);
        columns.push_back(column);
    }
    return columns;
}

void ViewerColumns::storeCell(DbfTable &table, const GridColumn &column, const QString &value)
{
    switch (column.kind) {
    case GridColumn::Kind::Text:
    case GridColumn::Kind::CheckBox:
        table.setText(column.field, value);
        return;
    case GridColumn::Kind::Decimal: {
        // Amounts are typed as the record editor takes them, in the money format in force.
        const QString text = value.trimmed();
        const std::optional<double> amount = text.isEmpty() ? std::nullopt : NumberFormat::current().parseMoney(text);
        if (!text.isEmpty() && !amount)
            throw DbfError(QStringLiteral("\"%1\" is not a valid number.").arg(text));
        table.setNumber(column.field, amount);
        return;
    }
    case GridColumn::Kind::Whole: {
        const QString text = value.trimmed();
        bool ok = true;
        const double number = text.isEmpty() ? 0 : QLocale::c().toDouble(text, &ok);
        if (!ok || number != std::floor(number))
            throw DbfError(QStringLiteral("\"%1\" is not a valid whole number.").arg(text));
        table.setNumber(column.field, text.isEmpty() ? std::nullopt : std::optional<double>(number));
        return;
    }
    case GridColumn::Kind::Date: {
        const QString text = value.trimmed();
        const QDate date = text.isEmpty() ? QDate() : DateFormat::current().parse(text);
        if (!text.isEmpty() && !date.isValid())
            throw DbfError(QStringLiteral("\"%1\" is not a valid date.").arg(text));
        table.setDate(column.field, date);
        return;
    }
    }
}
