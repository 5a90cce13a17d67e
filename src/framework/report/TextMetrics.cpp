#include "TextMetrics.h"

#include <QImage>

namespace {

// Fine enough that rounding inside the font engine moves no cut.
constexpr int Resolution = 1200;

const QImage &measuringDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_Mono);
        const int dotsPerMeter = qRound(Resolution / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

} // namespace

TextMetrics::TextMetrics(const QFont &font) : m_metrics(font, &measuringDevice())
{
    for (int ch = 0; ch < 256; ++ch)
        m_latin1[std::size_t(ch)] = m_metrics.horizontalAdvance(QChar(ch)) / Resolution;
    m_ascent = m_metrics.ascent() / Resolution;
    m_lineHeight = m_metrics.lineSpacing() / Resolution;
}

double TextMetrics::advance(QStringView text, qsizetype &i) const
{
    const QChar ch = text[i++];
    if (ch.unicode() < 256)
        return m_latin1[ch.unicode()];
    qsizetype length = 1;
    char32_t code = ch.unicode();
    if (ch.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(ch, text[i++]);
        length = 2;
    }
    const auto found = m_other.find(code);
    if (found != m_other.end())
        return found->second;
    const double width = m_metrics.horizontalAdvance(text.mid(i - length, length).toString()) / Resolution;
    m_other.emplace(code, width);
    return width;
}

double TextMetrics::width(QStringView text) const
{
    double sum = 0;
    for (qsizetype i = 0; i < text.size();)
        sum += advance(text, i);
    return sum;
}

QStringView TextMetrics::fit(QStringView text, double room) const
{
    double sum = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype start = i;
        sum += advance(text, i);
        if (sum > room)
            return text.first(start);
    }
    return text;
}
