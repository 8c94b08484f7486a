#pragma once

#include "model/NoteStore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

namespace zel::data {
class Table;
}

namespace zel::search {

class TSearchClass;

// The materials of the list as a file a spreadsheet opens as columns: CSV as RFC 4180
// writes it (comma-separated, CRLF line ends, every non-empty field in quotes, quotes
// doubled, line breaks kept inside the quotes; a text a spreadsheet would take for a formula
// has a blank before it, outside quotes where it can), UTF-8 with a byte-order mark so that
// spreadsheets do not take it for a legacy code page. A header row names the columns: the
// material's fields, then the 33 media labels; each material's row has the rating of each medium as
// the stability grid shows it ("-", "+", "++", or empty when the database records none). Asked
// for, the user's own columns follow: "favourite" ("yes" or empty) and "note".
class ListExport
{
public:
    // Told how far the writing has come: done of total materials. Called for the first and
    // the last material and in between.
    using Progress = std::function<void(int done, int total)>;
    // The user's notes by CAS number, as the note store hands them over.
    using Notes = std::map<QString, model::NoteStore::Entry>;

    static QStringList header(bool withNotes = false);
    // The cells of one record of the materials table.
    static QStringList row(const data::Table& materials, int record);
    // One CSV line of cells, with its line end.
    static QByteArray csvLine(const QStringList& cells);

    // The ids the list shows, in its order (rows 1 to its count).
    static std::vector<int> listedIds(const TSearchClass& list);

    // Writes the materials of those ids, in that order, to path: a new file that replaces
    // any old one only when it is complete, so a failure leaves the old one, or none. Ids
    // the table does not hold are left out. With notes, each row ends in the material's
    // favourite flag and note. Returns an empty text on success, else what went wrong, for
    // the user.
    static QString writeCsv(const QString& path, const data::Table& materials,
                            const std::vector<int>& ids, const Progress& progress = {},
                            const Notes* notes = nullptr);
};

} // namespace zel::search
