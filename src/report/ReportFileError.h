#pragma once

#include "data/base/Error.h"

namespace zel::report {

// Every failure of the page store and the saved report file: a file that cannot be created,
// opened or written, a file that is not a report file or is damaged, a page whose image is
// unreadable. Callers show message() to the user as it stands, so it names the file or page and
// the cause. Nothing that throws it leaves a half-written file behind.
class ReportFileError : public data::Error
{
public:
    using Error::Error;
};

} // namespace zel::report
