#pragma once

#include <QDate>
#include <QString>

// The process-wide short date format: one of twelve orders and separators,
// with or without leading zeros. Every date shown, typed or parsed follows it.
class DateFormat
{
public:
    // Format numbers 1-12: month-day-year or day-month-year, with "/", "-" or
    // "." between, two- or four-digit years.
    static constexpr int Count = 12;

    DateFormat() = default;
    DateFormat(int number, bool leadingZeros);

    static const DateFormat &current();
    static void setCurrent(const DateFormat &format);

    int number() const { return m_number; }
    bool leadingZeros() const { return m_leadingZeros; }
    QChar separator() const { return m_separator; }
    // The pattern with "/" for the separator: "m/d/yy", "dd/mm/yyyy", ...
    QString pattern() const;
    // The menu caption of a format number: "mm/dd/yy", "dd.mm.yyyy", ...
    static QString caption(int number);

    // The same order and separator with a four-digit year, leading zeros as
    // asked: how a date is put into a field the user may edit, so that its
    // century survives the edit.
    DateFormat withFourDigitYear(bool leadingZeros) const;

    QString format(const QDate &date) const; // empty for a null date
    // Reads a date typed in this format; a two-digit year goes to the century
    // that puts it nearest to `today`. Null when the text is no such date.
    QDate parse(const QString &text, const QDate &today = QDate::currentDate()) const;

private:
    int m_number = 1;
    bool m_leadingZeros = false;
    QChar m_separator = QLatin1Char('/');
    bool m_dayFirst = false;
    bool m_fourDigitYear = false;
};
