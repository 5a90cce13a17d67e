#include "CatalogFields.h"

namespace CatalogFields {

// The book record, in table order: table field name, kind, type letter, width,
// pick-list flag and the display name a field carries until the user renames it.
const std::array<CatalogField, Count> rows = {{
    {"Title", FieldKind::Text, 'C', 90, false, "Title"},
    {"Author", FieldKind::Text, 'C', 90, true, "Author"},
    {"YearPub", FieldKind::Whole, 'N', 4, false, "Year Pub"},
    {"Publisher", FieldKind::Text, 'C', 60, true, "Publisher"},
    {"Category", FieldKind::Text, 'C', 20, true, "Category"},
    {"WherePurch", FieldKind::Text, 'C', 30, true, "Where Purchased"},
    {"Cost", FieldKind::Decimal, 'N', 12, false, "Cost"},
    {"Value", FieldKind::Decimal, 'N', 12, false, "Value"},
    {"Descriptio", FieldKind::Text, 'C', 110, false, "Description"},
    {"ISBN", FieldKind::Text, 'C', 20, false, "ISBN"},
    {"Rating", FieldKind::Text, 'C', 15, true, "Rating"},
    {"PurchDate", FieldKind::Date, 'D', 10, false, "Purchase Date"},
    {"BookType", FieldKind::Text, 'C', 15, true, "Book Type"},
    {"CatalogNum", FieldKind::Text, 'C', 15, false, "Cat Num"},
    {"Sub1", FieldKind::Text, 'C', 6, false, "Sub Cat1"},
    {"Sub2", FieldKind::Text, 'C', 6, false, "Sub Cat2"},
    {"CheckOut", FieldKind::Text, 'C', 3, true, "Checked Out"},
    {"CheckDate", FieldKind::Date, 'D', 10, false, "Check Out Date"},
    {"CheckName", FieldKind::Text, 'C', 30, true, "Check Out Person"},
    {"Volume", FieldKind::Text, 'C', 8, false, "Volume"},
    {"Issue", FieldKind::Text, 'C', 8, false, "Issue"},
    {"Edition", FieldKind::Text, 'C', 10, false, "Edition"},
    {"KeyWords", FieldKind::Text, 'C', 80, false, "Key Words"},
    {"Pages", FieldKind::Whole, 'N', 5, false, "Pages"},
    {"Location", FieldKind::Text, 'C', 30, true, "Location"},
    {"Condition", FieldKind::Text, 'C', 20, true, "Condition"},
    {"Editor", FieldKind::Text, 'C', 30, false, "Editor"},
    {"Dewey", FieldKind::Text, 'C', 20, false, "Dewey Decimal"},
    {"LowMarket", FieldKind::Decimal, 'N', 12, false, "Low Market"},
    {"HighMarket", FieldKind::Decimal, 'N', 12, false, "High Market"},
    {"UserDef1", FieldKind::Text, 'C', 40, false, "User Defined 1"},
    {"UserDef2", FieldKind::Text, 'C', 40, false, "User Defined 2"},
    {"UserDef3", FieldKind::Text, 'C', 40, false, "User Defined 3"},
    {"UserDef4", FieldKind::Text, 'C', 40, false, "User Defined 4"},
    {"UserDef5", FieldKind::Text, 'C', 40, false, "User Defined 5"},
    {"UserDef6", FieldKind::Text, 'C', 40, false, "User Defined 6"},
}};

} // namespace CatalogFields
