#pragma once

#include <cstddef>
#include <cstdint>

// What the fuzzers feed their inputs to; the tests replay the inputs kept in
// tests/data/fuzz through the same functions. Each aborts on a broken
// invariant; readers' errors are expected and swallowed.
namespace FuzzTargets {

// A table and its production index as another program may have left them: the
// first three bytes give the length of the .DBF part, the rest is the .MDX. The
// pair is opened with the index selected and every field of every record read;
// then the index alone is read tag by tag.
void readTableWithIndex(const std::uint8_t *data, std::size_t size);

// Settings files as anyone may have edited them: any bytes must parse, every
// settings key must read from the result, and what is written back must read
// back the same.
void readSettingsFile(const std::uint8_t *data, std::size_t size);

// A comma-delimited text file as any program may have written it: the first
// line is checked as a header, then every line is read to its end.
void readDelimitedText(const std::uint8_t *data, std::size_t size);

// A pick-list file as any editor may have left it: every entry is one line of
// at most 255 characters holding more than blanks; the entries written back
// read back the same; sorting keeps every entry.
void readPickList(const std::uint8_t *data, std::size_t size);

// A report-definitions file as anyone may have left it, read both ways: as
// SHMKLIB.URP every whole record is listed and loaded, reads back the same
// after a save, and is generated (text file and recording) over three books;
// as the earlier BOOK.URP it is converted, adding one report per whole record
// that is not an earlier built-in one, and removed. Generating needs a GUI
// application (fonts).
void readReportDefinitions(const std::uint8_t *data, std::size_t size);

} // namespace FuzzTargets
