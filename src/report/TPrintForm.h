#pragma once

#include "data/engine/DatasetSet.h"
#include "report/TRpReport.h"

#include <QString>
#include <memory>
#include <vector>

namespace zel::report {

class TRpPrinter;

// A report form over cursors of its own, closed between runs, so that printing never moves
// what a window shows. A form declares its datasets and builds its bands once; a run opens the
// cursors, narrows the form's main dataset to one key, lays the report out and closes them
// again, also when the run fails.
class TPrintForm
{
public:
    TPrintForm(data::Database* database, const std::vector<data::DatasetDecl>& decls);
    virtual ~TPrintForm();
    TPrintForm(const TPrintForm&) = delete;
    TPrintForm& operator=(const TPrintForm&) = delete;

    TRpReport& report() { return m_report; }
    data::DatasetSet& datasets() { return *m_datasets; }

protected:
    // Opens the datasets in openOrder, whose last one is the form's main dataset, puts it on
    // key alone and lays the report out onto printer. The error of a failed run goes on to
    // the caller; closing the cursors afterwards never hides it.
    void runOn(const std::vector<const QString*>& openOrder, const data::KeyValues& key,
               TRpPrinter& printer);

    std::unique_ptr<data::DatasetSet> m_datasets;
    TRpReport m_report;
};

} // namespace zel::report
