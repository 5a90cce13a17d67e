#pragma once

#include <QString>
#include <array>
#include <vector>

struct FieldDef;

// The catalog table: the dBASE table of book records laid out by the field
// definition table, with the one index tag "NewIndex" built from the sort levels.
namespace CatalogTable {

inline const QString IndexTag = QStringLiteral("NewIndex");

// The four sort levels (Primary, Secondary, Third, Fourth): row numbers 1-36 of
// the field definition table, 0 for none.
using SortLevels = std::array<int, 4>;

// The index expression for the sort levels: text fields as
// Upper(Left(F,w)) with w = 80 / the number of levels in use, whole numbers as
// STR(F,12,0), decimal numbers as STR(F,12,2), dates as DTOS(F), joined by "+".
// Empty when no level is in use.
QString sortString(const SortLevels &levels);

// The field definitions of a new catalog table, in record order.
std::vector<FieldDef> fieldDefinitions();

// Creates an empty catalog table at path, replacing an existing file. Answers
// whether the table file exists afterwards. Engine errors are thrown.
bool create(const QString &path);

// Throws DbfError when the file is not a catalog table: with the engine's
// message when it cannot be opened as a dBASE table at all, otherwise with the
// refusal shown to the user. Clears the production-index flag first when the
// table's .MDX is missing.
void checkFormat(const QString &path);

// Writes a zero at offset 28 of the table file (no production index). Does
// nothing when the file cannot be written.
void clearProductionIndexFlag(const QString &path);

} // namespace CatalogTable
