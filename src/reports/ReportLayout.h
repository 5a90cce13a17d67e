#pragma once

#include "ReportDefinition.h"

#include <QPoint>
#include <QRect>
#include <vector>

// The picture of a report's lines in the layout window, in pixels at the
// window scale factor: the body lines one row each from the body's top, the
// totals line in a row of its own further down, each line's used elements as
// cells across the same width in proportion to their characters. A click is
// mapped back to the line and element under it.
class ReportLayout
{
public:
    // The line number a click in the totals row gives.
    static constexpr int TotalsLine = 100;

    // `designerWidth` is the report width the lines are drawn across (90, 120
    // or 150 characters); `numLines` body lines are drawn (0-12).
    ReportLayout(double scale, int designerWidth, int numLines);

    int left() const { return m_left; }
    int right() const { return m_right; }
    int rowHeight() const { return m_rowHeight; }
    // The top of body line `line` (1-based), or of the totals row for TotalsLine.
    int rowTop(int line) const;
    // The whole canvas the window draws on.
    QSize canvasSize() const;

    // The cells of the used elements of `line` in the row of line `number`.
    // The last used element ends at the right edge.
    std::vector<QRect> cells(const ReportLine &line, int number) const;

    struct Hit
    {
        int line = -1;
        int item = -1; // 1-based
        bool operator==(const Hit &) const = default;
        bool valid() const { return line > 0 && item > 0; }
    };
    // The body line or the totals line under `at`, and the element whose cell
    // holds it. The totals row answers even when the window does not draw it.
    Hit hit(const QPoint &at, const ReportDefinition &definition) const;

private:
    int scaled(int pixels) const;

    double m_scale;
    int m_designerWidth;
    int m_numLines;
    int m_left;
    int m_right;
    int m_bodyTop;
    int m_rowHeight;
    int m_totalsTop;
};
