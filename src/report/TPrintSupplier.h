#pragma once

#include "report/TRpReport.h"

#include <QString>
#include <memory>

namespace zel::data {
class Database;
class DatasetSet;
} // namespace zel::data

namespace zel::report {

class TRpPrinter;

// One supplier on paper: its name as the page heading, its address, and the CAS number and
// name of the material of each of its commercial names. The form keeps cursors of its own,
// closed between runs.
class TPrintSupplier
{
public:
    explicit TPrintSupplier(data::Database* database);
    ~TPrintSupplier();
    TPrintSupplier(const TPrintSupplier&) = delete;
    TPrintSupplier& operator=(const TPrintSupplier&) = delete;

    // Lays out the supplier supnr onto printer. The cursors are closed again afterwards,
    // also when the run fails; the error goes on to the caller.
    void run(const QString& supnr, TRpPrinter& printer);

    void RpSysData1Print(TRpPrintable& printable, QString& text);

    TRpReport& report() { return m_report; }
    data::DatasetSet& datasets() { return *m_datasets; }

private:
    void build();

    std::unique_ptr<data::DatasetSet> m_datasets;
    TRpReport m_report;
};

} // namespace zel::report
