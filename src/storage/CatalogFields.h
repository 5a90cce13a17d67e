#pragma once
#include <QString>
#include <array>
enum class FieldKind { Text = 1, Whole = 2, Decimal = 3, Date = 4 };
struct CatalogField
{
    const char *name;
    FieldKind kind;
    char letter;
    int width;
    bool pickList;
    const char *displayName;
};
namespace CatalogFields {
inline constexpr int Count = 36;
// rows 1..36 as in the table; index 0 = row 1
extern const std::array<CatalogField, Count> rows;
inline const CatalogField &row(int number)
{
    return rows[number - 1];
} // number 1..36
} // namespace CatalogFields
