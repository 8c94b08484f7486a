#include "data/base/Layout.h"

namespace zel::data {

const IndexDef* TableDef::index(const QString& name) const
{
    for (const IndexDef& def : indexes)
        if (def.name.compare(name, Qt::CaseInsensitive) == 0)
            return &def;
    return nullptr;
}

} // namespace zel::data
