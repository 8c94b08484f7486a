#pragma once

#include "model/StabilityMedia.h"
#include "report/TRpReport.h"

#include <QString>
#include <array>
#include <memory>

namespace zel::data {
class Database;
class DatasetSet;
} // namespace zel::data

namespace zel::report {

class TRpPrinter;

// The data sheet of one material: name and CAS number as the page heading, its texts, its
// commercial names with their suppliers, and its stability record over the product media.
// The form keeps cursors of its own, closed between runs, so printing never moves what a
// window shows.
class TPrintMaterial
{
public:
    explicit TPrintMaterial(data::Database* database);
    ~TPrintMaterial();
    TPrintMaterial(const TPrintMaterial&) = delete;
    TPrintMaterial& operator=(const TPrintMaterial&) = delete;

    // Lays out the material (sf, cas) onto printer. The cursors are closed again afterwards,
    // also when the run fails; the error goes on to the caller.
    void run(const QString& sf, const QString& cas, TRpPrinter& printer);

    void RpSubDetail2BeforePrint(TRpBand& band, bool& print);

    TRpReport& report() { return m_report; }
    data::DatasetSet& datasets() { return *m_datasets; }

    static constexpr int StabilityLabels = model::MediaCount;

private:
    void build();

    std::unique_ptr<data::DatasetSet> m_datasets;
    TRpReport m_report;
    std::array<TRpLabel*, StabilityLabels> m_stabil{};
};

} // namespace zel::report
