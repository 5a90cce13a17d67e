#include "TFilePreview.h"

#include "ReportRecording.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 14> ZoomSteps = {10, 25, 33.3, 50, 75, 100, 125, 150, 200, 300, 400, 600, 800, 1000};
// Factors closer than this count as the same.
constexpr double ZoomTolerance = 0.05;

} // namespace

TFilePreview::TFilePreview(QWidget *parent) : QAbstractScrollArea(parent)
{
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void TFilePreview::start(const ReportRecording &recording)
{
    m_recording = &recording;
    m_page = 0;
    goToPage(firstPage());
    updateScrollBars();
}

void TFilePreview::end()
{
    m_recording = nullptr;
    m_page = 0;
    updateScrollBars();
    viewport()->update();
}

int TFilePreview::pageCount() const
{
    return m_recording ? m_recording->pageCount() : 0;
}

void TFilePreview::goToPage(int page)
{
    if (!m_recording || pageCount() == 0)
        return;
    page = std::clamp(page, firstPage(), pageCount());
    if (page == m_page)
        return;
    m_page = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit pageChanged(m_page);
}

void TFilePreview::setZoomFactor(double percent)
{
    if (!std::isfinite(percent))
        return;
    percent = std::clamp(percent, MinZoom, MaxZoom);
    if (percent == m_zoom)
        return;
    // The point at the centre of the view stays there.
    const double h = horizontalScrollBar()->value() + viewport()->width() / 2.0;
    const double v = verticalScrollBar()->value() + viewport()->height() / 2.0;
    const double ratio = percent / m_zoom;
    m_zoom = percent;
    updateScrollBars();
    horizontalScrollBar()->setValue(int(std::lround(h * ratio - viewport()->width() / 2.0)));
    verticalScrollBar()->setValue(int(std::lround(v * ratio - viewport()->height() / 2.0)));
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void TFilePreview::zoomIn()
{
    const auto next =
        std::find_if(ZoomSteps.begin(), ZoomSteps.end(), [this](double step) { return step > m_zoom + ZoomTolerance; });
    if (next != ZoomSteps.end())
        setZoomFactor(*next);
}

void TFilePreview::zoomOut()
{
    const auto next = std::find_if(ZoomSteps.rbegin(), ZoomSteps.rend(),
                                   [this](double step) { return step < m_zoom - ZoomTolerance; });
    if (next != ZoomSteps.rend())
        setZoomFactor(*next);
}

QSizeF TFilePreview::paperPixels() const
{
    const QSizeF inches = m_recording ? m_recording->paperSize() : QSizeF(8.5, 11);
    return QSizeF(inches.width() * viewport()->logicalDpiX(), inches.height() * viewport()->logicalDpiY());
}

QSizeF TFilePreview::areaAt(double percent) const
{
    return paperPixels() * (1 + 2 * PageMargin) * percent / 100;
}

// Factors are taken down to a tenth of a percent, the precision they are shown
// with, so that the page never needs a scroll bar at them.
double TFilePreview::fitting(double percent)
{
    return std::clamp(std::floor(percent * 10) / 10, MinZoom, MaxZoom);
}

double TFilePreview::zoomPageWidthFactor() const
{
    // The room beside a vertical scroll bar, which a page as wide as the window
    // is usually too long to do without.
    const QSize room = maximumViewportSize();
    const double full = 100 * room.width() / areaAt(100).width();
    if (std::ceil(areaAt(fitting(full)).height()) <= room.height())
        return fitting(full);
    const double beside = verticalScrollBar()->sizeHint().width();
    return fitting(100 * (room.width() - beside) / areaAt(100).width());
}

double TFilePreview::zoomPageFactor() const
{
    const QSize room = maximumViewportSize();
    const QSizeF area = areaAt(100);
    return fitting(100 * std::min(room.width() / area.width(), room.height() / area.height()));
}

void TFilePreview::setMonochrome(bool monochrome)
{
    m_monochrome = monochrome;
    viewport()->update();
}

void TFilePreview::redraw()
{
    viewport()->update();
}

QRectF TFilePreview::pageRect() const
{
    const QSizeF area = areaAt(m_zoom);
    const QSizeF page = paperPixels() * m_zoom / 100;
    // A page smaller than the view stands in its middle.
    const double left = std::max(0.0, (viewport()->width() - area.width()) / 2) - horizontalScrollBar()->value();
    const double top = std::max(0.0, (viewport()->height() - area.height()) / 2) - verticalScrollBar()->value();
    return QRectF(QPointF(left + (area.width() - page.width()) / 2, top + (area.height() - page.height()) / 2), page);
}

void TFilePreview::updateScrollBars()
{
    const QSizeF area = m_recording ? areaAt(m_zoom) : QSizeF();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(area.width())) - view.width()));
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(area.height())) - view.height()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setPageStep(view.height());
}

void TFilePreview::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (!m_recording || m_page < firstPage())
        return;
    const QRectF page = pageRect();
    const QRectF shown = page.intersected(QRectF(event->rect()));
    if (shown.isEmpty())
        return;
    painter.fillRect(shown, Qt::white);
    painter.setClipRect(shown);
    m_recording->replay(m_page - 1, painter, page, m_monochrome);
}

void TFilePreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TFilePreview::scrollContentsBy(int, int)
{
    viewport()->update();
}
