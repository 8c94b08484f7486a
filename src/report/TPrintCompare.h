#pragma once

#include "model/Comparison.h"
#include "model/StabilityMedia.h"
#include "report/TPrintForm.h"

#include <QStringList>
#include <array>

namespace zel::report {

// Two to six materials side by side on paper, a column each: CAS number and name at the top of
// every page, then their names, odour, performance and application, their ratings in the
// product media a row each (the rows where they differ marked, in bold on grey), and their
// commercial names with the suppliers. Up to three materials fit an A4 page upright; more
// turn it sideways.
class TPrintCompare : public TPrintForm
{
public:
    static constexpr int Columns = model::Comparison::MaxMaterials;
    // The most materials that still print on an upright page.
    static constexpr int PortraitMaterials = 3;

    explicit TPrintCompare(data::Database* database);

    // The materials of those CAS numbers, read through the form's own cursors, which are
    // closed again; the CAS numbers that no material has go into missing.
    model::Comparison read(const QStringList& cas, QStringList* missing);
    // Lays out the comparison onto printer; one of fewer than two materials throws TRpError.
    void run(const model::Comparison& comparison, TRpPrinter& printer);

private:
    // Puts the columns of count materials across the page, on paper turned as they need.
    void arrange(int count);
    void fill(const model::Comparison& comparison);

    struct MediumRow
    {
        TRpBand* band = nullptr;
        TRpLabel* marker = nullptr;
        TRpLabel* label = nullptr;
        std::array<TRpLabel*, Columns> ratings{};
    };
    enum Section
    {
        Names,
        Odour,
        Performance,
        Application,
        CommercialNames,
        SectionCount
    };

    TRpShape* m_rule = nullptr;
    std::array<TRpLabel*, Columns> m_cas{};
    std::array<TRpLabel*, Columns> m_name{};
    std::array<std::array<TRpLabel*, Columns>, SectionCount> m_texts{};
    std::array<MediumRow, model::MediaCount> m_media{};
};

} // namespace zel::report
