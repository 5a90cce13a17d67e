#pragma once

// Named points inside multi-step file updates (after a record is written and
// before the header count, after a new file is written and before it is renamed
// into place). Tests install a hook that throws at a point to leave the files
// exactly as a crash there would.
namespace FaultPoint {

using Hook = void (*)(const char *point);

void setHook(Hook hook);
void reach(const char *point);

} // namespace FaultPoint
