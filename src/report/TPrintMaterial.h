#pragma once

#include "report/TRpReport.h"

#include <QChar>
#include <QString>
#include <QStringList>
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
    // mediaLabels are the labels of the product media in rating order; passed in because the
    // media table belongs to a library that reports must not depend on.
    TPrintMaterial(data::Database* database, QStringList mediaLabels);
    ~TPrintMaterial();
    TPrintMaterial(const TPrintMaterial&) = delete;
    TPrintMaterial& operator=(const TPrintMaterial&) = delete;

    // Lays out the material (sf, cas) onto printer. The cursors are closed again afterwards,
    // also when the run fails; the error goes on to the caller.
    void run(const QString& sf, const QString& cas, TRpPrinter& printer);

    // The mark printed for one rating character; a null character stands for a rating
    // missing from a short string. Only "0", "1" and "2" are ratings: anything else prints
    // no mark, so that a sheet never claims a stability the database does not record.
    static QString RatingText(QChar rating);

    void RpSubDetail2BeforePrint(TRpBand& band, bool& print);

    TRpReport& report() { return m_report; }
    data::DatasetSet& datasets() { return *m_datasets; }

    static constexpr int StabilityLabels = 33;

private:
    void build();

    QStringList m_mediaLabels;
    std::unique_ptr<data::DatasetSet> m_datasets;
    TRpReport m_report;
    std::array<TRpLabel*, StabilityLabels> m_stabil{};
};

} // namespace zel::report
