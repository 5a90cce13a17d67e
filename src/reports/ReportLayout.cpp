#include "ReportLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// The design, in pixels at scale 1.
constexpr int Left = 4;
constexpr int Right = 629;
constexpr int BodyTop = 75;
constexpr int RowHeight = 20;
constexpr int TotalsTop = 355;
constexpr int CanvasWidth = 633;
constexpr int CanvasHeight = 380;

} // namespace

ReportLayout::ReportLayout(double scale, int designerWidth, int numLines)
    : m_scale(scale), m_designerWidth(std::max(1, designerWidth)),
      m_numLines(std::clamp(numLines, 0, ReportDefinition::LineCount)), m_left(scaled(Left)), m_right(scaled(Right)),
      m_bodyTop(scaled(BodyTop)), m_rowHeight(scaled(RowHeight)), m_totalsTop(scaled(TotalsTop))
{
}

int ReportLayout::scaled(int pixels) const
{
    return int(std::lround(pixels * m_scale));
}

int ReportLayout::rowTop(int line) const
{
    return line == TotalsLine ? m_totalsTop : m_bodyTop + m_rowHeight * (line - 1);
}

QSize ReportLayout::canvasSize() const
{
    return {scaled(CanvasWidth), scaled(CanvasHeight)};
}

std::vector<QRect> ReportLayout::cells(const ReportLine &line, int number) const
{
    // Edges are placed across the drawing's own width, so that a line of the
    // report's width ends at the right edge however wide the window is.
    const int used = line.usedCount();
    const double perCharacter = double(m_right - m_left) / m_designerWidth;
    std::vector<QRect> result;
    result.reserve(std::size_t(used));
    const int top = rowTop(number);
    int sum = 0;
    int from = m_left;
    for (int i = 0; i < used; ++i) {
        sum += line.elements[std::size_t(i)].width;
        int to = i == used - 1 ? m_right : m_left + int(std::lround(perCharacter * sum));
        to = std::clamp(to, from, m_right);
        result.emplace_back(QPoint(from, top), QPoint(to, top + m_rowHeight));
        from = to;
    }
    return result;
}

ReportLayout::Hit ReportLayout::hit(const QPoint &at, const ReportDefinition &definition) const
{
    if (at.x() < m_left || at.x() > m_right)
        return {};
    int number = 0;
    const ReportLine *line = nullptr;
    if (at.y() >= m_bodyTop && at.y() < m_bodyTop + m_rowHeight * m_numLines) {
        number = (at.y() - m_bodyTop) / m_rowHeight + 1;
        line = &definition.bodyLines[std::size_t(number - 1)];
    } else if (at.y() >= m_totalsTop && at.y() < m_totalsTop + m_rowHeight) {
        number = TotalsLine;
        line = &definition.totalsLine;
    } else {
        return {};
    }
    const std::vector<QRect> spans = cells(*line, number);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        // Each cell holds its left edge; the last one its right edge too.
        if (at.x() >= spans[i].left() && (at.x() < spans[i].right() || i == spans.size() - 1))
            return {number, int(i) + 1};
    }
    return {number, -1};
}
