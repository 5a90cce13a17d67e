#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QStringView>
#include <array>
#include <unordered_map>

// Widths of text in one report font, in inches. Every back end measures
// through here, at one fixed resolution, and a text is as wide as the sum of
// its characters (the report fonts are drawn without kerning or shaping): a
// recording, its printout and a direct printout therefore break pages and
// cut cell texts at the same places.
class TextMetrics
{
public:
    explicit TextMetrics(const QFont &font);

    double ascent() const { return m_ascent; }
    double lineHeight() const { return m_lineHeight; }

    double width(QStringView text) const;
    // The longest start of `text` no wider than `room`: what is left after
    // taking characters off the end until the rest fits.
    QStringView fit(QStringView text, double room) const;

private:
    double advance(QStringView text, qsizetype &i) const;

    QFontMetricsF m_metrics;
    std::array<double, 256> m_latin1{};
    mutable std::unordered_map<char32_t, double> m_other;
    double m_ascent = 0;
    double m_lineHeight = 0;
};
