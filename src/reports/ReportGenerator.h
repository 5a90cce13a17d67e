#pragma once

#include "ReportDefinition.h"
#include "app/DateFormat.h"
#include "app/NumberFormat.h"
#include "storage/CatalogFields.h"
#include "storage/CatalogTable.h"

#include <QDate>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class DbfRecord;
class DbfTable;
class ReportTextFile;
class Settings;
class TBaseReport;

// Turns a report definition and the books in view into pages: the handlers of
// a report engine's five events. The books are the table's visible records in
// cursor order (the sort order, and only the books of the search while one is
// on); the table's cursor is not moved.
//
// Each page has a header band (the titles) from the top margin, a body band
// 0.75 in below it that ends 0.75 in above the bottom margin, and a footer
// band (page number and date) in the last half inch above the bottom margin.
// The body holds the column headers (reports of one line per book), the
// books' lines, the group headings and totals. Cells are the definition's
// elements, each as wide as its characters' share of the report width across
// the printable width; a text longer than its cell loses characters at the
// right. A block that does not fit goes to the next page; on a page that has
// nothing in its body yet, a block is printed even when it does not fit, so
// that every run ends.
//
// In the text-file mode the pages are lines of characters instead, written to
// a text file, and the engine only counts the lines, so that the file's page
// breaks (a footer line ending in a form feed) come where the printed pages
// break.
class ReportGenerator
{
public:
    enum class Mode { Print = 1, View = 2, File = 3 };

    // `settings` gives the sort levels (for grouping) and the fields' display
    // names (for column headers). Field numbers outside 1-36, total numbers
    // outside 1-5 give empty cells; NumLines is taken within 0-12.
    ReportGenerator(const ReportDefinition &definition, Mode mode, const DbfTable &books, const Settings &settings,
                    const NumberFormat &numbers = NumberFormat::current(),
                    const DateFormat &dates = DateFormat::current());
    ~ReportGenerator();
    ReportGenerator(const ReportGenerator &) = delete;
    ReportGenerator &operator=(const ReportGenerator &) = delete;

    // The text file of the File mode; written when the run completes.
    void setTextFile(const QString &path) { m_textPath = path; }
    // The date on the pages; today unless set.
    void setToday(const QDate &today) { m_today = today; }

    // Hands the engine the five handlers, the orientation and the job title.
    void attach(TBaseReport &engine);

private:
    struct Cell
    {
        enum class Kind { Filler, Label, Field, Total, Empty };
        Kind kind = Kind::Empty;
        int width = 0; // characters
        QString label;
        int row = 0;    // Field: the book field's row 1-36
        int field = -1; // Field: in the table
        FieldKind fieldKind = FieldKind::Text;
        int total = 0; // Total: 1-5
    };
    using Line = std::vector<Cell>;
    using Totals = std::array<double, ReportDefinition::TotalCount>;
    enum class Use { Records, ColumnHeaders, SeveralLines, Totals };

    Line cells(const ReportLine &line, bool totals) const;

    void beforePrint();
    void printHeader();
    bool printPage();
    void printFooter();
    void afterPrint();

    bool trySubtotals();
    bool tryGroupHeader();
    void printClosingTotals();
    void printRecord(const DbfRecord &record);
    void accumulate(const DbfRecord &record);
    void layOut(const Line &line, Use use, int boxLines);
    void layOutRecords() { layOut(m_lines.front(), Use::Records, m_boxLines); }
    void printHeading(QString text, int boxLines);
    void printTotals(const Totals &totals);
    void printColumnHeaders();
    void writeLine(QStringView line);

    QString valueText(const DbfRecord &record, const Cell &cell) const;
    QString groupText(const DbfRecord &record, int row) const;
    QString totalText(const Totals &totals, int total) const;
    QString caption(const Cell &cell) const;
    QString indentFor(const QString &text) const;
    template <typename Value>
    void printCells(const Line &line, bool labels, Value &&value, const DbfRecord *record = nullptr);
    void endLine();

    const ReportDefinition m_definition;
    const Mode m_mode;
    const DbfTable &m_books;
    CatalogTable::SortLevels m_sortLevels;
    std::array<QString, CatalogFields::Count> m_displayNames;
    NumberFormat m_numbers;
    DateFormat m_dates;
    QDate m_today;
    QString m_textPath;
    TBaseReport *m_engine = nullptr;

    std::array<int, CatalogFields::Count> m_tableFields{}; // each book field's index in the table, -1 when absent
    int m_numLines = 0;
    std::vector<Line> m_lines; // body lines 1..NumLines
    Line m_totalsLine;
    std::array<int, 4> m_totalFields{};
    bool m_stored1252 = false; // the table's text is stored in Windows-1252 // Cost, Value, LowMarket, HighMarket in
                               // the table (-1 when absent)

    // One run.
    std::unique_ptr<ReportTextFile> m_text;
    int m_reportWidth = 90;
    double m_printableWidth = 0;
    int m_boxLines = 0;
    int m_group1Row = 0;
    int m_group2Row = 0;
    std::optional<QString> m_currentGroup1; // none before the first book
    std::optional<QString> m_currentGroup2;
    bool m_groupHeaderPending = false;
    bool m_subtotalsPending = false;
    bool m_firstGroup = true;
    bool m_finalTotalsPending = false;
    bool m_bodyEmpty = true; // nothing in this page's body yet
    Totals m_grandTotals{};
    Totals m_subTotals{};
    int m_row = 0; // the next book
};
