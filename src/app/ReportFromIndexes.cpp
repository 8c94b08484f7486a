#include "app/ReportFromIndexes.h"

#include "app/CommandLine.h"
#include "app/ConfigReader.h"
#include "app/Program.h"
#include "app/ReportRunner.h"
#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "model/NoteStore.h"
#include "model/Reindex.h"
#include "model/ReportTables.h"
#include "model/Schema.h"
#include "report/TPrintCompare.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"

namespace zel::app {

namespace {

// The record the full start's lookup finds: the first on index of key, exactly as it searches.
bool lookUp(data::Database& database, const QString& table, const QString& index,
            const QString& key, data::Dataset& found)
{
    found.setDatabase(&database);
    found.setTableName(table);
    found.setIndexName(index);
    found.open();
    return found.findKey({key});
}

// The comparison from the records read: a CAS number not found is told as the whole load
// tells it, for it is not in the whole tables either.
int writeComparison(data::Database& database, const CommandLine& command)
{
    QString error;
    try {
        report::TPrintCompare form(&database);
        model::Comparison comparison;
        error = ReportRunner::readComparison(form, command.compareCas, comparison);
        if (error.isEmpty())
            error = ReportRunner::writeReport(
                [&](report::TRpPrinter& printer) { form.run(comparison, printer); },
                command.reportFile, command.compareCas.join(QStringLiteral(", ")));
    } catch (const data::Error& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    return Program::reportWritten(error, command.reportFile);
}

} // namespace

std::optional<int> writeReportFromIndexes(const QString& programDirectory,
                                          const CommandLine& command)
{
    data::Database database;
    data::Dataset lookup;
    const bool compare = !command.compareCas.isEmpty();
    try {
        model::schema::addTablePassword();
        const model::Configuration configuration =
            readConfiguration(programDirectory, command.configFile, command.dataDirectory);
        if (configuration.isServer() || model::Reindex::needed(configuration.dataDirectory))
            return std::nullopt;
        model::define(database, configuration);
        if (compare)
            return model::reportTables::forComparison(database, command.compareCas)
                       ? std::optional<int>(writeComparison(database, command))
                       : std::nullopt;
        const bool material = !command.materialCas.isEmpty();
        if (material ? !model::reportTables::forMaterial(database, command.materialCas)
                     : !model::reportTables::forSupplier(database, command.supplierNumber))
            return std::nullopt;
        if (!lookUp(database, material ? model::tables::material : model::tables::supplier,
                    material ? model::indexes::casorder : QString(),
                    material ? command.materialCas : command.supplierNumber, lookup))
            return std::nullopt;
    } catch (...) {
        // Whatever stops this start, the full one says in its own words.
        return std::nullopt;
    }

    QString error;
    try {
        if (!command.materialCas.isEmpty()) {
            const QString sf = lookup.text(model::fields::sf);
            std::optional<model::NoteStore::Entry> notes;
            model::NoteStore store;
            if (command.withNotes)
                notes = store.entry(command.materialCas);
            // Asked for, notes that cannot be read are no reason to print a sheet without them.
            error = store.readable() ? QString() : store.problem();
            report::TPrintMaterial form(&database);
            if (error.isEmpty())
                error = ReportRunner::writeReport(
                    [&](report::TRpPrinter& printer) {
                        form.run(sf, command.materialCas, printer, notes ? &*notes : nullptr);
                    },
                    command.reportFile, lookup.text(model::fields::name));
        } else {
            report::TPrintSupplier form(&database);
            error = ReportRunner::writeReport(
                [&](report::TRpPrinter& printer) { form.run(command.supplierNumber, printer); },
                command.reportFile, QStringLiteral("supplier %1").arg(command.supplierNumber));
        }
    } catch (const data::Error& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    return Program::reportWritten(error, command.reportFile);
}

} // namespace zel::app
