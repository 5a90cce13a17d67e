#pragma once

#include <QFont>
#include <QString>

// A font as a report names it: a face name, a size in points, four styles and a
// Windows colour value (0x00BBGGRR, 0 = black).
struct ReportFont
{
    QString name;
    int size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int color = 0;

    bool operator==(const ReportFont &) const = default;
};

namespace ReportFonts {

// Sizes outside this range are printed at its nearest end: a stored size may be
// anything, and a glyph taller than the page helps no one.
inline constexpr int MinimumSize = 1;
inline constexpr int MaximumSize = 720;

// The faces the built-in reports name are Windows faces. "Arial" is printed in
// Liberation Sans, "Courier" and "Courier New" in Liberation Mono: faces with the
// same character widths, so that lines are cut where the report was designed to
// cut them. Called once at program start; the whole program then shows those
// names in these faces.
void installSubstitutes();

// The font that prints `font`: its face when installed or substituted, Liberation
// Sans otherwise; without kerning, ligatures and hinting, so that a text is as
// wide as the sum of its characters on every device.
QFont toQFont(const ReportFont &font);

} // namespace ReportFonts
