#pragma once

#include "ReportDefinition.h"

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class Settings;

// The rules of the report designer's windows: how they show a definition's
// values, read what the user typed, change the report width and fill one cell
// of a line.
namespace ReportDesign {

inline constexpr int MaxNumLines = ReportDefinition::LineCount;
inline constexpr int NameLength = 30;
inline constexpr int TitleLength = 80;
inline constexpr int LabelLength = 40;
inline constexpr int FontNameLength = 50;

// "Arial 10pt".
QString fontText(const ReportFont &font);
// A margin as the designer shows it: "0.50".
QString marginText(double inches);

// A decimal number as typed, with a point or the system's decimal symbol.
std::optional<double> readDecimal(const QString &text);
// The number a text reads as, 0 when it is not a whole number.
int readInteger(const QString &text);
// The number of lines per book, when the text is one from 0 to 12.
std::optional<int> checkedNumLines(const QString &text);

// Changing the report width. The question asked before cutting the lines
// (none when the width grows), the body font size of the new width and the
// notice that tells it (none for 90).
std::optional<QString> widthQuestion(int from, int to);
int bodyFontSizeFor(int width);
QString widthNotice(int width);
// Makes body lines 1..NumLines `width` characters wide and sets the width and
// the body font size; the totals line is left as it is.
void changeWidth(ReportDefinition &definition, int width);

// The four margins as typed (top, bottom, left, right), read as inches. A
// margin that is not a number or is negative is refused, and so are margins
// that leave less than an inch of the paper to print on across or down.
struct Margins
{
    std::array<double, 4> inches{};
    int refused = -1; // the margin to correct, -1 when all are good
    QString message;
};
Margins readMargins(const std::array<QString, 4> &texts, const QSizeF &paperInches);

// The entries a cell may hold: the 36 fields by display name (body lines) or
// the five totals (the totals line), and which entry an element holds (-1 for
// none).
QStringList partEntries(bool totals, const Settings &settings);
int partEntry(const ReportElement &element, bool totals);
// What a body line's field element shows: the display name of the field of
// that name, or the name itself when no field has it.
QString fieldCaption(const QString &name, const Settings &settings);

// A cell width as typed: a whole number, 0 or more.
std::optional<int> readPartWidth(const QString &text);

// Sets element `item` (1-based) of `line` and makes the line `designerWidth`
// wide again.
struct Part
{
    enum class Kind { Filler, Label, Field };
    Kind kind = Kind::Filler;
    int width = 0;
    QString label;  // Label
    int entry = -1; // Field: the entry of partEntries
};
void setPart(ReportLine &line, int item, const Part &part, int designerWidth, bool totals);

} // namespace ReportDesign
