#include "TReportPrinter.h"

#include "ReportPrinting.h"
#include "framework/Error.h"

#include <QPrinter>

void TReportPrinter::beginJob()
{
    if (!printerName().isEmpty() && m_printer.outputFormat() == QPrinter::NativeFormat)
        m_printer.setPrinterName(printerName());
    m_printer.setDocName(title());
    ReportPrinting::begin(m_painter, m_printer, pageSize(), orientation());
}

void TReportPrinter::pageDone()
{
    if (currentPage() > 1)
        m_printer.newPage();
    m_page.replay(0, m_painter, ReportPrinting::paper(m_printer, m_page.paperSize()));
    m_page.clearPages();
}

void TReportPrinter::endJob(bool aborted)
{
    if (aborted)
        m_printer.abort();
    m_painter.end();
}
