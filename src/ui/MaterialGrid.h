#pragma once

#include "search/TSearchClass.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace zel::data {
class Dataset;
}

namespace zel::ui {

class MainSession;

// The rows of the materials list. It holds no text: each name is looked up by id in the
// database when its row is painted, so a new selection or order needs no refill.
class MaterialListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    MaterialListModel(search::TSearchClass* list, data::Dataset* nameLookup,
                      QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Model rows are list rows 1..Count; the list's title row is the header.
    void setListRows(int rows);
    void setTitle(const QString& title);
    const QString& title() const { return m_title; }
    // The name of the material with this id, or an empty text when there is none.
    QString nameOf(int id) const;
    // Repaints every row, e.g. after the order changed.
    void repaintAll();

private:
    search::TSearchClass* m_list;
    data::Dataset* m_lookup;
    int m_rows = 0;
    QString m_title;
};

// Paints list rows: white with black text, the current row pure blue with white text,
// text 2 pixels from the left edge and 1 below the top, clipped to the cell.
class MaterialRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// MaterialGrid: one column 2500 pixels wide, rows of 18 pixels, the title as a fixed row
// in the button-face colour, vertical scrolling only. It shows the session's rows: a row the
// user chooses (click, keys) goes to the session, which makes its material current, and the
// grid follows the session's current row wherever it was set. Scrolling past the current
// row takes the first or last visible row as current, so it never leaves the view.
class MaterialGrid : public QTableView
{
    Q_OBJECT
public:
    explicit MaterialGrid(QWidget* parent = nullptr);

    void setSession(MainSession* session, MaterialListModel* model);
    MaterialListModel* listModel() const { return m_model; }

    // Rows counted with the title row, the current row 1-based as the session counts them.
    int rowCount() const;
    int currentRow() const;

    // The first list row shown and the number of fully visible rows.
    int topRow() const;
    int visibleRowCount() const;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void changeEvent(QEvent* event) override;

private:
    void followRowCount(int rows);
    void followCurrentRow(int row);
    void topLeftChanged();

    MainSession* m_session = nullptr;
    MaterialListModel* m_model = nullptr;
    bool m_following = false;
};

} // namespace zel::ui
