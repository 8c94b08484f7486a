#pragma once

#include "TempDir.h"
#include "common/SampleDatabase.h"
#include "data/engine/Database.h"

#include <memory>

namespace zel::test {

// A small database with the rows that trip up lookups: empty, "0..." and "~" commercial
// names, lower-case names, a material without commercial names, a supplier without any,
// and links that match nothing.
data::DatabaseContent smallContent();

// Writes content into a fresh directory and opens a database on it.
struct DatabaseFixture
{
    explicit DatabaseFixture(const data::DatabaseContent& content = smallContent(),
                             const data::WriteOptions& options = {});
    TempDir dir;
    std::unique_ptr<data::Database> db;
};

} // namespace zel::test
