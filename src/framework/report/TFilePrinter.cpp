#include "TFilePrinter.h"

#include "ReportPrinting.h"
#include "ReportRecording.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QScopeGuard>
#include <algorithm>

void TFilePrinter::print(QPagedPaintDevice &device)
{
    print(device, 1, m_stream.pageCount());
}

void TFilePrinter::print(QPagedPaintDevice &device, int first, int last, int copies)
{
    first = std::max(first, 1);
    last = std::min(last, m_stream.pageCount());
    if (first > last || copies < 1)
        return;
    QPainter painter;
    ReportPrinting::begin(painter, device, m_stream.pageSize(), m_stream.orientation());
    const QRectF paper = ReportPrinting::paper(device, m_stream.paperSize());
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });
    bool firstSheet = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (int page = first; page <= last; ++page) {
            if (!firstSheet)
                device.newPage();
            firstSheet = false;
            m_stream.replay(page - 1, painter, paper);
            if (onPage)
                onPage();
        }
    }
    painter.end();
}
