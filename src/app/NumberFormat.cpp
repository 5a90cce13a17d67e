#include "NumberFormat.h"

#include <QLocale>
#include <charconv>
#include <cmath>

namespace {

NumberFormat &currentFormat()
{
    static NumberFormat format;
    return format;
}

// Fixed notation with a "." whatever the C library's locale.
QString fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    QString out = QString::fromLatin1(text, result.ptr - text);
    if (out.startsWith(QLatin1Char('-')) && out.count(QLatin1Char('0')) + out.count(QLatin1Char('.')) == out.size() - 1)
        out.remove(0, 1); // no "-0.00"
    return out;
}

QString padLeft(const QString &text, int width)
{
    return text.size() >= width ? text : QString(width - text.size(), QLatin1Char(' ')) + text;
}

} // namespace

NumberFormat::Symbols NumberFormat::Symbols::fromSystemLocale()
{
    const QLocale locale = QLocale::system();
    Symbols symbols;
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    symbols.decimal = decimal.isEmpty() ? QLatin1Char(' ') : decimal.front();
    symbols.thousands = group.isEmpty() ? QLatin1Char(' ') : group.front();
    // The locale's currency fraction digits, taken from how it writes money.
    const QString sample = locale.toCurrencyString(1.0, QStringLiteral(" "));
    const qsizetype point = sample.lastIndexOf(symbols.decimal);
    int digits = 0;
    if (point >= 0) {
        for (qsizetype i = point + 1; i < sample.size() && sample[i].isDigit(); ++i)
            ++digits;
    }
    symbols.currencyDigits = point >= 0 ? digits : (sample.contains(QLatin1Char('1')) ? 0 : 2);
    return symbols;
}

NumberFormat::NumberFormat(Style numeric, Style currency, const Symbols &system)
    : m_numeric(numeric), m_currency(currency), m_system(system)
{
}

const NumberFormat &NumberFormat::current()
{
    return currentFormat();
}

void NumberFormat::setCurrent(const NumberFormat &format)
{
    currentFormat() = format;
}

QString NumberFormat::plain(double value, int width, int decimals) const
{
    QString text = fixed(value, decimals);
    if (m_numeric == Style::System && m_system.decimal != QLatin1Char('.')) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        if (point >= 0)
            text[point] = m_system.decimal;
    }
    return padLeft(text, width);
}

QString NumberFormat::group(const QString &text, QChar decimal, QChar thousands, int width)
{
    // text: optional "-", digits, optionally "." and decimals.
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QString body = negative ? text.mid(1) : text;
    const qsizetype point = body.indexOf(QLatin1Char('.'));
    const QString whole = point >= 0 ? body.left(point) : body;
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += thousands;
        grouped += whole[i];
    }
    if (point >= 0)
        grouped += decimal + body.mid(point + 1);
    return padLeft(negative ? QLatin1Char('-') + grouped : grouped, width);
}

QString NumberFormat::grouped(double value, int width, int decimals) const
{
    const bool us = m_numeric == Style::US;
    return group(fixed(value, decimals), us ? QLatin1Char('.') : m_system.decimal,
                 us ? QLatin1Char(',') : m_system.thousands, width);
}

QString NumberFormat::money(double value, int width) const
{
    if (m_currency == Style::US)
        return group(fixed(value, 2), QLatin1Char('.'), QLatin1Char(','), width);
    return group(fixed(value, m_system.currencyDigits), m_system.decimal, m_system.thousands, width);
}

std::optional<double> NumberFormat::parseMoney(const QString &input) const
{
    const bool us = m_currency == Style::US;
    const QChar decimal = us ? QLatin1Char('.') : m_system.decimal;
    const QChar thousands = us ? QLatin1Char(',') : m_system.thousands;
    QString text;
    for (const QChar c : input.trimmed()) {
        if (c == thousands && c != decimal)
            continue;
        text += c == decimal ? QLatin1Char('.') : c;
    }
    if (text.isEmpty())
        return std::nullopt;
    const QByteArray ascii = text.toLatin1();
    double value = 0;
    const char *begin = ascii.constData() + (ascii.startsWith('+') ? 1 : 0);
    const auto result = std::from_chars(begin, ascii.constData() + ascii.size(), value);
    if (result.ec != std::errc() || result.ptr != ascii.constData() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}
