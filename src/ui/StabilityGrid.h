#pragma once

class QPlainTextEdit;
class QTableWidget;

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

// The two four-column stability grids of the main window: 17 rows of 16 pixels, labels in
// columns 0 and 2, ratings in columns 1 and 3. rangeSelection: whether a range of cells can
// be selected (the materials page's grid) or only one (the commercial names page's).
void setUpStabilityGrid(QTableWidget* grid, bool rangeSelection);

// Writes the 33 media labels into a grid; they are never written again.
void FillMediaLabels(QTableWidget* grid);

// Shows the current material of source: its three names in memo, one per line with the
// caret at the start, and its ratings in grid. A rating that is not "0", "1" or "2" (or
// missing from a short stability string) leaves its cell empty, so that the grid never
// goes on showing the previous material's rating.
void ShowStability(const data::Dataset& source, QPlainTextEdit* memo, QTableWidget* grid);

// Column widths from the client width of the materials page's grid: w for the rating
// columns and 4 w for the label columns, w = width div 10 - 2; both grids get them.
int stabilityRatingWidth(int clientWidth);
void SizeStabilityColumns(QTableWidget* stabilityGrid, QTableWidget* commStabilityGrid);

} // namespace zel::ui
