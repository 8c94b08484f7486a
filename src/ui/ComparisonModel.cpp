#include "ui/ComparisonModel.h"

#include "ui/PageParts.h"

#include <QBrush>
#include <QFont>

namespace zel::ui {

namespace {

// Shading besides the sign and the bold type: the marked rows stand out at a glance, and are
// still told apart where colours are not seen.
const QColor kDiffersShade(0xff, 0xe8, 0xb0);

} // namespace

QString ComparisonModel::differsMark()
{
    return QStringLiteral("\u2260");
}

ComparisonModel::ComparisonModel(QObject* parent) : QAbstractTableModel(parent) {}

model::Comparison::Outcome ComparisonModel::add(model::ComparedMaterial material)
{
    // Every row's mark may change with a column, so the grid is laid out afresh.
    beginResetModel();
    const model::Comparison::Outcome outcome = m_comparison.add(std::move(material));
    endResetModel();
    return outcome;
}

bool ComparisonModel::remove(int column)
{
    beginResetModel();
    const bool removed = m_comparison.remove(column);
    endResetModel();
    return removed;
}

void ComparisonModel::setComparison(model::Comparison comparison)
{
    beginResetModel();
    m_comparison = std::move(comparison);
    endResetModel();
}

int ComparisonModel::mediumOf(int row)
{
    return row >= FirstMediumRow && row < CommercialNamesRow ? row - FirstMediumRow + 1 : 0;
}

bool ComparisonModel::rowDiffers(int row) const
{
    const int medium = mediumOf(row);
    return medium > 0 && m_comparison.differs(medium);
}

int ComparisonModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount;
}

int ComparisonModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_comparison.count();
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= m_comparison.count())
        return {};
    const model::ComparedMaterial& m = m_comparison.at(index.column());
    const int row = index.row();
    const int medium = mediumOf(row);
    switch (role) {
    case Qt::DisplayRole:
        switch (row) {
        case CasRow:
            return m.cas;
        case NamesRow:
            return m.names();
        case OdourRow:
            return m.odour;
        case PerformanceRow:
            return m.performance;
        case ApplicationRow:
            return m.application;
        case CommercialNamesRow:
            return m.commercialNamesText();
        default:
            return m.rating(medium);
        }
    case Qt::TextAlignmentRole:
        return medium > 0 ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignTop);
    case Qt::FontRole:
        if (rowDiffers(row))
            return captionFont();
        break;
    case Qt::BackgroundRole:
        if (rowDiffers(row))
            return QBrush(kDiffersShade);
        break;
    default:
        break;
    }
    return {};
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_comparison.count())
            return {};
        const model::ComparedMaterial& m = m_comparison.at(section);
        if (role == Qt::DisplayRole)
            return m.name;
        if (role == Qt::ToolTipRole)
            return m.names();
        return {};
    }
    const bool differs = rowDiffers(section);
    switch (role) {
    case Qt::DisplayRole:
        switch (section) {
        case CasRow:
            return QStringLiteral("CAS");
        case NamesRow:
            return tr("Names");
        case OdourRow:
            return tr("Odour");
        case PerformanceRow:
            return tr("Performance");
        case ApplicationRow:
            return tr("Application");
        case CommercialNamesRow:
            return tr("Commercial names");
        default:
            return QString((differs ? differsMark() : QStringLiteral("  ")) + QLatin1Char(' ') +
                           model::mediumLabel(mediumOf(section)));
        }
    case Qt::ToolTipRole:
        if (differs)
            return tr("The ratings differ in this medium");
        break;
    case Qt::FontRole:
        if (differs)
            return captionFont();
        break;
    case Qt::BackgroundRole:
        if (differs)
            return QBrush(kDiffersShade);
        break;
    default:
        break;
    }
    return {};
}

} // namespace zel::ui
