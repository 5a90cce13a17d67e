#include "FaultPoint.h"

namespace FaultPoint {

static Hook currentHook = nullptr;
static FailureHook currentFailureHook = nullptr;

void setHook(Hook hook)
{
    currentHook = hook;
}

void reach(const char *point)
{
    if (currentHook)
        currentHook(point);
}

void setFailureHook(FailureHook hook)
{
    currentFailureHook = hook;
}

int failure(Operation operation, const QString &path, std::uint64_t offset, std::size_t &size)
{
    return currentFailureHook ? currentFailureHook(operation, path, offset, size) : 0;
}

} // namespace FaultPoint
