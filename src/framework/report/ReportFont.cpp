#include "ReportFont.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>

namespace {

const QString SansFace = QStringLiteral("Liberation Sans");
const QString MonoFace = QStringLiteral("Liberation Mono");

} // namespace

namespace ReportFonts {

void installSubstitutes()
{
    QFont::insertSubstitution(QStringLiteral("Arial"), SansFace);
    QFont::insertSubstitution(QStringLiteral("Courier"), MonoFace);
    QFont::insertSubstitution(QStringLiteral("Courier New"), MonoFace);
}

QFont toQFont(const ReportFont &font)
{
    const bool known =
        !font.name.isEmpty() && (QFontDatabase::hasFamily(font.name) || !QFont::substitutes(font.name).isEmpty());
    QFont result(known ? font.name : SansFace);
    result.setPointSizeF(std::clamp(font.size, MinimumSize, MaximumSize));
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeOut);
    result.setKerning(false);
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setStyleStrategy(QFont::StyleStrategy(QFont::PreferNoShaping | QFont::PreferOutline));
    return result;
}

} // namespace ReportFonts
