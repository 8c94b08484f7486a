#pragma once

#include "data/engine/DatasetSet.h"

#include <vector>

namespace zel::model {

// The datasets the windows keep, declared once; the lists are in opening order.
namespace decls {
const std::vector<data::DatasetDecl>& mainWindow();
const std::vector<data::DatasetDecl>& printMaterial();
const std::vector<data::DatasetDecl>& printSupplier();
} // namespace decls

} // namespace zel::model
