#include "ui/StabilityGrid.h"

#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "model/StabilityMedia.h"

#include <QEvent>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextCursor>
#include <QVBoxLayout>

namespace zel::ui {

namespace {

constexpr int kRows = 17;
constexpr int kColumns = 4;

void setCell(QTableWidget* grid, int row, int column, const QString& text)
{
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid->setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
}

} // namespace

StabilityGrid::StabilityGrid(bool rangeSelection, QWidget* parent) : QTableWidget(parent)
{
    setRowCount(kRows);
    setColumnCount(kColumns);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(16);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(rangeSelection ? QAbstractItemView::ContiguousSelection
                                    : QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone); // a long label is cut at the cell edge, not shortened
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            setCell(this, r, c, QString());
}

StabilityGrid* addStabilitySheet(QTabWidget* notebook, bool rangeSelection, const char* name)
{
    auto* sheet = new QWidget;
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(10, 10, 10, 10);
    auto* grid = new StabilityGrid(rangeSelection, sheet);
    grid->setObjectName(QString::fromLatin1(name));
    layout->addWidget(grid);
    notebook->addTab(sheet, StabilityGrid::tr("Stability"));
    return grid;
}

void FillMediaLabels(QTableWidget* grid)
{
    for (int i = 1; i <= model::MediaCount; ++i) {
        const MediumCell cell = mediumCell(i);
        setCell(grid, cell.row, cell.labelColumn, model::mediumLabel(i));
    }
}

void ShowStability(const data::Dataset& source, QPlainTextEdit* memo, QTableWidget* grid)
{
    const auto text = [&](const QString& field) {
        return source.isOpen() ? source.text(field) : QString();
    };
    if (memo) {
        memo->setPlainText(text(model::fields::name) + QLatin1Char('\n') +
                           text(model::fields::name1) + QLatin1Char('\n') +
                           text(model::fields::name2));
        QTextCursor cursor = memo->textCursor();
        cursor.movePosition(QTextCursor::Start);
        memo->setTextCursor(cursor);
    }
    if (!grid)
        return;
    const QString stabil = text(model::fields::stabil);
    for (int i = 1; i <= model::MediaCount; ++i) {
        const MediumCell cell = mediumCell(i);
        const QString rating = model::ratingText(model::ratingChar(stabil, i));
        setCell(grid, cell.row, cell.ratingColumn, rating);
        // The grid has no row headers; the medium goes with its rating to a screen reader.
        if (QTableWidgetItem* item = grid->item(cell.row, cell.ratingColumn))
            item->setData(Qt::AccessibleTextRole, QString(model::mediumLabel(i) + u' ' + rating));
    }
}

int stabilityRatingWidth(int clientWidth)
{
    return clientWidth / 10 - 2;
}

void StabilityGrid::SizeStabilityColumns()
{
    const int w = stabilityRatingWidth(viewport()->width());
    setColumnWidth(0, 4 * w);
    setColumnWidth(1, w);
    setColumnWidth(2, 4 * w);
    setColumnWidth(3, w);
}

bool StabilityGrid::viewportEvent(QEvent* event)
{
    // The client area has its new size here; the grid's own resize comes before it.
    if (event->type() == QEvent::Resize)
        SizeStabilityColumns();
    return QTableWidget::viewportEvent(event);
}

} // namespace zel::ui
