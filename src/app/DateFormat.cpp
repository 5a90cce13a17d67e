#include "DateFormat.h"

#include <QStringList>

namespace {

DateFormat &currentFormat()
{
    static DateFormat format;
    return format;
}

} // namespace

DateFormat::DateFormat(int number, bool leadingZeros) : m_number(number), m_leadingZeros(leadingZeros)
{
    const int index = (number - 1) % Count;
    m_dayFirst = (index % 6) >= 3;
    m_fourDigitYear = index >= 6;
    static const char separators[] = {'/', '-', '.'};
    m_separator = QLatin1Char(separators[index % 3]);
}

const DateFormat &DateFormat::current()
{
    return currentFormat();
}

void DateFormat::setCurrent(const DateFormat &format)
{
    currentFormat() = format;
}

QString DateFormat::pattern() const
{
    const QString day = m_leadingZeros ? QStringLiteral("dd") : QStringLiteral("d");
    const QString month = m_leadingZeros ? QStringLiteral("mm") : QStringLiteral("m");
    const QString year = m_fourDigitYear ? QStringLiteral("yyyy") : QStringLiteral("yy");
    return m_dayFirst ? day + QLatin1Char('/') + month + QLatin1Char('/') + year
                      : month + QLatin1Char('/') + day + QLatin1Char('/') + year;
}

QString DateFormat::caption(int number)
{
    const DateFormat format(number, true);
    QString text = format.pattern();
    text.replace(QLatin1Char('/'), format.separator());
    return text;
}

DateFormat DateFormat::withFourDigitYear(bool leadingZeros) const
{
    return DateFormat(m_fourDigitYear ? m_number : m_number + 6, leadingZeros);
}

QString DateFormat::format(const QDate &date) const
{
    if (!date.isValid())
        return {};
    const int width = m_leadingZeros ? 2 : 1;
    const QString day = QStringLiteral("%1").arg(date.day(), width, 10, QLatin1Char('0'));
    const QString month = QStringLiteral("%1").arg(date.month(), width, 10, QLatin1Char('0'));
    const QString year = m_fourDigitYear ? QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'))
                                         : QStringLiteral("%1").arg(date.year() % 100, 2, 10, QLatin1Char('0'));
    return m_dayFirst ? day + m_separator + month + m_separator + year : month + m_separator + day + m_separator + year;
}

QDate DateFormat::parse(const QString &text, const QDate &today) const
{
    const QStringList parts = text.trimmed().split(m_separator);
    if (parts.size() != 3)
        return {};
    bool dayOk = false, monthOk = false, yearOk = false;
    const int day = parts[m_dayFirst ? 0 : 1].trimmed().toInt(&dayOk);
    const int month = parts[m_dayFirst ? 1 : 0].trimmed().toInt(&monthOk);
    const QString yearText = parts[2].trimmed();
    int year = yearText.toInt(&yearOk);
    if (!dayOk || !monthOk || !yearOk || year < 0)
        return {};
    if (yearText.size() <= 2) {
        // The century that puts the year nearest to today, within 50 years.
        const int base = today.year() - today.year() % 100;
        year += base;
        if (year > today.year() + 50)
            year -= 100;
        else if (year <= today.year() - 50)
            year += 100;
    }
    return QDate(year, month, day);
}
