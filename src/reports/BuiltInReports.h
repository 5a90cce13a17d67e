#pragma once

#include "ReportDefinition.h"

#include <vector>

namespace BuiltInReports {

// The eight reports written into a new report-definitions file, in file order:
// "Short Narrow Report", "2 Line 120 Column Report", "4 Line Report", "Full
// Report", "Location Report", "Library Checkout Report", "Value Report" and
// "Statistic/Summary Report".
std::vector<ReportDefinition> all();

// What New Report starts from: no name, 90 characters, "Courier New" 10 pt
// (bold for titles, column headers and footnotes), one line per book with
// rules, column headers, totals, grouping by the first sort level, and every
// line undesigned.
ReportDefinition newReport();

} // namespace BuiltInReports
