#pragma once

#include "model/Comparison.h"
#include "model/StabilityMedia.h"

#include <QAbstractTableModel>

namespace zel::ui {

// The compared materials as a grid: a column per material, a row per thing compared: CAS
// number, names, odour, performance, application, the ratings in each product medium, and
// the commercial names with their suppliers. The rows of the media whose ratings differ are
// marked in their heading with a sign, set in bold and shaded.
class ComparisonModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Row
    {
        CasRow,
        NamesRow,
        OdourRow,
        PerformanceRow,
        ApplicationRow,
        FirstMediumRow,
        CommercialNamesRow = FirstMediumRow + model::MediaCount,
        RowCount
    };
    // What a row's heading starts with when the materials differ there.
    static QString differsMark();

    explicit ComparisonModel(QObject* parent = nullptr);

    const model::Comparison& comparison() const { return m_comparison; }
    model::Comparison::Outcome add(model::ComparedMaterial material);
    bool remove(int column);
    void setComparison(model::Comparison comparison);

    // The medium (1..33) of a row, 0 for the rows of texts.
    static int mediumOf(int row);
    bool rowDiffers(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    model::Comparison m_comparison;
};

} // namespace zel::ui
