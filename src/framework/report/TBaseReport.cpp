#include "TBaseReport.h"

#include "InstalledPrinters.h"

#include <algorithm>
#include <cmath>

namespace {

// A length stored anywhere may be anything; beyond this no page reaches.
constexpr double FarthestLength = 100;

double sane(double inches)
{
    return std::isfinite(inches) ? std::clamp(inches, -FarthestLength, FarthestLength) : 0.0;
}

} // namespace

TBaseReport::TBaseReport() : m_pageSize(InstalledPrinters::localPaper())
{
    ReportFont standard;
    standard.name = QStringLiteral("Arial");
    m_fonts.push_back({standard, nullptr, -1});
}

TBaseReport::~TBaseReport() = default;

void TBaseReport::selectPrinter(int index)
{
    m_printerName = InstalledPrinters::at(index).name;
    m_pageSize = InstalledPrinters::paperOf(index);
}

double TBaseReport::pageWidth() const
{
    const QSizeF size = m_pageSize.size(QPageSize::Inch);
    return m_orientation == QPageLayout::Landscape ? size.height() : size.width();
}

double TBaseReport::pageHeight() const
{
    const QSizeF size = m_pageSize.size(QPageSize::Inch);
    return m_orientation == QPageLayout::Landscape ? size.width() : size.height();
}

void TBaseReport::setMarginTop(double inches)
{
    m_marginTop = sane(inches);
}

void TBaseReport::setMarginBottom(double inches)
{
    m_marginBottom = sane(inches);
}

void TBaseReport::setMarginLeft(double inches)
{
    m_marginLeft = sane(inches);
}

void TBaseReport::setMarginRight(double inches)
{
    m_marginRight = sane(inches);
}

void TBaseReport::setSectionTop(double inches)
{
    m_sectionTop = sane(inches);
}

void TBaseReport::setSectionBottom(double inches)
{
    m_sectionBottom = sane(inches);
}

void TBaseReport::home()
{
    m_y = m_sectionTop;
    m_nextTab = 0;
}

double TBaseReport::lineHeight() const
{
    return metrics().lineHeight();
}

int TBaseReport::linesLeft() const
{
    // A line that ends exactly on the bottom still fits, whatever the rounding
    // of the steps that led there.
    const double lines = std::floor((m_sectionBottom - m_y) / lineHeight() + 1e-9);
    return int(std::clamp(lines, -1e6, 1e6));
}

void TBaseReport::newLine()
{
    m_y += lineHeight();
    m_nextTab = 0;
}

void TBaseReport::clearTabs()
{
    m_tabs.clear();
    m_nextTab = 0;
}

void TBaseReport::addTab(Justify justify, int boxLines, int innerMargin, double width, double position)
{
    if (position == AfterPrevious || !std::isfinite(position))
        position = m_tabs.empty() ? m_marginLeft : m_tabs.back().position + m_tabs.back().width;
    m_tabs.push_back(
        {justify, boxLines & AllLines, std::max(innerMargin, 0) / 100.0, std::max(sane(width), 0.0), sane(position)});
}

double TBaseReport::tabWidth(int tab) const
{
    if (tab < 1 || tab > tabCount())
        return 0;
    const Tab &t = m_tabs[std::size_t(tab - 1)];
    return t.width - 2 * t.margin;
}

void TBaseReport::printTab(QStringView text)
{
    if (m_nextTab >= m_tabs.size())
        return;
    const Tab &tab = m_tabs[m_nextTab++];
    if (tab.boxLines != 0)
        recording().addCell(tab.position, m_y, tab.width, lineHeight(), tab.boxLines);
    if (text.isEmpty())
        return;
    switch (tab.justify) {
    case Justify::Left:
        drawText(text, tab.position + tab.margin);
        break;
    case Justify::Right:
        drawText(text, tab.position + tab.width - tab.margin - textWidth(text));
        break;
    case Justify::Center:
        drawText(text, tab.position + (tab.width - textWidth(text)) / 2);
        break;
    }
}

void TBaseReport::printCenter(QStringView text, double x)
{
    if (!text.isEmpty())
        drawText(text, x - textWidth(text) / 2);
}

void TBaseReport::printJustified(QStringView text, Justify justify)
{
    if (text.isEmpty())
        return;
    const double right = pageWidth() - m_marginRight;
    switch (justify) {
    case Justify::Left:
        drawText(text, m_marginLeft);
        break;
    case Justify::Right:
        drawText(text, right - textWidth(text));
        break;
    case Justify::Center:
        drawText(text, (m_marginLeft + right - textWidth(text)) / 2);
        break;
    }
}

void TBaseReport::setFont(const ReportFont &font)
{
    const auto found = std::find_if(m_fonts.begin(), m_fonts.end(), [&](const Font &f) { return f.face == font; });
    if (found != m_fonts.end()) {
        m_font = std::size_t(found - m_fonts.begin());
    } else {
        m_fonts.push_back({font, nullptr, -1});
        m_font = m_fonts.size() - 1;
    }
}

const TextMetrics &TBaseReport::metrics() const
{
    Font &font = m_fonts[m_font];
    if (!font.metrics)
        font.metrics = std::make_unique<TextMetrics>(ReportFonts::toQFont(font.face));
    return *font.metrics;
}

void TBaseReport::drawText(QStringView text, double x)
{
    Font &font = m_fonts[m_font];
    if (font.number < 0)
        font.number = recording().addFont(font.face);
    recording().addText(font.number, x, m_y + metrics().ascent(), text);
}

QString TBaseReport::statusText() const
{
    QString text = m_statusFormat;
    text.replace(QLatin1String("%p"), QString::number(m_page));
    text.replace(QLatin1String("%0"), m_statusLines[0]);
    text.replace(QLatin1String("%1"), m_statusLines[1]);
    return text;
}

void TBaseReport::startPage()
{
    ++m_page;
    recording().beginPage();
    m_sectionTop = m_marginTop;
    m_sectionBottom = pageHeight() - m_marginBottom;
    home();
}

void TBaseReport::execute()
{
    m_aborted = false;
    m_page = 0;
    for (Font &font : m_fonts)
        font.number = -1;
    bool begun = false;
    try {
        if (onBeforePrint)
            onBeforePrint();
        recording().start(m_pageSize, m_orientation);
        beginJob();
        begun = true;
        bool more = true;
        while (more && !m_aborted) {
            startPage();
            if (onPrintHeader)
                onPrintHeader();
            more = onPrintPage && onPrintPage();
            if (onPrintFooter)
                onPrintFooter();
            recording().endPage();
            pageDone();
            if (onStatus)
                onStatus(statusText());
        }
        if (onAfterPrint)
            onAfterPrint();
    } catch (...) {
        m_aborted = true;
        if (begun)
            endJob(true);
        throw;
    }
    endJob(m_aborted);
}
