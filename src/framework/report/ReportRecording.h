#pragma once

#include "ReportFont.h"

#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

// Pages kept in memory: what a report run drew, to be shown by a preview and
// printed later, as often as wanted. Positions are in inches from the top left
// corner of the paper.
//
// The pages are one stream of drawing operations in blocks of 2 MiB, each
// operation a byte code and its operands (little in-memory form, no header):
//   text:  code, font (uint16), x, baseline y (float), length (uint16), then the
//          characters as Latin-1 bytes or UTF-16 units (by the code);
//   cell rules: code, x, y, width, height (float), rule bits (uint8);
//   next block: code only; the stream goes on at the start of the next block.
// A page is the stretch between two positions of the stream.
class ReportRecording
{
public:
    // Rule bits of a cell, as a report's tabs name them.
    enum Rule { LeftRule = 1, RightRule = 2, TopRule = 4, BottomRule = 8 };

    ReportRecording();
    ~ReportRecording();
    ReportRecording(const ReportRecording &) = delete;
    ReportRecording &operator=(const ReportRecording &) = delete;

    int pageCount() const { return int(m_pages.size()); }
    const QPageSize &pageSize() const { return m_pageSize; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    // The paper as it lies: width and height in inches, turned for landscape.
    QSizeF paperSize() const;

    // One drawing operation of a page, in inches: a text at its left end on its
    // baseline, or the rules of a cell.
    struct Operation
    {
        enum class Kind { Text, Cell };
        Kind kind = Kind::Text;
        int font = 0;
        QPointF at;
        QString text;
        QRectF cell;
        int rules = 0;
    };
    // Visits the operations of page `page` (0-based) in the order drawn.
    void forEach(int page, const std::function<void(const Operation &)> &visit) const;

    // Draws page `page` (0-based) into `target`, a rectangle in the painter's
    // coordinates that stands for the whole paper. Text takes its size from the
    // device's resolution, so the painter may be scaled (a zoomed preview) but
    // not stretched unevenly. In monochrome every text is black. What lies
    // outside the painter's clip rectangle, when it has one, is passed over.
    void replay(int page, QPainter &painter, const QRectF &target, bool monochrome = false) const;

    // Bytes held for the pages: blocks, page table and fonts.
    std::size_t memoryUsed() const;

    // Writing, as a report engine does it.
    void start(const QPageSize &size, QPageLayout::Orientation orientation); // drops every page
    void clearPages();                                                       // keeps paper and fonts
    int addFont(const ReportFont &font); // the font's number; the same font gets the same number
    void beginPage();
    void addText(int font, double x, double baseline, QStringView text);
    void addCell(double x, double y, double width, double height, int rules);
    void endPage();

private:
    struct Position
    {
        std::uint32_t block;
        std::uint32_t offset;
    };
    struct Page
    {
        Position begin;
        Position end;
    };

    char *reserve(std::size_t bytes);
    Position position() const;

    QPageSize m_pageSize;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    std::vector<ReportFont> m_fonts;
    std::vector<char *> m_blocks;
    std::size_t m_used = 0; // in the last block
    std::vector<Page> m_pages;
};
