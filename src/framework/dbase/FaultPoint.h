#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// Named points inside multi-step file updates. Tests install a hook that throws
// at a point, or kills the process there, to leave the files exactly as a
// failure or a crash there would:
//   append:record-written  a stored record and the end byte written, not counted
//   append:counted         the header counts the record; the index not written
//   edit:written           a record rewritten in place; the index not written
//   bulk:records-written   a bulk update's appended records written, not counted
//   bulk:counted           the header counts them; the index not written
//   mdx:written            a new .MDX complete under its temporary name
//   pack:written           a packed table complete under its temporary name
//   create:written         a new table complete under its temporary name
//   file:written           a settings, list, report-definitions or report text
//                          file complete under its temporary name
//   copy:block-written     a block of a file copy written to its temporary file
//   copy:written           a file copy complete under its temporary name
//   copy:put-back          a kept copy of a file about to be renamed back over it
// A throw before a count is written stands for a failure, which the engine
// undoes; a throw after it leaves the change stored and the object as a crash
// would (close it).
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
