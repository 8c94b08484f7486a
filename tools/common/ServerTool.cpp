#include "common/ServerTool.h"

#include "data/base/Error.h"
#include "data/base/FileName.h"
#include "data/engine/Database.h"
#include "data/engine/Index.h"
#include "data/engine/Table.h"
#include "data/paradox/ParadoxFile.h"
#include "data/server/PgConnection.h"
#include "data/server/ServerTables.h"
#include "model/Schema.h"

#include <QDir>

namespace zel::data {

namespace schema = model::schema;

// The tools wait as long as the server takes: an import waits for another one to commit, and
// making indexes over large tables takes what it takes. Someone is at the terminal to stop them.

void serverInit(const QString& connection, const QString& readerRole, QTextStream& out)
{
    PgConnection server(connection, 0);
    for (const QString& statement : server::schemaStatements(schema::serverCatalog()))
        server.exec(statement);
    server::createReaderRole(schema::serverCatalog(), server, readerRole,
                             qEnvironmentVariable("ZEL_READER_PASSWORD"));
    out << "Created the tables on " << PgConnection::redacted(connection)
        << " and the reading role " << readerRole << '\n';
}

void serverImport(const QString& dataDirectory, const QString& connection, QTextStream& out)
{
    const QStringList passwords{QString::fromLatin1(schema::tablePassword())};
    std::vector<std::shared_ptr<Table>> tables;
    std::map<QString, const TableStore*> stores;
    for (const TableDef* def : schema::allTables()) {
        const QString path = Database::findFileIn(dataDirectory, def->fileName);
        if (path.isEmpty())
            throw DatabaseError(QStringLiteral("Table %1 not found in %2")
                                    .arg(def->fileName, QDir::toNativeSeparators(dataDirectory)));
        // Opened with its layout, so a table of the wrong fields or duplicate keys stops the
        // import before anything reaches the server.
        tables.push_back(Table::open(path, def, Table::Access::Shared, passwords));
        stores[def->fileName] = &tables.back()->store();
    }
    PgConnection server(connection, 0);
    server::replaceTables(schema::serverCatalog(), server, stores);
    out << "Imported";
    for (const std::shared_ptr<Table>& table : tables)
        out << ' ' << table->recordCount() << ' ' << table->displayName();
    out << " into " << PgConnection::redacted(connection) << '\n';
}

void serverExport(const QString& connection, const QString& dataDirectory, QTextStream& out)
{
    PgConnection server(connection, 0);
    const std::map<QString, std::shared_ptr<Table>> tables =
        server::openTables(schema::serverCatalog(), server);
    if (!makeDirectories(dataDirectory))
        throw DatabaseError(QStringLiteral("Cannot make the directory %1")
                                .arg(QDir::toNativeSeparators(dataDirectory)));
    const QString password = QString::fromLatin1(schema::tablePassword());
    for (const auto& [fileName, table] : tables) {
        TableData data;
        data.fields = table->store().fields();
        data.primaryKeyFields = table->info().primaryKeyFields;
        const Index& primary = table->index(*table->indexByName(QString()));
        data.rows.reserve(static_cast<size_t>(table->recordCount()));
        for (int pos = 0; pos < primary.size(); ++pos) {
            const int record = primary.recordAt(pos);
            std::vector<QVariant> row;
            for (int f = 0; f < table->fieldCount(); ++f)
                row.push_back(table->value(record, f));
            data.rows.push_back(std::move(row));
        }
        // An existing table is replaced under whatever case its name has.
        QString path = Database::findFileIn(dataDirectory, fileName);
        if (path.isEmpty())
            path = QDir(dataDirectory).filePath(fileName);
        paradox::writeTableFile(path, data, password);
        out << "Wrote " << table->recordCount() << ' ' << QDir::toNativeSeparators(path) << '\n';
    }
}

} // namespace zel::data
