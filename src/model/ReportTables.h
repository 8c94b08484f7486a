#pragma once

#include <QString>
#include <QStringList>

namespace zel::data {
class Database;
}

namespace zel::model {

// The records a headless report reads, loaded alone through the index files (each table with
// only them, Database::tableMatching) instead of the three tables whole: the report's datasets
// then find in them what they would have found in the whole tables, in the same orders.
// Each returns false when an index file it needs is not current; the tables the database then
// holds in part are to be let go (a new database) and the report run over the whole tables.
namespace reportTables {

// The material report of a CAS number: the materials of that number, their commercial names
// and the suppliers of those.
bool forMaterial(data::Database& database, const QString& cas);
// The supplier report: the supplier, its commercial names and their materials.
bool forSupplier(data::Database& database, const QString& supnr);
// The comparison: as the material report, for each of the CAS numbers.
bool forComparison(data::Database& database, const QStringList& cas);

} // namespace reportTables
} // namespace zel::model
