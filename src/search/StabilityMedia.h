#pragma once

#include <QString>
#include <QStringList>

namespace zel::search {

// The 33 product media whose stability the `stabil` field rates, one character each.
constexpr int MediaCount = 33;

// Label of medium i (1..33), exactly as shown, e.g. "pH  1:" or "Cold wave:".
const QStringList& StabilityMedia();
QString mediumLabel(int medium);

// The rating character of medium i (1..33) in a stability string; a null QChar when the
// string is shorter.
QChar ratingChar(const QString& stabil, int medium);

// "-", "+" or "++" for "0", "1" and "2". Any other character, or none, is no rating: an
// empty text, so that a display never keeps showing another material's rating.
QString ratingText(QChar rating);

// Where medium i (1..33) stands in the four-column stability grids.
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

} // namespace zel::search
