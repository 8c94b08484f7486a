#pragma once

#include <QString>
#include <QStringList>

namespace zel::model {

// The 33 product media whose stability the stabil field of MATERIAL.DB rates, one character
// each, and how a rating reads. The main window's grids, the search dialog and the material
// report all show them from here.
constexpr int MediaCount = 33;

// Label of medium i (1..33), exactly as shown, e.g. "pH  1:" or "Cold wave:".
const QStringList& StabilityMedia();
QString mediumLabel(int medium);

// The rating character of medium i (1..33) in a stability string; a null QChar when the
// string is shorter.
QChar ratingChar(const QString& stabil, int medium);

// "-", "+" or "++" for "0", "1" and "2". Any other character, or none, is no rating: an
// empty text, so that a grid never goes on showing another material's rating and a printed
// sheet never claims a stability the database does not record.
QString ratingText(QChar rating);

} // namespace zel::model
