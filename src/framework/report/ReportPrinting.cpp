#include "ReportPrinting.h"

#include "framework/Error.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

namespace ReportPrinting {

void begin(QPainter &painter, QPagedPaintDevice &device, const QPageSize &size, QPageLayout::Orientation orientation)
{
    // A printer may refuse margins below its own: the paper is set apart from
    // them, and a printer paints from the paper's corner whatever its margins.
    if (auto *printer = dynamic_cast<QPrinter *>(&device))
        printer->setFullPage(true);
    device.setPageSize(size);
    device.setPageOrientation(orientation);
    device.setPageMargins(QMarginsF());
    if (!painter.begin(&device))
        throw FileError(QStringLiteral("The report could not be printed: the printer or file cannot be opened."));
}

QRectF paper(const QPaintDevice &device, const QSizeF &paperInches)
{
    return QRectF(0, 0, paperInches.width() * device.logicalDpiX(), paperInches.height() * device.logicalDpiY());
}

} // namespace ReportPrinting
