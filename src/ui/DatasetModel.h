#pragma once

#include "data/engine/Dataset.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <vector>

namespace zel::ui {

// The rows of one dataset as a table: row r is the record at position r, the columns are
// the dataset's visible fields in their order, titled with their display labels, calculated
// fields included. Follows the dataset: a move, a re-read or a new master record repaints,
// a new number of records or a close re-reads everything. Never edits a record.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DatasetModel(data::Dataset* dataset, QObject* parent = nullptr);

    data::Dataset* dataset() const { return m_dataset; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // A value the engine cannot read shows the engine's message in its cell.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Labels are read when asked for: a window may rename a column while the rows stay.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString fieldName(int column) const;
    // Width of a column in characters: the calculated field's declared width, a text or memo
    // field's width in the table, 11 for any other field.
    int displayWidth(int column) const;

private:
    void datasetChanged();
    void reload();
    std::vector<QString> visibleFields() const;

    QPointer<data::Dataset> m_dataset;
    std::vector<QString> m_columns;
    int m_rows = 0;
};

} // namespace zel::ui
