#include "report/TPrintForm.h"

#include "data/engine/Dataset.h"
#include "report/TRpPrinter.h"

namespace zel::report {

TPrintForm::TPrintForm(data::Database* database, const std::vector<data::DatasetDecl>& decls)
    : m_datasets(std::make_unique<data::DatasetSet>(database, decls))
{
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::runOn(const std::vector<const QString*>& openOrder, const data::KeyValues& key,
                       TRpPrinter& printer)
{
    data::DatasetSet& ds = *m_datasets;
    data::Dataset* main = ds.get(*openOrder.back());
    // The details close before their masters, the main dataset last. On the way out of a
    // failed run their own errors must not hide the one that ended it.
    const auto closeAll = [&](bool quiet) {
        const auto step = [quiet](auto&& f) {
            if (!quiet)
                return f();
            try {
                f();
            } catch (...) {
            }
        };
        step([&] { main->cancelRange(); });
        for (auto it = openOrder.rbegin() + 1; it != openOrder.rend(); ++it)
            step([&] { ds.get(**it)->close(); });
        step([&] { main->close(); });
    };
    try {
        for (const QString* name : openOrder)
            ds.open(*name);
        main->setRange(key, key);
        main->first();
        m_report.run(printer);
    } catch (...) {
        closeAll(true);
        throw;
    }
    closeAll(false);
}

} // namespace zel::report
