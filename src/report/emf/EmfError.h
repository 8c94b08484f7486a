#pragma once

#include "data/base/Error.h"

namespace zel::report::emf {

// A page image that breaks the metafile rules: a record that claims more bytes than there are,
// a count that does not fit its record, an object index outside the handle table. Raised before
// anything is drawn, so a rejected image never leaves half a page on the painter.
class EmfError : public data::Error
{
public:
    using Error::Error;
};

} // namespace zel::report::emf
