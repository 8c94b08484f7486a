#pragma once

#include "data/engine/DatasetSet.h"

#include <vector>

namespace zel::model {

// The datasets the windows keep, declared once; the lists are in opening order.
namespace decls {
const std::vector<data::DatasetDecl>& mainWindow();
const std::vector<data::DatasetDecl>& printMaterial();
const std::vector<data::DatasetDecl>& printSupplier();
// A comparison's own cursors: a material by CAS number with its commercial names and their
// suppliers, and the materials in name order for its search.
const std::vector<data::DatasetDecl>& comparison();
} // namespace decls

} // namespace zel::model
