#pragma once

#include "app/Settings.h"

#include <QFont>
#include <QString>
#include <array>
#include <optional>

// The rules of the viewer configuration: what its grids start with, the checks
// and conversions made when it closes, and the text that names a font.
namespace ViewerConfiguration {

inline constexpr int Count = CatalogFields::Count;
inline constexpr int MaxNameLength = 20;
inline constexpr int DefaultWidth = 10;

// What the window's grids hold, field by field in book-record order (index =
// field row - 1), except `orderFields`, which lists the field rows (1-36) in the
// order of the order grid: orderFields[p - 1] is the field at position p.
struct Grids
{
    std::array<QString, Count> names;  // "NAME TO USE"
    std::array<QString, Count> widths; // "WIDTH"
    std::array<QString, Count> shown;  // "DISPLAY IT": "Yes" or "No"
    std::array<int, Count> orderFields;
};

// The grids as the settings fill them.
Grids fromSettings(const Settings &settings);

// Field rows in column order for the stored positions. Positions that are not a
// clean 1-36 permutation (a settings file edited by hand) still give every field
// one place: fields are ordered by position, ties by row number.
std::array<int, Count> orderFromPositions(const std::array<int, Count> &positions);
// The inverse: each field's position (1-36) from the order grid's field rows.
std::array<int, Count> positionsFromOrder(const std::array<int, Count> &orderFields);
// Field rows 1-36: the book-record order that "Defaults" restores.
std::array<int, Count> defaultOrder();

// A display name as it is stored: cut to 20 characters.
QString storedName(const QString &text);
// Two fields whose names would be the same once stored (letter case counts):
// the first pair i < j, i outermost, with the name they share.
struct Duplicate
{
    int first;  // index, field row - 1
    int second; // index, field row - 1
    QString name;
};
std::optional<Duplicate> duplicateName(const std::array<QString, Count> &names);
// The refusal shown for a name two fields share.
QString duplicateMessage(const QString &name);

// A width cell: the trimmed text as a whole number from 1 to 255, else 10.
int width(const QString &text);

// Takes the closing values into the settings: widths (through width()), the
// shown flags (exactly "Yes"), the positions and the stored names. The caller
// has refused duplicate names before.
void store(const Grids &grids, Settings &settings);

// How the window names a font: size, "pt ", family ("12pt Arial").
QString fontText(const QFont &font);

} // namespace ViewerConfiguration
