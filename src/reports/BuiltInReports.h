#pragma once

#include "ReportDefinition.h"

#include <vector>

namespace BuiltInReports {

// The eight reports written into a new report-definitions file, in file order:
// "Short Narrow Report", "2 Line 120 Column Report", "4 Line Report", "Full
// Report", "Location Report", "Library Checkout Report", "Value Report" and
// "Statistic/Summary Report".
std::vector<ReportDefinition> all();

} // namespace BuiltInReports
