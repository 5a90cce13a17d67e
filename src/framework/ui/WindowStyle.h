#pragma once

#include <QFont>

class QWidget;

// How dialogs take the user's fonts: each control takes the name and style (not
// the size) of the font that belongs to its kind: labels, list boxes, check
// boxes, radio buttons and group boxes the label font; edits, masked edits,
// string grids and combo boxes the edit font; buttons the button font.
namespace WindowStyle {

struct Fonts
{
    QFont label;
    QFont edit;
    QFont button;
};

void applyFonts(QWidget *window, const Fonts &fonts);

} // namespace WindowStyle
