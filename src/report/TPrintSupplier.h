#pragma once

#include "report/TPrintForm.h"

#include <QString>
#include <memory>

namespace zel::report {

// One supplier on paper: its name as the page heading, its address, and the CAS number and
// name of the material of each of its commercial names. The form keeps cursors of its own,
// closed between runs.
class TPrintSupplier : public TPrintForm
{
public:
    explicit TPrintSupplier(data::Database* database);

    // Lays out the supplier supnr onto printer. The cursors are closed again afterwards,
    // also when the run fails; the error goes on to the caller.
    void run(const QString& supnr, TRpPrinter& printer);

    void RpSysData1Print(TRpPrintable& printable, QString& text);
};

} // namespace zel::report
