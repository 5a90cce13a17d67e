#include "MainLayout.h"

#include <algorithm>

MainLayout MainLayout::place(int mode, const QSize &client, const QSize &viewerLabel, int lineHeight)
{
    struct Place
    {
        int navLeft, navTop, navWidth, searchTop, countTop, count2Top, bevelTop, bevelInset, labelTop, gridTop,
            gridInset;
    };
    const int cw = client.width();
    const int ch = client.height();
    const Place places[3] = {
        {424, 3, 241, 44, 38, 52, 34, 37, 38, 70, 77},
        {400, 47, 221, 96, 90, 105, 86, 89, 90, 122, 129},
        {cw - 207, 8, 201, 14, 8, 23, 4, 7, 8, 40, 47},
    };
    mode = std::clamp(mode, 1, 3);
    const Place &p = places[mode - 1];
    MainLayout layout;
    layout.speedPanel = QRect(0, 0, cw, 32);
    const int navWidth = mode == 1 ? std::min(p.navWidth, cw - p.navLeft - 4) : p.navWidth;
    layout.navigator = QRect(p.navLeft, p.navTop, navWidth, 25);
    layout.navigatorLabel = QRect(400, 20, 221, 20);
    layout.searchOn = mode == 3 ? QRect(100, p.searchTop, 100, 20) : QRect(cw - 112, p.searchTop, 100, 20);
    layout.count = QRect(12, p.countTop, 80, std::min(lineHeight, p.count2Top - p.countTop));
    layout.count2 = QRect(12, layout.count.bottom() + 1, 80, lineHeight);
    layout.viewerBevel = QRect(3, p.bevelTop, cw - 6, ch - p.bevelInset);
    layout.grid = QRect(7, p.gridTop, cw - 14, ch - p.gridInset);
    layout.viewerLabel = QRect(QPoint((cw - viewerLabel.width()) / 2, p.labelTop), viewerLabel);
    for (int i = 0; i < LetteredButtons; ++i)
        layout.buttons[std::size_t(i)] = QRect(10 + (i % 5) * 76, i < 5 ? 8 : 47, 72, 30);
    layout.bevels = {QRect(4, 3, 384, 40), QRect(4, 42, 384, 40), QRect(394, 3, 233, 78), QRect(3, 84, cw - 6, 2)};
    return layout;
}
