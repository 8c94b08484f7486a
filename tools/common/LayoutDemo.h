#pragma once

#include "report/TRpReport.h"

#include <memory>

namespace zel::data {
class Dataset;
}

namespace zel::report {

// A report in the shape of the material report, over any materials and synonyms datasets:
// a page header with the name and a rule, one detail band per material with its CAS number
// and stretching description texts in a narrow column, its commercial names as a sub-detail,
// and a page footer with the page number. It shows header, stretching, page breaks and footer
// together, for `zeltool report layout`, tests and benchmarks. synonyms should follow
// materials by "cas"; it may be none.
std::unique_ptr<TRpReport> makeLayoutDemo(data::Dataset* materials, data::Dataset* synonyms);

} // namespace zel::report
