#include "RecordRules.h"

#include "app/DateFormat.h"
#include "app/NumberFormat.h"
#include "framework/dbase/CodePage.h"

#include <charconv>
#include <cmath>

namespace RecordRules {

bool isBlankDate(const QString &text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('/') && c != QLatin1Char('-') && c != QLatin1Char('.') &&
            c != QLatin1Char('_'))
            return false;
    }
    return true;
}

QDate readDate(const QString &text, const DateFormat &format, bool *valid)
{
    if (isBlankDate(text)) {
        *valid = true;
        return {};
    }
    QString cleaned = text;
    cleaned.remove(QLatin1Char('_'));
    const QDate date = format.parse(cleaned);
    *valid = date.isValid();
    return date;
}

std::optional<double> readAmount(const QString &input, const NumberFormat &format, bool *valid)
{
    QString text = input.trimmed();
    *valid = true;
    if (text.isEmpty())
        return std::nullopt;
    if (format.currency() == NumberFormat::Style::US) {
        text.remove(QLatin1Char(','));
    } else {
        text.remove(format.system().thousands);
        const qsizetype point = text.indexOf(format.system().decimal);
        if (point >= 0)
            text[point] = QLatin1Char('.');
    }
    const QByteArray ascii = text.toLatin1();
    const char *begin = ascii.constData() + (ascii.startsWith('+') ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(begin, ascii.constData() + ascii.size(), value);
    if (ascii.isEmpty() || result.ec != std::errc() || result.ptr != ascii.constData() + ascii.size() ||
        !std::isfinite(value)) {
        *valid = false;
        return std::nullopt;
    }
    return value;
}

QString unstorableCharacter(const QString &name, const QString &text)
{
    QByteArray bytes;
    const std::optional<char32_t> bad = CodePage::windows1252().encode(text, bytes);
    if (!bad)
        return {};
    const char32_t ch = *bad;
    return QStringLiteral("%1 contains the character \"%2\", which the catalog cannot store.  Please correct.")
        .arg(name, QString::fromUcs4(&ch, 1));
}

QString titleEcho(const QString &titleName, const QString &title)
{
    return (titleName + QStringLiteral(": ")).left(22) + title;
}

QString printedLine(const QString &displayName, const QString &value)
{
    return (displayName + QStringLiteral(": ")).left(22) + value;
}

} // namespace RecordRules
