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

} // namespace FuzzTargets
