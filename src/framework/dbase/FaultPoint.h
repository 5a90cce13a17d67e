#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// Named points inside multi-step file updates (after a record is written and
// before the header count, after a new file is written and before it is renamed
// into place). Tests install a hook that throws at a point, or kills the
// process there, to leave the files exactly as a failure or a crash there would.
//
// Tests can also make a file operation fail as the system would (a full disk,
// a read-only folder): the failure hook answers the errno the operation fails
// with, 0 to let it run. For a write it may lower `size` to the bytes written
// before the failure, as a nearly full disk writes what still fits.
namespace FaultPoint {

using Hook = void (*)(const char *point);

void setHook(Hook hook);
void reach(const char *point);

enum class Operation { Create, Write, Rename };
using FailureHook = int (*)(Operation operation, const QString &path, std::uint64_t offset, std::size_t &size);

void setFailureHook(FailureHook hook);
int failure(Operation operation, const QString &path, std::uint64_t offset, std::size_t &size);

} // namespace FaultPoint
