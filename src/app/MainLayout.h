#pragma once

#include <QRect>
#include <QSize>
#include <array>

// Where the main window's controls go in each layout mode (1 speed buttons, 2
// lettered buttons, 3 none), for a client area of a given size: the fixed
// positions of the design, with the grid, its bevel, the search-on label and
// (in mode 3) the navigator following the right and bottom edges. No two
// controls cover each other at any size from the minimum up: the count's two
// lines stand one text line apart, the navigator of mode 1 narrows to the
// width left beside the speed buttons, and in mode 3 "SEARCH ON" stands
// beside the count rather than under the navigator.
struct MainLayout
{
    static constexpr int LetteredButtons = 10;

    QRect speedPanel;
    QRect navigator;
    QRect navigatorLabel;
    QRect searchOn;
    QRect count;
    QRect count2;
    QRect viewerBevel;
    QRect grid;
    QRect viewerLabel;                          // centred over the grid, as wide as its text
    std::array<QRect, LetteredButtons> buttons; // two rows of five
    std::array<QRect, 4> bevels;                // framing the lettered buttons

    // The smallest client area the layout is made for.
    static constexpr QSize Minimum{632, 400};

    // `lineHeight`: the height of a line of the labels' text.
    static MainLayout place(int mode, const QSize &client, const QSize &viewerLabel, int lineHeight);
};
