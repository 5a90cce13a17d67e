#pragma once

#include "TBaseReport.h"

#include <QPainter>

class QPrinter;

// Draws each page on a printer (or a PDF file a printer writes) as soon as it is
// done: the page is recorded and replayed at once, so that it looks exactly as
// the same page recorded and printed later.
class TReportPrinter : public TBaseReport
{
public:
    // The printer's paper, orientation and document name are set from the
    // engine's when the run starts; the selected printer is used only when
    // `printer` prints to a printer and not to a file.
    explicit TReportPrinter(QPrinter &printer) : m_printer(printer) {}

protected:
    ReportRecording &recording() override { return m_page; }
    void beginJob() override;
    void pageDone() override;
    void endJob(bool aborted) override;

private:
    QPrinter &m_printer;
    ReportRecording m_page;
    QPainter m_painter;
};
