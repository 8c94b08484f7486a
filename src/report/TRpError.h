#pragma once

#include "data/base/Error.h"

namespace zel::report {

// A fault of the report engine itself (a page producer used out of order, a PDF that cannot be
// written), as opposed to a damaged report file.
class TRpError : public data::Error
{
public:
    using Error::Error;
};

} // namespace zel::report
