#include "ReportDesign.h"

#include "app/Settings.h"
#include "edit/PickLists.h"
#include "storage/CatalogFields.h"

#include <QLatin1StringView>
#include <QLocale>
#include <cmath>

namespace ReportDesign {

namespace {

const std::array<QString, ReportDefinition::TotalCount> TotalNames = {
    QStringLiteral("Cost"), QStringLiteral("Value"), QStringLiteral("Low Market"), QStringLiteral("High Market"),
    QStringLiteral("Quantity")};

const std::array<QString, 4> MarginNames = {QStringLiteral("Top Margin"), QStringLiteral("Bottom Margin"),
                                            QStringLiteral("Left Margin"), QStringLiteral("Right Margin")};

std::optional<int> readWhole(const QString &text)
{
    bool ok = false;
    const int value = PickLists::trimBlanks(text).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The larger of a pair of margins, the first when they are equal.
int larger(const std::array<double, 4> &inches, int first)
{
    return inches[std::size_t(first + 1)] > inches[std::size_t(first)] ? first + 1 : first;
}

} // namespace

std::optional<double> readDecimal(const QString &text)
{
    const QString trimmed = PickLists::trimBlanks(text);
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString fontText(const ReportFont &font)
{
    return font.name + QLatin1Char(' ') + QString::number(font.size) + QLatin1String("pt");
}

QString marginText(double inches)
{
    return QLocale::c().toString(inches, 'f', 2);
}

int readInteger(const QString &text)
{
    return readWhole(text).value_or(0);
}

std::optional<int> checkedNumLines(const QString &text)
{
    const std::optional<int> lines = readWhole(text);
    if (!lines || *lines < 0 || *lines > MaxNumLines)
        return std::nullopt;
    return lines;
}

std::optional<QString> widthQuestion(int from, int to)
{
    if (to == 90)
        return QStringLiteral("Switching to 90 characters from 120 or 150 will truncate the current defined lines.  "
                              "In addition, the font size will be reset to a 10 point as a default.  Are you sure you "
                              "wish to do this?");
    if (to == 120 && from == 150)
        return QStringLiteral("Switching to 120 characters from 150 will truncate the current defined lines.  In "
                              "addition, the font size will be reset to a 8 point as a default.  Are you sure you wish "
                              "to do this?");
    return std::nullopt;
}

int bodyFontSizeFor(int width)
{
    return width == 150 ? 6 : width == 120 ? 8 : 10;
}

QString widthNotice(int width)
{
    if (width == 120)
        return QStringLiteral("The Report Body font size has been set to a 8 Point default size as.");
    if (width == 150)
        return QStringLiteral("The Report Body font size has been set to a 6 Point default size as a result of "
                              "switching to 150 characters per line.");
    return {};
}

void changeWidth(ReportDefinition &definition, int width)
{
    const int lines = std::clamp(definition.numLines, 0, MaxNumLines);
    for (int i = 0; i < lines; ++i)
        definition.bodyLines[std::size_t(i)].normalise(width);
    definition.width = width;
    definition.bodyFont.size = bodyFontSizeFor(width);
}

Margins readMargins(const std::array<QString, 4> &texts, const QSizeF &paperInches)
{
    Margins result;
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> inches = readDecimal(texts[std::size_t(i)]);
        if (!inches || *inches < 0) {
            result.refused = i;
            result.message = QStringLiteral("Invalid %1 specified.  Margins are inches, 0 or more.  Please correct.")
                                 .arg(MarginNames[std::size_t(i)]);
            return result;
        }
        result.inches[std::size_t(i)] = *inches;
    }
    const auto &m = result.inches;
    if (paperInches.height() - m[0] - m[1] < 1) {
        result.refused = larger(m, 0);
        result.message = QStringLiteral("The Top and Bottom Margins leave less than one inch of the page to print "
                                        "on.  Please correct.");
    } else if (paperInches.width() - m[2] - m[3] < 1) {
        result.refused = larger(m, 2);
        result.message = QStringLiteral("The Left and Right Margins leave less than one inch of the page to print "
                                        "on.  Please correct.");
    }
    return result;
}

QStringList partEntries(bool totals, const Settings &settings)
{
    if (totals)
        return QStringList(TotalNames.begin(), TotalNames.end());
    return QStringList(settings.displayNames.begin(), settings.displayNames.end());
}

int partEntry(const ReportElement &element, bool totals)
{
    if (totals) {
        const auto found = std::find(TotalNames.begin(), TotalNames.end(), element.name);
        return found == TotalNames.end() ? -1 : int(found - TotalNames.begin());
    }
    for (int row = 1; row <= CatalogFields::Count; ++row) {
        if (QLatin1StringView(CatalogFields::row(row).name) == element.name)
            return row - 1;
    }
    return -1;
}

QString fieldCaption(const QString &name, const Settings &settings)
{
    const int entry = partEntry({name, 0, 0, {}}, false);
    return entry < 0 ? name : settings.displayNames[std::size_t(entry)];
}

std::optional<int> readPartWidth(const QString &text)
{
    const std::optional<int> width = readWhole(text);
    if (!width || *width < 0)
        return std::nullopt;
    return width;
}

void setPart(ReportLine &line, int item, const Part &part, int designerWidth, bool totals)
{
    ReportElement &element = line.elements[std::size_t(item - 1)];
    element.width = part.width;
    line.normalise(designerWidth);
    element.labelText.clear();
    switch (part.kind) {
    case Part::Kind::Filler:
        element.name = ReportElement::Filler;
        break;
    case Part::Kind::Label:
        element.name = ReportElement::Label;
        element.labelText = PickLists::trimBlanks(part.label).left(LabelLength);
        break;
    case Part::Kind::Field:
        element.name =
            totals ? TotalNames[std::size_t(part.entry)] : QString::fromLatin1(CatalogFields::row(part.entry + 1).name);
        element.fieldNo = part.entry + 1;
        break;
    }
}

} // namespace ReportDesign
