#pragma once

#include <QChar>
#include <QString>
#include <optional>

// The program's number formatting: plain numbers, grouped numbers and money,
// in the U.S. way or with the system's decimal and thousands symbols and number
// of currency decimals. The numeric choice governs plain and grouped numbers,
// the currency choice money.
class NumberFormat
{
public:
    enum class Style { US = 1, System = 2 };

    // The system's symbols, read once at start-up; an empty symbol is a space.
    struct Symbols
    {
        QChar decimal = QLatin1Char('.');
        QChar thousands = QLatin1Char(',');
        int currencyDigits = 2;
        static Symbols fromSystemLocale();
    };

    NumberFormat() = default;
    NumberFormat(Style numeric, Style currency, const Symbols &system);

    static const NumberFormat &current();
    static void setCurrent(const NumberFormat &format);

    Style numeric() const { return m_numeric; }
    Style currency() const { return m_currency; }
    const Symbols &system() const { return m_system; }

    // Fixed notation with `decimals` decimals, right-aligned in `width` characters.
    QString plain(double value, int width, int decimals) const;
    // As plain, with a thousands symbol before every group of three digits of
    // the whole part; none directly after a minus sign.
    QString grouped(double value, int width, int decimals) const;
    // Grouped with two decimals (U.S.) or the system's currency decimals and
    // symbols. No currency symbol.
    QString money(double value, int width) const;

    // Reads a number typed in the money format in force: thousands symbols are
    // dropped, the decimal symbol of the choice is the decimal point.
    std::optional<double> parseMoney(const QString &text) const;

private:
    static QString group(const QString &fixed, QChar decimal, QChar thousands, int width);

    Style m_numeric = Style::US;
    Style m_currency = Style::US;
    Symbols m_system;
};
