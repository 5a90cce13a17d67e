#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class DbfRecord;
class DbfTable;

// Finds the next book whose field matches a value, among the records the table
// shows (its current order, through its record filter), without moving the
// cursor.
//
// A field matches on its text as the viewer grid shows it: text fields without
// their trailing blanks; whole numbers as plain integers ("1997") and decimal
// numbers in their shortest form ("12.5", not "12.50"); dates in the date
// format in force (DateFormat::current()); a blank number or date is empty
// text. Exact match compares the whole text, partial at beginning wants the
// text to start with the value, partial anywhere wants the value somewhere in
// it. Without case sensitivity both sides are upper-cased as index keys are
// (a-z and the accented small letters of Windows-1252).
//
// The comparison runs on the stored bytes in the table's code page, so that a
// scan builds no string per record (dates excepted); a value the code page
// cannot hold matches nothing. The rows close to the start are looked at in
// order; the rest of the table is read once in file order (see findFrom).
class Locator
{
public:
    enum class Match { Exact, PartialStart, PartialAnywhere };

    // `field` is the engine's field index. The table must stay open and
    // unchanged while the locator is used.
    Locator(const DbfTable &table, int field, const QString &value, Match match, bool caseSensitive);

    bool matches(const DbfRecord &record) const;

    // The first visible row from `row` on whose record matches; -1 when none does.
    int findFrom(int row) const;

private:
    // The field's text as shown, in stored bytes: a view into the record for
    // text fields, else written into `buffer`. Answers its length.
    int shownText(const char *record, const char *&text, char *buffer) const;
    // The first row of [from, to) that matches, visiting the rows in order; -1 when none does.
    int walk(int from, int to) const;
    // Whether each record (by record number) matches, reading the file in order.
    std::vector<std::uint8_t> matchesInFileOrder() const;

    const DbfTable &m_table;
    int m_field;
    char m_type;
    int m_offset;
    int m_width;
    int m_decimals;
    Match m_match;
    bool m_encodable;
    std::array<std::uint8_t, 256> m_fold; // a byte as it is compared: upper-cased unless case-sensitive
    QByteArray m_value;                   // in the table's code page, folded
};
