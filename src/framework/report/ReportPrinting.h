#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QRectF>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

// What every printout of report pages shares: the device is given the report's
// paper and orientation and painted from the paper's corner, margins being the
// report's own business.
namespace ReportPrinting {

// Throws FileError when the device cannot be painted on.
void begin(QPainter &painter, QPagedPaintDevice &device, const QPageSize &size, QPageLayout::Orientation orientation);

// The whole paper in the coordinates of a painter begun on `device`.
QRectF paper(const QPaintDevice &device, const QSizeF &paperInches);

} // namespace ReportPrinting
