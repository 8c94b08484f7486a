#include "ui/MaterialGrid.h"

#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "ui/DatasetGrid.h"
#include "ui/MainSession.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace zel::ui {

namespace {
constexpr int kRowHeight = 18;
constexpr int kColumnWidth = 2500;
const QColor kBlue(0, 0, 255);
} // namespace

MaterialListModel::MaterialListModel(search::TSearchClass* list, data::Dataset* nameLookup,
                                     QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_lookup(nameLookup)
{
}

int MaterialListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int MaterialListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QString MaterialListModel::nameOf(int id) const
{
    if (!m_lookup || !m_lookup->isOpen())
        return QString();
    m_lookup->setIndexName(model::indexes::idindex);
    return m_lookup->findKey({id}) ? m_lookup->text(model::fields::name) : QString();
}

QVariant MaterialListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || !m_list)
        return QVariant();
    return nameOf(m_list->IdAtRow(index.row() + 1));
}

QVariant MaterialListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return m_title;
    return QVariant();
}

void MaterialListModel::setListRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows == m_rows)
        return;
    if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
}

void MaterialListModel::setTitle(const QString& title)
{
    m_title = title;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
}

void MaterialListModel::repaintAll()
{
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, 0), {Qt::DisplayRole});
}

void MaterialRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    const bool current =
        option.state & QStyle::State_HasFocus || option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, current ? kBlue : QColor(Qt::white));
    painter->setPen(current ? QColor(Qt::white) : QColor(Qt::black));
    painter->setFont(option.font);
    painter->setClipRect(option.rect);
    const QFontMetrics fm(option.font);
    painter->drawText(option.rect.left() + 2, option.rect.top() + 1 + fm.ascent(),
                      index.data().toString());
    painter->restore();
}

MaterialGrid::MaterialGrid(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new MaterialRowDelegate(this));
    setUpGrid(this);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(kRowHeight);
    horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background-color: palette(button); color: black; padding-left: 2px;"
        " border: 0px; border-right: 1px solid palette(mid); border-bottom: 1px solid "
        "palette(mid); }"));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &MaterialGrid::topLeftChanged);
}

// The title row is drawn in the grid's font, as the data grids' titles are; a header with a
// style sheet of its own would otherwise take the application's.
void MaterialGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        horizontalHeader()->setFont(font());
}

void MaterialGrid::setSession(MainSession* session, MaterialListModel* model)
{
    m_session = session;
    m_model = model;
    setModel(model);
    setColumnWidth(0, kColumnWidth);
    connect(session, &MainSession::rowCountChanged, this, &MaterialGrid::followRowCount,
            Qt::UniqueConnection);
    connect(session, &MainSession::currentRowChanged, this, &MaterialGrid::followCurrentRow,
            Qt::UniqueConnection);
    followRowCount(session->rowCount());
}

int MaterialGrid::rowCount() const
{
    return m_model ? m_model->rowCount() + 1 : 1;
}

int MaterialGrid::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void MaterialGrid::followRowCount(int rows)
{
    // Removing rows may move the view's current row; that is no choice of the user's, and
    // the session's current row is put back right after.
    {
        const QScopedValueRollback following(m_following, true);
        m_model->setListRows(rows - 1);
    }
    followCurrentRow(m_session->currentRow());
}

void MaterialGrid::followCurrentRow(int row)
{
    if (!m_model || row < 1 || row > m_model->rowCount() || row == currentRow())
        return;
    const QScopedValueRollback following(m_following, true);
    setCurrentIndex(m_model->index(row - 1, 0));
}

void MaterialGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    {
        // The view scrolls to show the new current row; that scroll keeps it in view already.
        const QScopedValueRollback following(m_following, true);
        QTableView::currentChanged(current, previous);
    }
    if (!m_following && m_session && current.isValid() && current.row() != previous.row())
        m_session->selectRow(current.row() + 1);
}

int MaterialGrid::topRow() const
{
    const int r = rowAt(0);
    return r < 0 ? 1 : r + 1;
}

int MaterialGrid::visibleRowCount() const
{
    // Rows from the top one down to the last that is not cut by the bottom edge.
    const int first = topRow() - 1;
    const int height = viewport()->height();
    int n = 0;
    while (first + n < (m_model ? m_model->rowCount() : 0) &&
           rowViewportPosition(first + n) + rowHeight(first + n) <= height)
        ++n;
    return std::max(1, n);
}

void MaterialGrid::topLeftChanged()
{
    if (!m_session || m_following)
        return;
    const QScopedValueRollback following(m_following, true);
    m_session->keepRowInView(topRow(), visibleRowCount());
}

} // namespace zel::ui
