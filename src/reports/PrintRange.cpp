#include "PrintRange.h"

#include "edit/PickLists.h"

PrintRange PrintRange::read(const QString &start, const QString &end, int pageCount)
{
    PrintRange range;
    bool ok = false;
    range.first = PickLists::trimBlanks(start).toInt(&ok);
    if (!ok || range.first <= 0 || range.first > pageCount) {
        range.refused = Refusal::Start;
        range.message = QStringLiteral("Invalid Starting Page specified. Please correct.");
        return range;
    }
    range.last = PickLists::trimBlanks(end).toInt(&ok);
    if (!ok || range.last < range.first || range.last > pageCount) {
        range.refused = Refusal::End;
        range.message = QStringLiteral("Invalid Ending Page specified.  Please correct.");
    }
    return range;
}
