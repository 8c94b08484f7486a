#include "model/ReportTables.h"

#include "data/engine/Database.h"
#include "model/Names.h"

#include <set>

namespace zel::model::reportTables {

namespace {

// The distinct values of a field of the records read, each a key of the next table.
std::vector<data::KeyValues> keysFrom(const data::Table& table, const QString& field)
{
    const int no = table.fieldIndex(field);
    std::set<QString> seen;
    std::vector<data::KeyValues> keys;
    for (int r = 0; r < table.recordCount(); ++r)
        if (const QString value = table.text(r, no).toString(); seen.insert(value).second)
            keys.push_back({value});
    return keys;
}

} // namespace

// Each table is searched by the index its report dataset runs on (model::decls): the found
// records are then the whole of each range and master link the report walks. The first search
// is the one the report's lookup makes, without regard to case, which also holds every record
// the exact searches after it can find.
namespace {

bool forMaterials(data::Database& database, const std::vector<data::KeyValues>& cas)
{
    const auto material = database.tableMatching(tables::material, indexes::casorder, cas);
    if (!material)
        return false;
    const auto names = database.tableMatching(tables::synonyms, indexes::primary,
                                              keysFrom(*material, fields::cas));
    return names && database.tableMatching(tables::supplier, indexes::primary,
                                           keysFrom(*names, fields::supnr));
}

} // namespace

bool forMaterial(data::Database& database, const QString& cas)
{
    return forMaterials(database, {{cas}});
}

bool forComparison(data::Database& database, const QStringList& cas)
{
    std::vector<data::KeyValues> keys;
    for (const QString& c : cas)
        keys.push_back({c});
    return forMaterials(database, keys);
}

bool forSupplier(data::Database& database, const QString& supnr)
{
    const auto supplier = database.tableMatching(tables::supplier, indexes::linkname, {{supnr}});
    if (!supplier)
        return false;
    const auto names = database.tableMatching(tables::synonyms, indexes::linksupp,
                                              keysFrom(*supplier, fields::supnr));
    return names && database.tableMatching(tables::material, indexes::casorder,
                                           keysFrom(*names, fields::cas));
}

} // namespace zel::model::reportTables
