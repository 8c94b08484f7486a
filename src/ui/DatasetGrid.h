#pragma once

#include <QTableView>

namespace zel::data {
class Dataset;
}

namespace zel::ui {

class DatasetModel;

// The set-up the data grids share: read-only, whole rows selected one at a time, no tab
// stops inside, rows of a fixed height without their own titles, and column titles aligned
// left that are not buttons.
void setUpGrid(QTableView* grid);

// A read-only data grid over one dataset whose current row is the dataset's current
// record: a click or a key that moves the row moves the dataset, and a dataset moved by
// anything else (a search, a master, the navigation buttons) moves the row. Whole rows are
// selected, and the selection stays visible when the grid loses the focus.
class DatasetGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DatasetGrid(QWidget* parent = nullptr);

    // Shows dataset through a model of the grid's own; null shows nothing.
    void setDataset(data::Dataset* dataset);
    data::Dataset* dataset() const;
    DatasetModel* datasetModel() const { return m_model; }

    // Each column as wide as its field's display width in characters of the grid's font,
    // and at least as wide as its title.
    void sizeColumnsToFields();

Q_SIGNALS:
    // The engine failed while the grid moved the dataset; the grid stays usable.
    void databaseError(const QString& message);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void changeEvent(QEvent* event) override;

private:
    void followDataset();
    void fitRowHeight();

    DatasetModel* m_model = nullptr;
    QMetaObject::Connection m_datasetMoved;
    bool m_following = false;
};

} // namespace zel::ui
