#pragma once

#include "data/base/Layout.h"
#include "data/base/TableStore.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

namespace zel::data {

class PgConnection;
class Table;

// The tables on a database server: their schema, reading them whole into the engine's
// storage, and replacing them. The server holds the same fields, keys and secondary indexes
// as the data directory; the engine still sorts in memory after loading, so the order the
// windows show never depends on the server's settings.
namespace server {

// What the server is told of the tables it holds, by the program that keeps them there.
struct Catalog
{
    std::vector<const TableDef*> tables; // in the order they are read and written
    // The password the tables' files carry: tables read from the server keep its checksum, so
    // that written back into a directory they are protected as the originals were.
    QString password;
    // An empty value of this one text field is stored as this text, as re-indexing writes it
    // into a data directory, so both sources show the same rows. No rule when table is null.
    struct Placeholder
    {
        const TableDef* table = nullptr;
        QString field;
        QString text;
    } placeholder;
};

// The table that holds the rows of a table file, e.g. "material" for MATERIAL.DB.
QString tableName(const TableDef& def);
// The channel an import notifies once its data are committed.
QString changeChannel();
// The role pg-init makes for browsing when not told another name.
QString defaultReaderRole();

// The collation of every secondary index on the server: the root locale compared at the
// second strength (letters and accents count, case does not), so that accented letters sort
// beside their base letter and "a" and "A" are one key, as the engine's own indexes compare.
// Everything that names it goes through this one definition.
QString collationName();
QString collationStatement();
// CREATE INDEX for one secondary index of a table.
QString indexStatement(const TableDef& table, const IndexDef& index);

// The statements that create the collation, the three tables and their indexes, and the
// revision of their data; each may run again over a schema that exists (and then gives the
// data a new revision).
QStringList schemaStatements(const Catalog& catalog);

// The revision of the three tables' data: a table of one row whose value a trigger on each
// of them replaces with a new random one at every statement that changes rows, in the same
// transaction. Together with the tables' identities it names their contents exactly, so a
// copy kept with it (LocalCache) may stand for them. Empty when the server keeps no revision
// (a schema made before there was one, a trigger missing or disabled, a role that may not
// read it): the tables are then always read from the server.
QString revision(const Catalog& catalog, PgConnection& connection);

// Whether the connection's role owns all three tables, so may create their indexes.
bool mayMaintain(const Catalog& catalog, PgConnection& connection);
// Makes sure the secondary indexes and the revision of the data exist; the caller has asked
// mayMaintain. Returns the number of statements that ran.
int ensureIndexes(const Catalog& catalog, PgConnection& connection);

// Checks that the three tables exist with the fields the program reads and reads them in
// one snapshot, each with one binary COPY. Throws DatabaseError naming the table and what is
// wrong: a missing table or field, a field of the wrong type, broken data.
std::map<QString, TableStore> loadTables(const Catalog& catalog, PgConnection& connection);
// The same, made into tables with their indexes sorted in memory, keyed by file name. When
// revision is given it is set to the revision of the data read (see revision()).
std::map<QString, std::shared_ptr<Table>>
openTables(const Catalog& catalog, PgConnection& connection, QString* revision = nullptr);

// Replaces the rows of the three tables in one transaction and notifies the change channel,
// so either all of the new data are there or none. An empty commercial name is stored as the
// placeholder "~", as re-indexing writes it into a data directory. stores is keyed by file
// name and must hold every table of the catalog.
void replaceTables(const Catalog& catalog, PgConnection& connection,
                   const std::map<QString, const TableStore*>& stores);

// The role for browsing: may log in, read the three tables and their revision, nothing else. An
// empty password leaves the role's password as it is.
void createReaderRole(const Catalog& catalog, PgConnection& connection, const QString& role,
                      const QString& password);

} // namespace server
} // namespace zel::data
