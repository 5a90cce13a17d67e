#include "ViewerConfiguration.h"

#include <algorithm>
#include <numeric>

namespace ViewerConfiguration {

Grids fromSettings(const Settings &settings)
{
    Grids grids;
    for (int i = 0; i < Count; ++i) {
        grids.names[i] = settings.displayNames[i];
        grids.widths[i] = QString::number(settings.fieldWidths[i]);
        grids.shown[i] = settings.displayFields[i] ? QStringLiteral("Yes") : QStringLiteral("No");
    }
    grids.orderFields = orderFromPositions(settings.fieldOrder);
    return grids;
}

std::array<int, Count> orderFromPositions(const std::array<int, Count> &positions)
{
    std::array<int, Count> order = defaultOrder();
    std::stable_sort(order.begin(), order.end(),
                     [&positions](int a, int b) { return positions[a - 1] < positions[b - 1]; });
    return order;
}

std::array<int, Count> positionsFromOrder(const std::array<int, Count> &orderFields)
{
    std::array<int, Count> positions{};
    for (int p = 0; p < Count; ++p)
        positions[orderFields[p] - 1] = p + 1;
    return positions;
}

std::array<int, Count> defaultOrder()
{
    std::array<int, Count> order{};
    std::iota(order.begin(), order.end(), 1);
    return order;
}

QString storedName(const QString &text)
{
    return text.left(MaxNameLength);
}

std::optional<Duplicate> duplicateName(const std::array<QString, Count> &names)
{
    for (int i = 0; i < Count; ++i) {
        const QString name = storedName(names[i]);
        for (int j = i + 1; j < Count; ++j) {
            if (storedName(names[j]) == name)
                return Duplicate{i, j, name};
        }
    }
    return std::nullopt;
}

QString duplicateMessage(const QString &name)
{
    return QStringLiteral("Two field names have the same name \"%1\".  Please change one.").arg(name);
}

int width(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok && value >= 1 && value <= 255 ? value : DefaultWidth;
}

void store(const Grids &grids, Settings &settings)
{
    const std::array<int, Count> positions = positionsFromOrder(grids.orderFields);
    for (int i = 0; i < Count; ++i) {
        settings.fieldWidths[i] = width(grids.widths[i]);
        settings.displayFields[i] = grids.shown[i] == QLatin1String("Yes");
        settings.fieldOrder[i] = positions[i];
        settings.displayNames[i] = storedName(grids.names[i]);
    }
}

QString fontText(const QFont &font)
{
    return QStringLiteral("%1pt %2").arg(font.pointSize()).arg(font.family());
}

} // namespace ViewerConfiguration
