#pragma once

#include "ReportFont.h"
#include "ReportRecording.h"
#include "TextMetrics.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringView>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// The page-oriented report engine: a run asks its events for the pages one by
// one (a header, a body that says whether another page follows, a footer) and
// the events place text on the page through the operations below. Every
// length is in inches; positions are measured from the paper's top left corner.
//
// The page has margins and a section, a band between a top and a bottom; the
// cursor moves down the section a line at a time, a line as high as the current
// font needs. Text goes into tabs: cells of a line with a position, a width, an
// inner margin, a justification and rules on any of their four sides. What the
// events draw goes to a back end: a printer (TReportPrinter) or pages kept in
// memory (TReportFiler).
class TBaseReport
{
public:
    enum class Justify { Center = 0, Left = 1, Right = 2 };
    // Box-line bits of a tab.
    enum BoxLine { LeftLine = 1, RightLine = 2, TopLine = 4, BottomLine = 8, AllLines = 15 };
    // The position of a tab placed right after the previous one (the first at the left margin).
    static constexpr double AfterPrevious = -32768;

    TBaseReport();
    virtual ~TBaseReport();
    TBaseReport(const TBaseReport &) = delete;
    TBaseReport &operator=(const TBaseReport &) = delete;

    // The printer, by its place among the installed printers, -1 for the
    // system's default. The paper is that printer's, or, with none installed,
    // Letter where the system measures in inches and A4 elsewhere.
    void selectPrinter(int index);
    const QString &printerName() const { return m_printerName; }
    void setPageSize(const QPageSize &size) { m_pageSize = size; }
    const QPageSize &pageSize() const { return m_pageSize; }
    void setOrientation(QPageLayout::Orientation orientation) { m_orientation = orientation; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    void setTitle(const QString &title) { m_title = title; }
    const QString &title() const { return m_title; }
    // The paper as it lies.
    double pageWidth() const;
    double pageHeight() const;

    // Margins (0.5 in each unless set); a margin that is not a number counts as 0.
    void setMarginTop(double inches);
    void setMarginBottom(double inches);
    void setMarginLeft(double inches);
    void setMarginRight(double inches);
    double marginTop() const { return m_marginTop; }
    double marginBottom() const { return m_marginBottom; }
    double marginLeft() const { return m_marginLeft; }
    double marginRight() const { return m_marginRight; }

    // The section: top and bottom as distances from the top of the paper. Each
    // page starts with the section between the top and bottom margins.
    void setSectionTop(double inches);
    void setSectionBottom(double inches);
    double sectionTop() const { return m_sectionTop; }
    double sectionBottom() const { return m_sectionBottom; }
    // The cursor to the first line of the section.
    void home();
    // The top of the current line.
    double yPos() const { return m_y; }
    double lineHeight() const;
    // Whole lines of the current font that still fit above the section's bottom
    // (negative once the cursor has passed it).
    int linesLeft() const;
    void newLine();

    // Tabs, numbered from 1 in the order added. The inner margin is in
    // hundredths of an inch and is kept free on both sides of the text.
    void clearTabs();
    void addTab(Justify justify, int boxLines, int innerMargin, double width, double position = AfterPrevious);
    int tabCount() const { return int(m_tabs.size()); }
    // The room for text in tab `tab`: its width less the inner margins.
    double tabWidth(int tab) const;
    // Goes on to the next tab of the line, draws its rules and `text` justified
    // inside it. Past the last tab nothing is drawn.
    void printTab(QStringView text);

    // Text outside the tabs, on the current line.
    void printCenter(QStringView text, double x);
    // Between the left and right margins.
    void printJustified(QStringView text, Justify justify);

    void setFont(const ReportFont &font);
    double textWidth(QStringView text) const { return metrics().width(text); }
    // The longest start of `text` no wider than `room`.
    QStringView fitText(QStringView text, double room) const { return metrics().fit(text, room); }

    // 1 on the first page.
    int currentPage() const { return m_page; }

    // Status: "%p" in the format stands for the page number, "%0" and "%1" for
    // the two status lines. After each page the run hands the status text to
    // onStatus, which may let the user ask for an abort.
    void setStatusFormat(const QString &format) { m_statusFormat = format; }
    void setStatusLine(int line, const QString &text) { m_statusLines[std::size_t(line)] = text; }
    QString statusText() const;
    // The run ends after the current page.
    void abort() { m_aborted = true; }
    bool aborted() const { return m_aborted; }

    // Runs the report. Errors thrown by the events end the run (which then
    // counts as aborted) and are thrown on.
    void execute();

    std::function<void()> onBeforePrint;
    std::function<void()> onPrintHeader;
    std::function<bool()> onPrintPage; // true when another page follows
    std::function<void()> onPrintFooter;
    std::function<void()> onAfterPrint;
    std::function<void(const QString &status)> onStatus;

protected:
    // Where the pages go. The recording is started before the first page; the
    // back end sees each page when it is done and the end of the run.
    virtual ReportRecording &recording() = 0;
    virtual void beginJob() {}
    virtual void pageDone() {}
    virtual void endJob(bool aborted) { (void)aborted; }

private:
    struct Tab
    {
        Justify justify;
        int boxLines;
        double margin;
        double width;
        double position;
    };
    struct Font
    {
        ReportFont face;
        std::unique_ptr<TextMetrics> metrics; // made when first needed
        int number = -1;                      // in this run's recording, once drawn with
    };

    const TextMetrics &metrics() const;
    void drawText(QStringView text, double x);
    void startPage();

    QString m_printerName;
    QPageSize m_pageSize;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QString m_title;
    double m_marginTop = 0.5;
    double m_marginBottom = 0.5;
    double m_marginLeft = 0.5;
    double m_marginRight = 0.5;
    double m_sectionTop = 0;
    double m_sectionBottom = 0;
    double m_y = 0;
    std::vector<Tab> m_tabs;
    std::size_t m_nextTab = 0;
    mutable std::vector<Font> m_fonts; // every font set so far; the first is the default
    std::size_t m_font = 0;
    int m_page = 0;
    QString m_statusFormat;
    std::array<QString, 2> m_statusLines;
    bool m_aborted = false;
};
