#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <array>
#include <vector>

class QWidget;

// How dialogs take the user's display choices when they are shown: fonts by
// kind of control, the window scale factor, centring, and the window group's
// colour set.
namespace WindowStyle {

struct Fonts
{
    QFont label;
    QFont edit;
    QFont button;
};

// The 13 colours of a window group, Windows colour values (0x00BBGGRR), by slot:
// 0 background, 1 major titles, 2 minor titles, 3/4 edit background/text,
// 5/6 combo box, 7/8 list box, 9/10 radio button, 11/12 check box.
using Colors = std::array<int, 13>;

// Each control takes the name and style (not the size) of the font of its kind:
// labels, list boxes, check boxes, radio buttons and group boxes the label
// font; edits, masked edits, string grids and combo boxes the edit font;
// buttons the button font.
void applyFonts(QWidget *window, const Fonts &fonts);

// Window background slot 0; every label background 0 and text 1 when it is a
// heading (a label whose "heading" property is true), 2 otherwise; edits 3/4,
// combo boxes 5/6, list boxes and list-like grids 7/8, radio buttons 9/10,
// check boxes 11/12 (both drawn on the colour of the page under them); tab
// pages, tab captions and menu titles 0/2; a disabled control's text is faded
// into its background. Buttons keep the system colours.
void applyColors(QWidget *window, const Colors &colors);
// Marks a label as a heading (slot 1).
void markHeading(QWidget *label);
// Marks a control that keeps the system colours whatever the set says.
void keepSystemColors(QWidget *control);
// Marks a radio button that takes the check box colours (11/12).
void colorAsCheckBox(QWidget *radio);

// Multiplies the window as a whole by `factor` (rounded to a hundredth), each
// part once: every font size, the sizes its grids and lists are held to, their
// column widths and row heights, and the window's size (more where its layout
// asks for more). Windows give their geometry in design pixels.
void scale(QWidget *window, double factor);

// Where a window asked for at `wanted` goes on a screen whose available area
// is `available`: at least `minimum` and at most the area large, moved as
// little as needed to lie wholly inside it.
QRect placedWithin(const QRect &wanted, const QSize &minimum, const QRect &available);

// A window larger than its screen's available area shrinks to it (its grids
// and lists scroll rather than holding it large), and is moved into it.
void fitToScreen(QWidget *window);

// Centres the window on its screen, fitted to it; with `moveUp` it then goes
// 10 pixels up when its top is below 10.
void centre(QWidget *window, bool moveUp = false);

// A window made for one showing: the fonts, the size its layout asks for,
// the scale factor, and centred.
void present(QWidget *window, const Fonts &fonts, double factor);

// For the windows that are created once and shown many times: the design size
// and font sizes recorded at creation, put back before each scaling so that
// scaling never accumulates. A window of more than 121 named controls says so
// once (the classic limit), but every part is recorded.
class SavedDimensions
{
public:
    static constexpr int MaxComponents = 121;

    void record(QWidget *window);
    void restore(QWidget *window) const;
    // Each showing: the design size taken (at its layout's size) the first
    // time and put back every time, then the fonts, the scale factor and the
    // window centred.
    void show(QWidget *window, const Fonts &fonts, double factor);

private:
    bool m_recorded = false;
    std::vector<std::pair<QPointer<QWidget>, qreal>> m_fontSizes;
    qreal m_windowFontSize = 0;
    QSize m_size;
};

} // namespace WindowStyle
