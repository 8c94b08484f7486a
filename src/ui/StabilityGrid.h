#pragma once

#include <QTableWidget>

class QPlainTextEdit;
class QTabWidget;

namespace zel::data {
class Dataset;
}

namespace zel::ui {

// Where medium i (1..33) stands in the four-column stability grids: labels of media 1 to 17
// in column 0, of media 18 to 33 in column 2, each rating in the column to its right.
struct MediumCell
{
    int labelColumn;
    int ratingColumn;
    int row;
};
constexpr MediumCell mediumCell(int medium)
{
    return {2 * ((medium - 1) / 17), 2 * ((medium - 1) / 17) + 1, (medium - 1) % 17};
}

// A stability grid of the main window: 4 columns and 17 rows of 16 pixels, labels in columns
// 0 and 2, ratings in columns 1 and 3, plain text that cannot be edited.
//
// The grid sizes its columns from its own client width whenever that changes: w for the
// rating columns and 4 w for the label columns, w = width div 10 - 2. The two grids of the
// window have the same size in the layout, so they get the same widths; a grid on a page
// that is not shown is not laid out, and its size means nothing until it is shown again.
class StabilityGrid : public QTableWidget
{
    Q_OBJECT
public:
    // rangeSelection: whether a range of cells can be selected (the materials page's grid)
    // or only one (the commercial names page's).
    explicit StabilityGrid(bool rangeSelection, QWidget* parent = nullptr);

    void SizeStabilityColumns();

protected:
    bool viewportEvent(QEvent* event) override;
};

// Adds a page's "Stability" sheet to its notebook: a grid 10 pixels inside the sheet's edges.
StabilityGrid* addStabilitySheet(QTabWidget* notebook, bool rangeSelection, const char* name);

// Writes the 33 media labels into a grid; they are never written again.
void FillMediaLabels(QTableWidget* grid);

// Shows the current material of source: its three names in memo, one per line with the
// caret at the start, and its ratings in grid. A rating that is not "0", "1" or "2" (or
// missing from a short stability string) leaves its cell empty, so that the grid never
// goes on showing the previous material's rating.
void ShowStability(const data::Dataset& source, QPlainTextEdit* memo, QTableWidget* grid);

// The rating columns' width for a client width; label columns are 4 times as wide.
int stabilityRatingWidth(int clientWidth);

} // namespace zel::ui
