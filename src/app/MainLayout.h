#pragma once

#include <QRect>
#include <QSize>
#include <array>

// Where the main window's controls go in each layout mode (1 speed buttons, 2
// lettered buttons, 3 none), for a client area of a given size: the fixed
// positions of the design, with the grid, its bevel, the search-on label and
// (in mode 3) the navigator following the right and bottom edges.
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

    static MainLayout place(int mode, const QSize &client, const QSize &viewerLabel);
};
