#include "FaultPoint.h"

namespace FaultPoint {

static Hook currentHook = nullptr;

void setHook(Hook hook)
{
    currentHook = hook;
}

void reach(const char *point)
{
    if (currentHook)
        currentHook(point);
}

} // namespace FaultPoint
