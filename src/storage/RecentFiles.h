#pragma once

#include <QString>
#include <array>

// The five most recently left databases, most recent first; empty slots hold
// empty strings.
namespace RecentFiles {

using List = std::array<QString, 5>;

// After a switch from `previous` to `current`: `current` leaves the list (its
// first exact occurrence, the slots behind it moving up), then `previous`
// enters at the front and the fifth slot falls off.
void update(List &list, const QString &previous, const QString &current);

} // namespace RecentFiles
