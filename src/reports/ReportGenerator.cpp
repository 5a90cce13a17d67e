#include "ReportGenerator.h"

#include "ReportTextFile.h"
#include "app/Settings.h"
#include "framework/dbase/DbfTable.h"
#include "framework/report/TBaseReport.h"

#include <algorithm>

namespace {

using Justify = TBaseReport::Justify;

// Hundredths of an inch kept free inside every cell.
constexpr int InnerMargin = 2;
constexpr double HeaderBand = 0.75;
constexpr double FooterBand = 0.5;
// A group heading's box is this much wider than its text.
constexpr double HeadingPadding = 0.2;
constexpr int GroupTextLength = 120;
// A year is shown without digit grouping.
constexpr int YearPubRow = 3;
// The book fields of totals 1-4; total 5 counts the books.
constexpr std::array<int, 4> TotalRows = {7, 8, 29, 30};

} // namespace

ReportGenerator::ReportGenerator(const ReportDefinition &definition, Mode mode, const DbfTable &books,
                                 const Settings &settings, const NumberFormat &numbers, const DateFormat &dates)
    : m_definition(definition), m_mode(mode), m_books(books), m_sortLevels(settings.sortLevels),
      m_displayNames(settings.displayNames), m_numbers(numbers), m_dates(dates), m_today(QDate::currentDate())
{
    for (int row = 1; row <= CatalogFields::Count; ++row)
        m_tableFields[std::size_t(row - 1)] = books.fieldIndex(QString::fromLatin1(CatalogFields::row(row).name));
    for (std::size_t i = 0; i < TotalRows.size(); ++i)
        m_totalFields[i] = m_tableFields[std::size_t(TotalRows[i] - 1)];
    m_numLines = std::clamp(definition.numLines, 0, ReportDefinition::LineCount);
    for (int k = 0; k < m_numLines; ++k)
        m_lines.push_back(cells(definition.bodyLines[std::size_t(k)], false));
    m_totalsLine = cells(definition.totalsLine, true);
    m_stored1252 = books.codePage().number() == CodePage::Windows1252;
}

ReportGenerator::~ReportGenerator() = default;

ReportGenerator::Line ReportGenerator::cells(const ReportLine &line, bool totals) const
{
    Line result;
    for (const ReportElement &element : line.elements) {
        if (element.width <= 0)
            break;
        Cell cell;
        cell.width = element.width;
        if (element.isFiller()) {
            cell.kind = Cell::Kind::Filler;
        } else if (element.isLabel()) {
            cell.kind = Cell::Kind::Label;
            cell.label = element.labelText;
        } else if (totals) {
            if (element.fieldNo >= 1 && element.fieldNo <= ReportDefinition::TotalCount) {
                cell.kind = Cell::Kind::Total;
                cell.total = element.fieldNo;
            }
        } else if (element.fieldNo >= 1 && element.fieldNo <= CatalogFields::Count) {
            cell.field = m_tableFields[std::size_t(element.fieldNo - 1)];
            if (cell.field >= 0) {
                cell.kind = Cell::Kind::Field;
                cell.row = element.fieldNo;
                cell.fieldKind = CatalogFields::row(element.fieldNo).kind;
            }
        }
        result.push_back(cell);
    }
    return result;
}

