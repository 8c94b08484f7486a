#pragma once

#include "data/base/Layout.h"
#include "data/server/ServerTables.h"

#include <QString>
#include <vector>

namespace zel::data {
class Database;
}

namespace zel::model {

// The sort form of a material name, the field sf that leads MATERIAL.DB's primary index and so
// gives the name order: upper case, accents dropped. The name search turns what is typed into
// the same form.
QString sortForm(const QString& name);

// The three tables of the database, their record layouts and their nine indexes.
namespace schema {
const data::TableDef& material();
const data::TableDef& synonyms();
const data::TableDef& supplier();
// The definition whose file name matches (without regard to case), or nullptr.
const data::TableDef* tableByFileName(const QString& fileName);
const std::vector<const data::TableDef*>& allTables();
inline const char* tablePassword()
{
    return "qomtk4";
}
// The checksum of that password as table headers hold it.
constexpr quint32 tablePasswordChecksum = 0x188cfb38;
// Lets every table opened from now on be read with that password (its checksum known, so
// that reading needs no library to work it out).
void addTablePassword();
// Gives a database the layouts of the three tables, so that it checks their fields and gives
// them their indexes.
void describe(data::Database& database);
// The three tables as a server holds them: their layouts, their password and the placeholder
// of an empty commercial name.
const data::server::Catalog& serverCatalog();
} // namespace schema

} // namespace zel::model
