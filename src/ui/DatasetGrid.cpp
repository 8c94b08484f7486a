#include "ui/DatasetGrid.h"

#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "ui/DatasetModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <algorithm>

namespace zel::ui {

void setUpGrid(QTableView* grid)
{
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->setWordWrap(false);
    grid->setShowGrid(true);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setSectionsClickable(false);
}

namespace {

// The row-indicator column of a data grid: a narrow grey column left of the rows that points
// at the current record with a small black triangle.
class RowIndicator : public QHeaderView
{
public:
    explicit RowIndicator(QTableView* grid) : QHeaderView(Qt::Vertical, grid), m_grid(grid)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setMinimumSectionSize(1);
        setFixedWidth(kWidth);
    }
    static constexpr int kWidth = 12;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override
    {
        painter->save();
        painter->fillRect(rect, palette().color(QPalette::Button));
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        if (m_grid->currentIndex().isValid() && m_grid->currentIndex().row() == section) {
            const QPointF c = QRectF(rect).center();
            const QPointF tip[3] = {c + QPointF(-2, -4), c + QPointF(2, 0), c + QPointF(-2, 4)};
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(Qt::black);
            painter->drawPolygon(tip, 3);
        }
        painter->restore();
    }
    QSize sizeHint() const override { return {kWidth, QHeaderView::sizeHint().height()}; }

private:
    const QTableView* m_grid;
};

} // namespace

DatasetGrid::DatasetGrid(QWidget* parent) : QTableView(parent)
{
    setUpGrid(this);
    setVerticalHeader(new RowIndicator(this));
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    setPalette(pal);
    fitRowHeight();
}

data::Dataset* DatasetGrid::dataset() const
{
    return m_model ? m_model->dataset() : nullptr;
}

void DatasetGrid::setDataset(data::Dataset* dataset)
{
    DatasetModel* old = m_model;
    QItemSelectionModel* oldSelection = selectionModel(); // the view leaves it to its owner
    disconnect(m_datasetMoved);
    m_model = dataset ? new DatasetModel(dataset, this) : nullptr;
    setModel(m_model);
    delete oldSelection;
    delete old;
    if (!m_model)
        return;
    // Connected after the model, so the rows are up to date when the grid follows.
    m_datasetMoved =
        connect(dataset, &data::Dataset::dataChanged, this, &DatasetGrid::followDataset);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DatasetGrid::followDataset);
    sizeColumnsToFields();
    followDataset();
}

void DatasetGrid::followDataset()
{
    const data::Dataset* ds = dataset();
    if (!ds || !ds->isOpen() || ds->position() < 0 || ds->position() >= m_model->rowCount())
        return;
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() == ds->position())
        return;
    m_following = true;
    const QModelIndex target =
        m_model->index(ds->position(), current.isValid() ? current.column() : 0);
    setCurrentIndex(target);
    scrollTo(target);
    m_following = false;
}

void DatasetGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    verticalHeader()->viewport()->update();
    data::Dataset* ds = dataset();
    if (m_following || !ds || !ds->isOpen() || !current.isValid() ||
        current.row() == ds->position())
        return;
    try {
        ds->moveTo(current.row());
    } catch (const data::DatabaseError& e) {
        Q_EMIT databaseError(e.message());
    }
}

void DatasetGrid::sizeColumnsToFields()
{
    if (!m_model)
        return;
    const QFontMetrics body(font());
    const QFontMetrics title(horizontalHeader()->font());
    const int digit = body.horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int byField = m_model->displayWidth(c) * digit + 4;
        const int byTitle =
            title.horizontalAdvance(m_model->headerData(c, Qt::Horizontal).toString()) + 4;
        setColumnWidth(c, std::max(byField, byTitle));
    }
}

void DatasetGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowHeight();
}

void DatasetGrid::fitRowHeight()
{
    const int height = fontMetrics().height() + 3;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height + 1);
}

} // namespace zel::ui
