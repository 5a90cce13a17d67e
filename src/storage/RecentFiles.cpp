#include "RecentFiles.h"

namespace RecentFiles {

void update(List &list, const QString &previous, const QString &current)
{
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (list[k] == current) {
            for (std::size_t i = k; i + 1 < list.size(); ++i)
                list[i] = list[i + 1];
            list.back().clear();
            break;
        }
    }
    for (std::size_t i = list.size() - 1; i > 0; --i)
        list[i] = list[i - 1];
    list.front() = previous;
}

} // namespace RecentFiles
