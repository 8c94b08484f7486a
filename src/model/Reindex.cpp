#include "model/Reindex.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/engine/Database.h"
#include "data/engine/Dataset.h"
#include "data/server/PgConnection.h"
#include "data/server/ServerTables.h"
#include "model/Names.h"
#include "model/Schema.h"

#include <QCoreApplication>
#include <memory>
#include <unistd.h>

namespace zel::model {

using data::Database;
using data::Dataset;
using data::IndexDef;
using data::OwnerNotKeptError;
using data::TableDef;

namespace {

// Writes the placeholder into every empty commercial name of the open table, in one rewrite.
// A name whose placeholder would give its record the key of another one (the same material
// and supplier already have a "~") stays empty: the record is still listed under its material
// and supplier, and re-indexing goes on instead of failing on every start. A table that
// belongs to another user is left as it is, and the user is told why.
void replaceEmptyNames(Dataset& table, Reindex::Progress& progress)
{
    table.setIndexName(indexes::name);
    try {
        table.fillEmpty(fields::name, Reindex::placeholder());
    } catch (const OwnerNotKeptError& e) {
        progress.showError(Reindex::ownerNotKeptMessage(table.tableName()), e.message());
    }
}

} // namespace

const QStringList& Reindex::oldIndexPatterns()
{
    static const QStringList patterns{QStringLiteral("*.zix")};
    return patterns;
}

const std::vector<Reindex::Step>& Reindex::plan()
{
    static const std::vector<Step> steps = [] {
        const QString syn = tables::synonyms.toLower();
        // Each index is built on the fields the schema gives it.
        const auto add = [](const TableDef& def, const char* label, const QString& index) {
            const IndexDef* built = def.index(index);
            Q_ASSERT(built);
            return Step{def.fileName.toLower(),
                        QString::fromLatin1(label),
                        Action::AddIndex,
                        index,
                        built->fields.join(QLatin1Char(';')),
                        built->primary};
        };
        const TableDef& s = schema::synonyms();
        const TableDef& m = schema::material();
        const TableDef& p = schema::supplier();
        return std::vector<Step>{
            add(s, "Primary", indexes::primary),
            add(s, "Synonyms Link", indexes::linksupp),
            add(s, "Name", indexes::name),
            Step{syn, QStringLiteral("Commercial Name"), Action::Placeholder, {}, {}, false},
            add(m, "Primary", indexes::primary),
            add(m, "CAS order", indexes::casorder),
            add(m, "ID order", indexes::idindex),
            add(p, "Primary", indexes::primary),
            add(p, "Supplier Link", indexes::linkname),
            add(p, "Supplier Name", indexes::name),
        };
    }();
    return steps;
}

QString Reindex::deleteFailedMessage(const QString& pattern)
{
    return QCoreApplication::translate("zel::model::Reindex",
                                       "Error indexing database\rCannot delete old index files: ") +
           pattern;
}

QString Reindex::ownerNotKeptMessage(const QString& tableFile)
{
    return QCoreApplication::translate("zel::model::Reindex",
                                       "The empty commercial names in %1 were left as they are: "
                                       "the file belongs to another user, and writing it again "
                                       "would take it from them.")
        .arg(tableFile);
}

QString Reindex::stepFailedMessage(const QString& tableFile)
{
    return QCoreApplication::translate("zel::model::Reindex", "Cannot reindex file:") + tableFile;
}

bool Reindex::needed(const QString& dataDirectory)
{
    data::Database database;
    database.setPath(dataDirectory);
    return !database.findFile(tables::material).isEmpty() &&
           !database.indexFileCurrent(tables::material, indexes::idindex);
}

bool Reindex::run(const QString& dataDirectory, Progress& progress)
{
    if (!deleteOldIndexFiles(dataDirectory, progress))
        return false;
    return buildIndexes(dataDirectory, progress);
}

Reindex::Result Reindex::runOnServer(const QString& connection, int answerTimeout,
                                     Progress& progress)
{
    std::unique_ptr<data::PgConnection> server;
    try {
        server = std::make_unique<data::PgConnection>(connection, answerTimeout);
    } catch (const data::DatabaseError&) {
        return Result::NotNeeded;
    }
    const data::server::Catalog& catalog = schema::serverCatalog();
    try {
        if (!data::server::mayMaintain(catalog, *server))
            return Result::NotNeeded;
        return data::server::ensureIndexes(catalog, *server) > 0 ? Result::Done : Result::NotNeeded;
    } catch (const data::DatabaseError& e) {
        progress.showError(stepFailedMessage(data::server::tableName(schema::material())),
                           e.message());
        return Result::Failed;
    }
}

bool Reindex::deleteOldIndexFiles(const QString& dataDirectory, Progress& progress)
{
    progress.setIndexName(QString());
    const QString dir = dataDirectory.isEmpty() ? QStringLiteral("./") : dataDirectory;
    for (const QString& pattern : oldIndexPatterns()) {
        progress.setFileName(pattern);
        progress.repaintNow();
        QStringList names;
        if (const int error = data::listMatching(dir, pattern, names)) {
            progress.showError(deleteFailedMessage(pattern), data::systemError(error));
            return false;
        }
        // A file that will not go is left for the engine, which ignores an index file that
        // does not match its table.
        for (const QString& name : names)
            ::unlink(data::fileNameBytes(dir + QLatin1Char('/') + name).constData());
    }
    return true;
}

bool Reindex::buildIndexes(const QString& dataDirectory, Progress& progress)
{
    Database database;
    schema::describe(database);
    database.setPath(dataDirectory);
    Dataset table(QStringLiteral("Table"));
    table.setDatabase(&database);
    table.setExclusive(true);

    QString fileName;
    try {
        for (const Step& step : plan()) {
            if (step.table != fileName) {
                table.close();
                fileName = step.table;
                table.setTableName(fileName);
                // The placeholder step chose "name"; the next table may not have it.
                table.setIndexName(QString());
                progress.setFileName(fileName);
            }
            progress.setIndexName(step.label);
            progress.repaintNow();
            // The table stays open, and exclusively ours, through all of its steps: a
            // large table is read once instead of once per index, and no other copy of the
            // program can slip in between two of its indexes.
            table.open();
            if (step.action == Action::AddIndex)
                table.addIndex(step.index, step.fields, step.primary);
            else
                replaceEmptyNames(table, progress);
        }
        table.close();
    } catch (const std::exception& e) {
        table.close();
        progress.showError(stepFailedMessage(fileName), QString::fromUtf8(e.what()));
        progress.hideProgress();
        return false;
    }
    progress.hideProgress();
    return true;
}

} // namespace zel::model
