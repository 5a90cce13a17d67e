#pragma once

#include "framework/report/ReportFont.h"

#include <QByteArray>
#include <QString>
#include <array>

// One cell of a report line: empty space, a constant text, a book field (body
// lines) or a total (the totals line), so many characters wide.
struct ReportElement
{
    static const QString Filler; // "<FILLER>"
    static const QString Label;  // "<LABEL>"

    QString name; // Filler, Label or the name of a field or total
    int fieldNo = 0;
    int width = 0; // characters; 0 or less ends the line
    QString labelText;

    bool isFiller() const { return name == Filler; }
    bool isLabel() const { return name == Label; }

    bool operator==(const ReportElement &) const = default;
};

// A line is used from its first element up to the first one of width 0 or less.
struct ReportLine
{
    static constexpr int ElementCount = 20;
    std::array<ReportElement, ElementCount> elements;

    // A line never designed: one filler of width 150, then fillers of width 0.
    static ReportLine undesigned();

    // The elements in use: those before the first of width 0 or less.
    int usedCount() const;

    // Makes the line exactly `width` characters wide: from the first element
    // on, one of width 0 first takes the whole width, and the element at
    // which the widths reach `width` is cut to it (or the last element grows
    // to it); the elements after that become empty fillers of width 0. So a
    // trailing filler of width 0 takes up whatever room the others leave.
    void normalise(int width);

    bool operator==(const ReportLine &) const = default;
};

// A report definition: one record of the report-definitions file SHMKLIB.URP,
// and the `current report definition` the report windows share.
struct ReportDefinition
{
    static constexpr int RecordSize = 20622;
    static constexpr int LineCount = 12;
    static constexpr int TotalCount = 5;

    QString name;
    int width = 120; // characters per line: 90, 120 or 150
    ReportFont titleFont;
    ReportFont columnHeaderFont;
    ReportFont bodyFont;
    ReportFont spareFont; // kept and copied, never used
    ReportFont footnoteFont;
    bool columnHeaders = true;
    bool pageNumbers = true;
    bool landscape = false;
    bool dateOnPages = true;
    bool useTotals = true;
    int numLines = 1; // body lines per book, 0-12
    ReportLine totalsLine;
    double topMargin = 0.5; // inches
    double bottomMargin = 0.5;
    double leftMargin = 0.5;
    double rightMargin = 0.5;
    bool vertLines = false;
    bool horzLines = false;
    std::array<QString, 3> titles;
    std::array<ReportLine, LineCount> bodyLines;
    bool level1Group = true;
    bool level2Group = false;

    bool operator==(const ReportDefinition &) const = default;

    // The stored record, RecordSize bytes; texts that Windows-1252 cannot hold
    // are stored with "?" for those characters, and cut to their capacity.
    QByteArray toRecord() const;
    // Reads a record of RecordSize bytes. A string whose length byte exceeds
    // its capacity is read to its capacity.
    static ReportDefinition fromRecord(const char *record);

    // The earlier version's report file, BOOK.URP, has records of 19 831 bytes.
    static constexpr int EarlierRecordSize = 19831;
    // Whether an earlier record is one of that version's six built-in reports,
    // by its stored name (length included).
    static bool isEarlierBuiltIn(const char *earlierRecord);
    // An earlier record in today's form: its name, width, options, titles and
    // lines; "Courier New" fonts (10 pt at width 90, else 8; titles, column
    // headers and footnotes bold); its total 3 (Quantity) becomes total 5.
    static ReportDefinition fromEarlierRecord(const char *earlierRecord);
};
