#include "ui/DatasetModel.h"

#include "data/base/Error.h"
#include "data/engine/Table.h"
#include "model/Schema.h"

#include <QCoreApplication>

namespace zel::ui {

DatasetModel::DatasetModel(data::Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), m_dataset(dataset)
{
    if (dataset) {
        connect(dataset, &data::Dataset::dataChanged, this, &DatasetModel::datasetChanged);
        connect(dataset, &data::Dataset::activeChanged, this, &DatasetModel::reload);
    }
    m_columns = visibleFields();
    m_rows = m_dataset && m_dataset->isOpen() ? m_dataset->recordCount() : 0;
}

std::vector<QString> DatasetModel::visibleFields() const
{
    std::vector<QString> out;
    if (!m_dataset)
        return out;
    for (const data::DatasetField& f : m_dataset->fields())
        // A declared field the table lacks would fail on every read, so it gets no column.
        if (f.visible && (!m_dataset->isOpen() || m_dataset->hasField(f.name)))
            out.push_back(f.name);
    return out;
}

void DatasetModel::reload()
{
    beginResetModel();
    m_columns = visibleFields();
    m_rows = m_dataset && m_dataset->isOpen() ? m_dataset->recordCount() : 0;
    endResetModel();
}

void DatasetModel::datasetChanged()
{
    const int rows = m_dataset && m_dataset->isOpen() ? m_dataset->recordCount() : 0;
    if (rows != m_rows) {
        reload();
        return;
    }
    // The same number of records may still be other records (the master moved), and
    // calculated values may differ; only the visible rows are repainted anyway.
    const int columns = columnCount();
    if (rows > 0 && columns > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows - 1, columns - 1), {Qt::DisplayRole});
    if (columns > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns - 1);
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString DatasetModel::fieldName(int column) const
{
    return column >= 0 && column < columnCount() ? m_columns[static_cast<size_t>(column)]
                                                 : QString();
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_dataset || index.row() >= m_rows || index.column() >= columnCount())
        return QVariant();
    if (role != Qt::DisplayRole)
        return QVariant();
    try {
        return m_dataset->valueAt(index.row(), fieldName(index.column())).toString();
    } catch (const data::DatabaseError& e) {
        return e.message();
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !m_dataset)
        return QVariant();
    const QString name = fieldName(section);
    if (name.isEmpty())
        return QVariant();
    const data::DatasetField* f = m_dataset->field(name);
    // The labels are declared with the datasets, below any window; they are shown here.
    return f ? QCoreApplication::translate("zel::model::Datasets", f->displayLabel().toUtf8())
             : name;
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int DatasetModel::displayWidth(int column) const
{
    const QString name = fieldName(column);
    if (name.isEmpty() || !m_dataset)
        return 0;
    if (const data::DatasetField* f = m_dataset->field(name); f && (f->calculated || f->width > 0))
        return f->width;
    const data::Table* table = m_dataset->table();
    const int no = table ? table->fieldIndex(name) : -1;
    if (no < 0)
        return 0;
    const data::FieldDef& def = table->field(no);
    return def.type == data::FieldType::Text || def.type == data::FieldType::Memo ? def.width : 11;
}

} // namespace zel::ui
