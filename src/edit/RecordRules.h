#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

class DateFormat;
class NumberFormat;

// The rules of the record editor that need no window: blank dates, amounts,
// the title echo, the printed lines.
namespace RecordRules {

// A masked date edit holding nothing but separators and blanks ("/  /", "//").
bool isBlankDate(const QString &text);

// A date typed in the current format, or nothing for a blank date; `valid`
// tells whether the text was a date or blank.
QDate readDate(const QString &text, const DateFormat &format, bool *valid);

// The amount conversion: blanks trimmed; U.S. Dollars drop every comma, the
// system setting drops its thousands symbol and reads its decimal symbol as
// the point; then a decimal number with an optional sign and exponent.
// An empty text is nothing.
std::optional<double> readAmount(const QString &text, const NumberFormat &format, bool *valid);

// The refusal of a text holding a character that the catalog (Windows-1252)
// cannot store, naming `name` and the first such character; empty when every
// character can be stored.
QString unstorableCharacter(const QString &name, const QString &text);

// "Title: " cut to 22 characters, then the title: names the book on the pages
// that do not show its title.
QString titleEcho(const QString &titleName, const QString &title);

// One printed line: the display name and ": " cut to 22 characters, then the value.
QString printedLine(const QString &displayName, const QString &value);

} // namespace RecordRules
