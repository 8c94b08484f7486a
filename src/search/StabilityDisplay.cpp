#include "search/StabilityDisplay.h"

#include "data/Dataset.h"
#include "search/StabilityMedia.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextCursor>

namespace zel::search {

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

void setUpStabilityGrid(QTableWidget* grid, bool rangeSelection)
{
    grid->setRowCount(kRows);
    grid->setColumnCount(kColumns);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(16);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(rangeSelection ? QAbstractItemView::ContiguousSelection
                                          : QAbstractItemView::SingleSelection);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setShowGrid(true);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone); // a long label is cut at the cell edge, not shortened
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            setCell(grid, r, c, QString());
}

void FillMediaLabels(QTableWidget* stabilityGrid, QTableWidget* commStabilityGrid)
{
    for (int i = 1; i <= MediaCount; ++i) {
        const MediumCell cell = mediumCell(i);
        for (QTableWidget* grid : {stabilityGrid, commStabilityGrid})
            if (grid)
                setCell(grid, cell.row, cell.labelColumn, mediumLabel(i));
    }
}

void ShowStability(const data::Dataset& source, QPlainTextEdit* memo, QTableWidget* grid)
{
    const auto text = [&](const char* field) {
        return source.isOpen() ? source.text(QString::fromLatin1(field)) : QString();
    };
    if (memo) {
        memo->setPlainText(text("name") + QLatin1Char('\n') + text("name1") + QLatin1Char('\n') +
                           text("name2"));
        QTextCursor cursor = memo->textCursor();
        cursor.movePosition(QTextCursor::Start);
        memo->setTextCursor(cursor);
    }
    if (!grid)
        return;
    const QString stabil = text("stabil");
    for (int i = 1; i <= MediaCount; ++i) {
        const MediumCell cell = mediumCell(i);
        setCell(grid, cell.row, cell.ratingColumn, ratingText(ratingChar(stabil, i)));
    }
}

int stabilityRatingWidth(int clientWidth)
{
    return clientWidth / 10 - 2;
}

void SizeStabilityColumns(QTableWidget* stabilityGrid, QTableWidget* commStabilityGrid)
{
    const int w = stabilityRatingWidth(stabilityGrid->viewport()->width());
    for (QTableWidget* grid : {stabilityGrid, commStabilityGrid}) {
        if (!grid)
            continue;
        grid->setColumnWidth(0, 4 * w);
        grid->setColumnWidth(1, w);
        grid->setColumnWidth(2, 4 * w);
        grid->setColumnWidth(3, w);
    }
}

} // namespace zel::search
