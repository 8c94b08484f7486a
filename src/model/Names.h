#pragma once

#include <QString>

// The names the program gives its tables, indexes, fields and datasets, each spelt here once.
// The engine compares them without regard to case, so a second spelling would still work and
// would hide a typing error until the one lookup that misses; code names them only through
// these constants. They are made from literals, so using one allocates nothing.
namespace zel::model {

// The three table files, as the program names them in the data directory.
namespace tables {
inline const QString material = QStringLiteral("MATERIAL.DB");
inline const QString synonyms = QStringLiteral("SYNONYMS.DB");
inline const QString supplier = QStringLiteral("SUPPLIER.DB");
} // namespace tables

// Index names; each index file is named after its table and its index.
namespace indexes {
inline const QString primary = QStringLiteral("primary");
inline const QString casorder = QStringLiteral("casorder"); // MATERIAL.DB by cas
inline const QString idindex = QStringLiteral("idindex");   // MATERIAL.DB by id
inline const QString linksupp = QStringLiteral("linksupp"); // SYNONYMS.DB by supnr, cas
inline const QString name = QStringLiteral("name"); // SYNONYMS.DB by name, SUPPLIER.DB by supname
inline const QString linkname = QStringLiteral("linkname"); // SUPPLIER.DB by supnr, supname
} // namespace indexes

// Field names, by table; a name two tables share is listed once.
namespace fields {
// MATERIAL.DB
inline const QString name = QStringLiteral("name");
inline const QString sf = QStringLiteral("sf");
inline const QString cas = QStringLiteral("cas");
inline const QString name1 = QStringLiteral("name1");
inline const QString name2 = QStringLiteral("name2");
inline const QString odour = QStringLiteral("odour");
inline const QString performance = QStringLiteral("performance");
inline const QString application = QStringLiteral("application");
inline const QString literature = QStringLiteral("literature");
inline const QString stabil = QStringLiteral("stabil");
inline const QString notes = QStringLiteral("notes");
inline const QString id = QStringLiteral("id");
// SYNONYMS.DB: cas, name and
inline const QString supnr = QStringLiteral("supnr");
inline const QString price = QStringLiteral("price");
// SUPPLIER.DB: supnr and
inline const QString supname = QStringLiteral("supname");
inline const QString address = QStringLiteral("address");
inline const QString city = QStringLiteral("city");
inline const QString country = QStringLiteral("country");
inline const QString phone = QStringLiteral("phone");
// Calculated fields of the main window's datasets.
inline const QString SupName = QStringLiteral("SupName");           // of TableSynonyms2
inline const QString materialName = QStringLiteral("materialName"); // of TableSupLink2
} // namespace fields

// The datasets of the main window and of the two report forms.
namespace datasets {
inline const QString TableMaterial = QStringLiteral("TableMaterial");
inline const QString TableMaterial2 = QStringLiteral("TableMaterial2");
inline const QString TableMaterialSelect = QStringLiteral("TableMaterialSelect");
inline const QString TableSynonyms2 = QStringLiteral("TableSynonyms2");
inline const QString TableSynonymsSelect = QStringLiteral("TableSynonymsSelect");
inline const QString TableSupplierShow = QStringLiteral("TableSupplierShow");
inline const QString TableSupplier = QStringLiteral("TableSupplier");
inline const QString TableSupLink2 = QStringLiteral("TableSupLink2");
inline const QString TableCommSynonyms = QStringLiteral("TableCommSynonyms");
inline const QString TableCommMaterial = QStringLiteral("TableCommMaterial");
inline const QString TableCommSupplier = QStringLiteral("TableCommSupplier");
// The report forms' own; they also name theirs TableMaterial, TableMaterial2, TableSupplier.
inline const QString TableSin = QStringLiteral("TableSin");
} // namespace datasets

} // namespace zel::model
