#pragma once

#include "report/emf/EmfImage.h"

#include <QString>
#include <functional>
#include <optional>

namespace zel::report {

// Writes pages 1 to count, as page(n) gives them, to a PDF file whose pages have each page
// image's paper size and orientation. Throws ReportFileError (naming sourceName for a page
// with an impossible paper size); a failure leaves no file behind. path follows the rules of
// data::OutputFile; "-" is standard output where standardOutputAllowed.
void writePagesAsPdf(int count, const std::function<std::optional<emf::EmfImage>(int)>& page,
                     const QString& path, const QString& title, const QString& sourceName,
                     bool standardOutputAllowed = false);

} // namespace zel::report