void ReportGenerator::attach(TBaseReport &engine)
{
    m_engine = &engine;
    engine.setOrientation(m_definition.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    engine.setTitle(QStringLiteral("Test Report"));
    engine.onBeforePrint = [this] { beforePrint(); };
    engine.onPrintHeader = [this] { printHeader(); };
    engine.onPrintPage = [this] { return printPage(); };
    engine.onPrintFooter = [this] { printFooter(); };
    engine.onAfterPrint = [this] { afterPrint(); };
}

void ReportGenerator::beforePrint()
{
    TBaseReport &e = *m_engine;
    e.setStatusFormat(QStringLiteral("Printing Page %p\n%0\n%1"));
    e.setStatusLine(0, QString());
    e.setStatusLine(1, QString());
    e.setMarginTop(m_definition.topMargin);
    e.setMarginBottom(m_definition.bottomMargin);
    e.setMarginLeft(m_definition.leftMargin);
    e.setMarginRight(m_definition.rightMargin);
    // The designer takes any width it does not offer as 90.
    m_reportWidth = m_definition.width > 0 ? m_definition.width : 90;
    m_printableWidth = e.pageWidth() - e.marginLeft() - e.marginRight();

    m_group1Row = m_group2Row = 0;
    if (m_definition.level1Group) {
        for (int level : m_sortLevels) {
            if (level < 1 || level > CatalogFields::Count || m_tableFields[std::size_t(level - 1)] < 0)
                continue;
            if (m_group1Row == 0) {
                m_group1Row = level;
            } else {
                m_group2Row = level;
                break;
            }
        }
    }
    if (!m_definition.level2Group)
        m_group2Row = 0;

    m_currentGroup1.reset();
    m_currentGroup2.reset();
    m_groupHeaderPending = m_subtotalsPending = m_finalTotalsPending = false;
    m_firstGroup = true;
    m_grandTotals.fill(0);
    m_subTotals.fill(0);
    m_row = 0;
    if (m_mode == Mode::File)
        m_text = std::make_unique<ReportTextFile>(m_textPath);
}

void ReportGenerator::printHeader()
{
    TBaseReport &e = *m_engine;
    if (m_mode == Mode::File) {
        for (const QString &title : m_definition.titles) {
            if (!title.isEmpty())
                writeLine(title);
        }
        return;
    }
    e.setSectionTop(e.marginTop());
    e.setSectionBottom(e.marginTop() + HeaderBand);
    e.home();
    e.setFont(m_definition.titleFont);
    for (const QString &title : m_definition.titles) {
        if (!title.isEmpty()) {
            e.printCenter(title, e.pageWidth() / 2);
            e.newLine();
        }
    }
}

bool ReportGenerator::printPage()
{
    TBaseReport &e = *m_engine;
    e.setSectionTop(e.marginTop() + HeaderBand);
    e.setSectionBottom(e.pageHeight() - e.marginBottom() - HeaderBand);
    e.home();
    m_bodyEmpty = true;
    m_boxLines = 0;
    if (m_numLines == 1) {
        if (m_definition.vertLines)
            m_boxLines |= TBaseReport::LeftLine | TBaseReport::RightLine;
        if (m_definition.horzLines)
            m_boxLines |= TBaseReport::TopLine | TBaseReport::BottomLine;
    }

    if (m_numLines == 1 && m_definition.columnHeaders) {
        e.setFont(m_definition.columnHeaderFont);
        layOut(m_lines.front(), Use::ColumnHeaders, m_boxLines);
        printColumnHeaders();
        e.setFont(m_definition.bodyFont);
        endLine();
    } else {
        e.setFont(m_definition.bodyFont);
    }
    if (m_numLines == 1)
        layOutRecords();

    const int rows = m_books.recordCount();
    while ((m_bodyEmpty || e.linesLeft() >= m_numLines) && m_row < rows) {
        if (m_subtotalsPending && !trySubtotals())
            break;
        if (m_groupHeaderPending && !tryGroupHeader())
            break;
        const DbfRecord record = m_books.recordAt(m_row);
        if (m_group1Row > 0) {
            const QString level1 = groupText(record, m_group1Row);
            bool newGroup = level1 != m_currentGroup1;
            if (m_group2Row > 0) {
                const QString level2 = groupText(record, m_group2Row);
                newGroup = level2 != m_currentGroup2 || newGroup;
                m_currentGroup2 = level2;
            }
            if (newGroup) {
                m_currentGroup1 = level1;
                if (!trySubtotals()) {
                    m_groupHeaderPending = true;
                    break;
                }
                if (!tryGroupHeader())
                    break;
            }
        }
        printRecord(record);
        m_bodyEmpty = false;
        if (m_definition.useTotals)
            accumulate(record);
        ++m_row;
    }
    if (m_row >= rows)
        printClosingTotals();
    return m_row < rows || m_finalTotalsPending;
}

void ReportGenerator::printFooter()
{
    TBaseReport &e = *m_engine;
    const QString page = QStringLiteral("Page %1").arg(e.currentPage());
    const QString date = m_dates.format(m_today);
    if (m_mode == Mode::File) {
        writeLine(QString());
        QString line;
        if (m_definition.pageNumbers)
            line += page + QStringLiteral("     ");
        if (m_definition.dateOnPages)
            line += QStringLiteral("     ") + date;
        writeLine(line + QLatin1Char('\f'));
        return;
    }
    e.setSectionTop(e.pageHeight() - e.marginBottom() - FooterBand);
    e.setSectionBottom(e.pageHeight() - e.marginBottom());
    e.home();
    e.setFont(m_definition.footnoteFont);
    if (m_definition.pageNumbers)
        e.printJustified(page, Justify::Left);
    if (m_definition.dateOnPages)
        e.printJustified(date, Justify::Right);
}

void ReportGenerator::afterPrint()
{
    if (m_text && !m_engine->aborted())
        m_text->commit();
    m_text.reset();
}

bool ReportGenerator::trySubtotals()
{
    if (m_firstGroup || !m_definition.useTotals) {
        m_firstGroup = false;
        m_subtotalsPending = false;
        return true;
    }
    if (!m_bodyEmpty && m_engine->linesLeft() < m_numLines + 3) {
        m_subtotalsPending = true;
        return false;
    }
    printHeading(QStringLiteral("TOTALS"), TBaseReport::BottomLine);
    printTotals(m_subTotals);
    m_subTotals.fill(0);
    if (m_numLines == 1)
        layOutRecords();
    m_subtotalsPending = false;
    m_bodyEmpty = false;
    return true;
}

bool ReportGenerator::tryGroupHeader()
{
    TBaseReport &e = *m_engine;
    if (!m_bodyEmpty && e.linesLeft() < m_numLines + 2) {
        m_groupHeaderPending = true;
        return false;
    }
    QString text = m_currentGroup1.value_or(QString());
    if (m_group2Row > 0)
        text += QStringLiteral(", ") + m_currentGroup2.value_or(QString());
    if (m_mode == Mode::File) {
        const QString margin = indentFor(text);
        const QString dashes = margin + QString(text.size(), QLatin1Char('-'));
        writeLine(QString());
        writeLine(dashes);
        writeLine(margin + text);
        writeLine(dashes);
    } else {
        e.newLine();
        printHeading(text, TBaseReport::AllLines);
        if (m_numLines == 1)
            layOutRecords();
    }
    m_groupHeaderPending = false;
    m_bodyEmpty = false;
    return true;
}

void ReportGenerator::printClosingTotals()
{
    const int needed = m_definition.useTotals ? 5 : 0;
    if (!m_bodyEmpty && m_engine->linesLeft() < needed) {
        m_finalTotalsPending = true;
        return;
    }
    if (m_definition.useTotals) {
        printHeading(QStringLiteral("TOTALS"), TBaseReport::BottomLine);
        printTotals(m_subTotals);
        if (m_mode == Mode::File)
            writeLine(QString());
        else
            m_engine->newLine();
        printHeading(QStringLiteral("GRAND TOTALS"), TBaseReport::BottomLine);
        printTotals(m_grandTotals);
        m_bodyEmpty = false;
    }
    m_finalTotalsPending = false;
}

void ReportGenerator::printHeading(QString text, int boxLines)
{
    if (m_mode == Mode::File) {
        writeLine(indentFor(text) + text);
        return;
    }
    TBaseReport &e = *m_engine;
    const double room = m_printableWidth - HeadingPadding;
    double width = e.textWidth(text);
    double cellWidth = width + HeadingPadding;
    double position = e.marginLeft() + (m_printableWidth - width) / 2;
    if (width > room) {
        text = e.fitText(text, room).toString();
        cellWidth = m_printableWidth + HeadingPadding;
        position = e.marginLeft();
    }
    e.clearTabs();
    e.addTab(Justify::Center, boxLines, InnerMargin, cellWidth, position);
    e.printTab(text);
    e.newLine();
}

void ReportGenerator::layOut(const Line &line, Use use, int boxLines)
{
    TBaseReport &e = *m_engine;
    e.clearTabs();
    for (const Cell &cell : line) {
        Justify justify = Justify::Left;
        switch (use) {
        case Use::ColumnHeaders:
            justify = Justify::Center;
            break;
        case Use::Records:
            if (cell.kind == Cell::Kind::Field &&
                (cell.fieldKind == FieldKind::Whole || cell.fieldKind == FieldKind::Decimal))
                justify = Justify::Right;
            break;
        case Use::SeveralLines:
        case Use::Totals:
            if (cell.kind == Cell::Kind::Label)
                justify = Justify::Right;
            break;
        }
        e.addTab(justify, boxLines, InnerMargin, double(cell.width) / m_reportWidth * m_printableWidth);
    }
}

void ReportGenerator::printColumnHeaders()
{
    printCells(m_lines.front(), false, [&](const Cell &cell) { return caption(cell); });
}

void ReportGenerator::printRecord(const DbfRecord &record)
{
    for (const Line &line : m_lines) {
        if (m_numLines > 1 && m_mode != Mode::File)
            layOut(line, Use::SeveralLines, 0);
        printCells(
            line, true, [&](const Cell &cell) { return valueText(record, cell); }, &record);
        endLine();
    }
}

void ReportGenerator::printTotals(const Totals &totals)
{
    if (m_mode != Mode::File)
        layOut(m_totalsLine, Use::Totals, 0);
    printCells(m_totalsLine, true, [&](const Cell &cell) { return totalText(totals, cell.total); });
    endLine();
}

// In a text file the cells make one line of characters: fillers and empty
// cells blanks, labels right-aligned, values left-aligned; a book's text
// fields go from their stored bytes straight to the file. On pages each text
// goes into its tab, cut to fit; the line stays open.
template <typename Value>
void ReportGenerator::printCells(const Line &line, bool labels, Value &&value, const DbfRecord *record)
{
    auto textOf = [&](const Cell &cell) {
        if (cell.kind == Cell::Kind::Label)
            return labels ? cell.label : QString();
        if (cell.kind == Cell::Kind::Field || cell.kind == Cell::Kind::Total)
            return value(cell);
        return QString();
    };
    if (m_mode == Mode::File) {
        for (const Cell &cell : line) {
            if (record && m_stored1252 && cell.kind == Cell::Kind::Field && cell.fieldKind == FieldKind::Text)
                m_text->addCell(record->storedText(cell.field), cell.width);
            else
                m_text->addCell(textOf(cell), cell.width,
                                cell.kind == Cell::Kind::Label ? ReportTextFile::Align::Right
                                                               : ReportTextFile::Align::Left);
        }
        m_text->endLine();
        m_engine->newLine();
        return;
    }
    TBaseReport &e = *m_engine;
    int tab = 0;
    for (const Cell &cell : line) {
        const QString text = textOf(cell);
        e.printTab(e.fitText(text, e.tabWidth(++tab)));
    }
}

void ReportGenerator::endLine()
{
    if (m_mode != Mode::File)
        m_engine->newLine();
}

void ReportGenerator::accumulate(const DbfRecord &record)
{
    // From the stored numbers, never from text shown in some number format.
    for (std::size_t i = 0; i < m_totalFields.size(); ++i) {
        if (m_totalFields[i] < 0)
            continue;
        const double value = record.number(m_totalFields[i]).value_or(0);
        m_grandTotals[i] += value;
        m_subTotals[i] += value;
    }
    m_grandTotals[4] += 1;
    m_subTotals[4] += 1;
}

void ReportGenerator::writeLine(QStringView line)
{
    m_text->writeLine(line);
    m_engine->newLine();
}

QString ReportGenerator::valueText(const DbfRecord &record, const Cell &cell) const
{
    switch (cell.fieldKind) {
    case FieldKind::Text:
        return record.text(cell.field);
    case FieldKind::Date: {
        const QDate date = record.date(cell.field);
        return date.isValid() ? m_dates.format(date) : QString();
    }
    case FieldKind::Whole: {
        const std::optional<double> value = record.number(cell.field);
        if (!value)
            return {};
        return cell.row == YearPubRow ? m_numbers.plain(*value, 1, 0) : m_numbers.grouped(*value, 1, 0);
    }
    case FieldKind::Decimal: {
        const std::optional<double> value = record.number(cell.field);
        return value ? m_numbers.money(*value, 1) : QString();
    }
    }
    return {};
}

// A group is told by the field's text as the viewer shows it.
QString ReportGenerator::groupText(const DbfRecord &record, int row) const
{
    const int index = m_tableFields[std::size_t(row - 1)];
    QString text;
    switch (CatalogFields::row(row).kind) {
    case FieldKind::Text:
        text = record.text(index);
        break;
    case FieldKind::Date: {
        const QDate date = record.date(index);
        text = date.isValid() ? m_dates.format(date) : QString();
        break;
    }
    case FieldKind::Whole:
        if (const std::optional<double> value = record.number(index))
            text = QString::number(qint64(*value));
        break;
    case FieldKind::Decimal:
        if (const std::optional<double> value = record.number(index))
            text = QString::number(*value, 'g', 15);
        break;
    }
    return text.left(GroupTextLength);
}

QString ReportGenerator::totalText(const Totals &totals, int total) const
{
    const double value = totals[std::size_t(total - 1)];
    return total == ReportDefinition::TotalCount ? m_numbers.grouped(value, 1, 0) : m_numbers.money(value, 1);
}

// Centres a heading of the text file on the report width.
QString ReportGenerator::indentFor(const QString &text) const
{
    return QString(text.size() > m_reportWidth ? 0 : (m_reportWidth - text.size()) / 2, QLatin1Char(' '));
}

QString ReportGenerator::caption(const Cell &cell) const
{
    return m_displayNames[std::size_t(cell.row - 1)];
}
