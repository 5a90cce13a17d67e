#pragma once

#include <QAbstractScrollArea>

class ReportRecording;

// Recorded pages on screen, one at a time, on a grey ground with a margin of
// 2.5 % of the page around it, scrolled when larger than the window. The zoom
// factor is in percent of the paper's real size at the screen's resolution.
// Only the part of the page in view is drawn, so that a page redraws as fast
// at 1000 % as at 10 %.
class TFilePreview : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr double MinZoom = 10;
    static constexpr double MaxZoom = 1000;
    static constexpr double PageMargin = 0.025;

    explicit TFilePreview(QWidget *parent = nullptr);

    // Shows the recording's first page; the recording must outlive the
    // preview or the next end().
    void start(const ReportRecording &recording);
    void end();

    int firstPage() const { return 1; }
    int currentPage() const { return m_page; }
    int pageCount() const;
    // Pages outside the recording go to its first or last page.
    void goToPage(int page);
    void nextPage() { goToPage(m_page + 1); }
    void prevPage() { goToPage(m_page - 1); }

    double zoomFactor() const { return m_zoom; }
    // Kept within MinZoom and MaxZoom.
    void setZoomFactor(double percent);
    // The next step up or down of 10, 25, 33.3, 50, 75, 100, 125, 150, 200,
    // 300, 400, 600, 800 and 1000 %.
    void zoomIn();
    void zoomOut();
    // The factors at which the page with its margins fills the window's width,
    // or shows whole.
    double zoomPageWidthFactor() const;
    double zoomPageFactor() const;

    // Black text only (the recording's colours otherwise).
    bool monochrome() const { return m_monochrome; }
    void setMonochrome(bool monochrome);
    void redraw();

signals:
    void pageChanged(int page);
    void zoomChanged(double percent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    static double fitting(double percent);
    // The paper at 100 %, in screen pixels.
    QSizeF paperPixels() const;
    // The page with its margins at `percent`.
    QSizeF areaAt(double percent) const;
    // Where the page lies in the viewport.
    QRectF pageRect() const;
    void updateScrollBars();

    const ReportRecording *m_recording = nullptr;
    int m_page = 0;
    double m_zoom = 100;
    bool m_monochrome = false;
};
