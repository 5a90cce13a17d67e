#include "ReportRecording.h"

#include "framework/dbase/LargeVector.h"
#include "framework/ui/WinColor.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t BlockSize = std::size_t(2) << 20;

enum Code : char { TextLatin1 = 1, TextUtf16, Cell, NextBlock };

constexpr std::size_t TextHeader = 1 + 2 + 4 + 4 + 2;
constexpr std::size_t CellSize = 1 + 4 * 4 + 1;
// A rule is a hundredth of an inch wide.
constexpr double RuleWidth = 0.01;
// Beyond any paper.
constexpr double FarthestInches = 1000;

template <typename T> char *put(char *out, T value)
{
    std::memcpy(out, &value, sizeof value);
    return out + sizeof value;
}

template <typename T> T take(const char *&in)
{
    T value;
    std::memcpy(&value, in, sizeof value);
    in += sizeof value;
    return value;
}

} // namespace

ReportRecording::ReportRecording() : m_pageSize(QPageSize::Letter) {}

ReportRecording::~ReportRecording()
{
    for (char *block : m_blocks)
        largeFree(block, BlockSize);
}

QSizeF ReportRecording::paperSize() const
{
    const QSizeF size = m_pageSize.size(QPageSize::Inch);
    return m_orientation == QPageLayout::Landscape ? size.transposed() : size;
}

std::size_t ReportRecording::memoryUsed() const
{
    return m_blocks.size() * BlockSize + m_pages.capacity() * sizeof(Page) + m_fonts.capacity() * sizeof(ReportFont);
}

void ReportRecording::start(const QPageSize &size, QPageLayout::Orientation orientation)
{
    clearPages();
    m_fonts.clear();
    m_pageSize = size;
    m_orientation = orientation;
}

void ReportRecording::clearPages()
{
    // The first block stays for the next pages.
    for (std::size_t i = 1; i < m_blocks.size(); ++i)
        largeFree(m_blocks[i], BlockSize);
    m_blocks.resize(std::min<std::size_t>(m_blocks.size(), 1));
    m_used = 0;
    m_pages.clear();
}

int ReportRecording::addFont(const ReportFont &font)
{
    const auto found = std::find(m_fonts.begin(), m_fonts.end(), font);
    if (found != m_fonts.end())
        return int(found - m_fonts.begin());
    m_fonts.push_back(font);
    return int(m_fonts.size() - 1);
}

ReportRecording::Position ReportRecording::position() const
{
    if (m_blocks.empty())
        return {0, 0};
    return {std::uint32_t(m_blocks.size() - 1), std::uint32_t(m_used)};
}

char *ReportRecording::reserve(std::size_t bytes)
{
    if (m_blocks.empty() || BlockSize - m_used < bytes + 1) {
        if (!m_blocks.empty())
            m_blocks.back()[m_used] = NextBlock;
        m_blocks.push_back(static_cast<char *>(largeAllocate(BlockSize)));
        m_used = 0;
    }
    char *out = m_blocks.back() + m_used;
    m_used += bytes;
    return out;
}

void ReportRecording::beginPage()
{
    if (m_blocks.empty())
        reserve(0);
    m_pages.push_back({position(), position()});
}

void ReportRecording::endPage()
{
    m_pages.back().end = position();
}

void ReportRecording::addText(int font, double x, double baseline, QStringView text)
{
    const std::uint16_t length = std::uint16_t(std::min<qsizetype>(text.size(), 0xFFFF));
    text = text.first(length);
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; });
    char *out = reserve(TextHeader + (latin1 ? 1 : 2) * std::size_t(length));
    *out++ = latin1 ? TextLatin1 : TextUtf16;
    out = put(out, std::uint16_t(font));
    out = put(out, float(x));
    out = put(out, float(baseline));
    out = put(out, length);
    if (latin1) {
        for (QChar c : text)
            *out++ = char(c.unicode());
    } else {
        std::memcpy(out, text.utf16(), 2 * std::size_t(length));
    }
}

void ReportRecording::addCell(double x, double y, double width, double height, int rules)
{
    char *out = reserve(CellSize);
    *out++ = Cell;
    out = put(out, float(x));
    out = put(out, float(y));
    out = put(out, float(width));
    out = put(out, float(height));
    put(out, std::uint8_t(rules));
}

void ReportRecording::forEach(int page, const std::function<void(const Operation &)> &visit) const
{
    if (page < 0 || page >= pageCount())
        return;
    const Page &p = m_pages[std::size_t(page)];
    std::uint32_t block = p.begin.block;
    const char *in = m_blocks[block] + p.begin.offset;
    const char *const end = m_blocks[p.end.block] + p.end.offset;
    Operation op;
    while (in != end) {
        const char code = *in++;
        if (code == NextBlock) {
            in = m_blocks[++block];
            continue;
        }
        if (code == Cell) {
            op.kind = Operation::Kind::Cell;
            const double x = take<float>(in);
            const double y = take<float>(in);
            const double w = take<float>(in);
            const double h = take<float>(in);
            op.cell = QRectF(x, y, w, h);
            op.rules = take<std::uint8_t>(in);
        } else {
            op.kind = Operation::Kind::Text;
            op.font = take<std::uint16_t>(in);
            const double x = take<float>(in);
            const double y = take<float>(in);
            op.at = QPointF(x, y);
            const std::uint16_t length = take<std::uint16_t>(in);
            if (code == TextLatin1) {
                op.text = QString::fromLatin1(in, length);
                in += length;
            } else {
                op.text = QString(reinterpret_cast<const QChar *>(in), length);
                in += 2 * std::size_t(length);
            }
        }
        visit(op);
    }
}

void ReportRecording::replay(int page, QPainter &painter, const QRectF &target, bool monochrome) const
{
    if (page < 0 || page >= pageCount())
        return;
    const QPaintDevice *device = painter.device();
    const double dpiX = device->logicalDpiX();
    const double dpiY = device->logicalDpiY();
    const QSizeF paper = paperSize();

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / (paper.width() * dpiX), target.height() / (paper.height() * dpiY));
    painter.setRenderHint(QPainter::TextAntialiasing);
    // The part of the paper to draw, in inches; a text reaches at most one and a
    // half of its sizes above and below its baseline.
    QRectF visible(QPointF(-FarthestInches, -FarthestInches), QPointF(FarthestInches, FarthestInches));
    if (painter.hasClipping()) {
        const QRectF clip = painter.clipBoundingRect();
        visible = QRectF(clip.x() / dpiX, clip.y() / dpiY, clip.width() / dpiX, clip.height() / dpiY);
    }
    std::vector<QFont> fonts;
    std::vector<double> reach;
    fonts.reserve(m_fonts.size());
    reach.reserve(m_fonts.size());
    for (const ReportFont &font : m_fonts) {
        fonts.push_back(ReportFonts::toQFont(font));
        reach.push_back(1.5 * fonts.back().pointSizeF() / 72);
    }
    QPen rule(Qt::black);
    rule.setWidthF(RuleWidth * dpiX);
    rule.setCapStyle(Qt::SquareCap);
    int currentFont = -1;
    forEach(page, [&](const Operation &op) {
        if (op.kind == Operation::Kind::Cell) {
            if (!op.cell.adjusted(-RuleWidth, -RuleWidth, RuleWidth, RuleWidth).intersects(visible))
                return;
            const QRectF cell(op.cell.x() * dpiX, op.cell.y() * dpiY, op.cell.width() * dpiX, op.cell.height() * dpiY);
            painter.setPen(rule);
            if (op.rules & LeftRule)
                painter.drawLine(cell.topLeft(), cell.bottomLeft());
            if (op.rules & RightRule)
                painter.drawLine(cell.topRight(), cell.bottomRight());
            if (op.rules & TopRule)
                painter.drawLine(cell.topLeft(), cell.topRight());
            if (op.rules & BottomRule)
                painter.drawLine(cell.bottomLeft(), cell.bottomRight());
            return;
        }
        const double size = reach[std::size_t(op.font)];
        if (op.at.y() + size < visible.top() || op.at.y() - size > visible.bottom() || op.at.x() > visible.right())
            return;
        if (op.font != currentFont) {
            currentFont = op.font;
            painter.setFont(fonts[std::size_t(op.font)]);
        }
        painter.setPen(monochrome ? Qt::black : WinColor::toQColor(m_fonts[std::size_t(op.font)].color));
        painter.drawText(QPointF(op.at.x() * dpiX, op.at.y() * dpiY), op.text);
    });
    painter.restore();
}
