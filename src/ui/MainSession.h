#pragma once

#include "data/engine/Database.h"
#include "model/Configuration.h"
#include "search/MaterialFilter.h"
#include "search/OdourSimilarity.h"
#include "search/TSearchClass.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zel::data {
class Database;
class Dataset;
class DatasetSet;
} // namespace zel::data
namespace zel::model {
class NoteStore;
}

namespace zel::ui {

// The pages of the main window, by index.
namespace page {
constexpr int Materials = 0;
constexpr int CommercialNames = 1;
constexpr int Suppliers = 2;
} // namespace page

// What an export adds to the list as shown: only the listed materials that the search dialog
// would select with these criteria, and the user's favourite flag and note.
struct ListExportOptions
{
    std::optional<search::SearchCriteria> criteria;
    bool withNotes = false;
};

// Everything the main window shows, kept without the window: the database and the main
// datasets, the selection list of the materials page with the rows its grid shows, and the
// logic of the three incremental searches, the record carried across a page switch, and
// navigation. A window wires its controls to this; tests drive it directly.
//
// Database errors are not caught here: a command ends at the error and the caller shows it.
class MainSession : public QObject
{
    Q_OBJECT
public:
    explicit MainSession(QObject* parent = nullptr);
    ~MainSession() override;

    // The database ZEL and its datasets (TableMaterial, TableCommSynonyms, ...).
    data::Database* database() const { return m_database; }
    data::DatasetSet& datasets() const { return *m_datasets; }
    // The dataset of that name; throws DatabaseError for an unknown one.
    data::Dataset* dataset(const QString& name) const;

    QString ProgramDirectory; // ends in a separator
    QString DataDirectory;    // ends in a separator; empty for a server
    QString HelpFileName;     // at most 80 characters
    // Counted once when the database opens; the highest material id.
    int MaterialCount = 0;
    // While false the incremental searches do nothing: the window clears it around the
    // changes it makes itself to a search field.
    bool SearchActive = true;
    // The page of the last page switch, which is the page shown.
    int LastShownPage = page::Materials;

    // Defines the database on the configuration's data directory or server and takes its
    // help file, closing whatever of another database was open; the same data named again
    // keep what is open or still loading.
    void configure(const model::Configuration& configuration);
    const model::Configuration& configuration() const { return m_configuration; }
    // The same for a data directory (ending in a separator) or a server's connection string,
    // keeping the help file.
    void setDataDirectory(const QString& directory);
    void setServer(const QString& connection);
    // Where the tables were read from, for the start-up summary: the server as it may be shown
    // and whether its data came from the copy kept on this disk, or the data directory.
    QString sourceDescription() const;
    // The records of a table of the database as loaded. Throws DatabaseError.
    int tableRecordCount(const QString& table) const;
    // Opens every dataset of the database on DataDirectory, counts the materials and
    // makes the selection list of all of them, in name order, with the first one current.
    // Throws DatabaseError, leaving the database closed, when a table is missing or damaged
    // or a material has a blank or repeated id (gaps between ids are fine).
    void OpenDatabase();
    // Starts reading the tables of DataDirectory on threads of their own, so that they load
    // while the windows are made; OpenDatabase then takes them. Errors wait for OpenDatabase.
    // Without windows nothing is searched for: the keys are left to the first search.
    void PreloadDatabase(data::Preload what = data::Preload::TablesAndKeys);
    bool isOpen() const { return static_cast<bool>(m_list); }
    // Reads the database again and shows the same thing over the new data: the current
    // material, commercial name and supplier (found by their keys), the list order and, when
    // the list was narrowed by a search, the same search run again. Throws DatabaseError,
    // changing nothing, when the data cannot be read (a server that went away).
    void Reload();

    // The search dialog's filter, evaluated on TableMaterialSelect's current record, and the
    // progress window and warning of a search over every material.
    void setFilter(std::function<bool()> filter) { m_filter = std::move(filter); }
    // When set, a search judges every material at once over the table's prepared texts; the
    // record filter above stays for a list without it.
    void setTableFilter(search::TSearchClass::TableFilter filter);
    void setSelectionFeedback(search::SelectionFeedback* feedback);

    using ExportOptions = ListExportOptions;
    // Writes the listed materials, in the list's order, to a CSV file; progress, when given,
    // hears how many are written of how many, and written how many there were. Returns an
    // empty text, or what went wrong (and then no file was written).
    QString ExportList(const QString& path,
                       const std::function<void(int done, int total)>& progress = {},
                       const ExportOptions& options = {}, int* written = nullptr) const;

    // The user's own notes, favourites and shortlists, kept beside the database by CAS number
    // ($XDG_DATA_HOME/zel/notes.sqlite as the session is made). A problem with the store is
    // told once through notesProblem; the store is read-only from then on.
    model::NoteStore& notes() const { return *m_notes; }
    // The CAS number of the current material; empty while none is current.
    QString currentCas() const;
    // Whether the material report carries the user's notes (Report, Include my notes).
    bool ReportNotes = false;
    // Lists the shortlist's materials that the database holds, as a search does; the search
    // dialog's Select or Select all ends it. False, changing nothing, when the database holds
    // none of them.
    bool SelectShortlist(const QString& name);
    // The shortlist the materials list shows; empty for a search result or all materials.
    const QString& shownShortlist() const { return m_shortlist; }
    // Rename and delete keep the list's title true: deleting the shortlist it shows lists
    // every material again.
    bool RenameShortlist(const QString& from, const QString& to);
    bool DeleteShortlist(const QString& name);

    // The selection list; null until the database is open.
    search::TSearchClass* selectionList() const { return m_list.get(); }

    // The rows of the materials list as its grid shows them: row 0 is the title, rows 1 to
    // rowCount() - 1 the listed materials; the current row holds the current material.
    int rowCount() const;
    int currentRow() const;
    // The user or the navigation buttons chose row: its material becomes current. Choosing
    // the current row again, or a row outside the list, changes nothing.
    void selectRow(int row);
    // The grid scrolled so that topRow is the first and visibleRows rows are shown: when the
    // current row left the view, the nearest row still shown becomes current.
    void keepRowInView(int topRow, int visibleRows);

    // The list order, "Name" or "CAS".
    QString listOrder() const;
    bool nameOrder() const;
    void SetListOrder(const QString& order);
    // Switches to the other order, keeping the current material current.
    void ToggleOrder();
    // The title row of the materials list: the count, and whether it is all materials.
    QString listTitle() const;
    // Whether the materials search can be used: not while a narrowed list is in CAS order,
    // which the search could only walk by trying every CAS.
    bool searchEnabled() const;

    // The incremental searches, each on the text of its search field.
    void SearchMaterial(const QString& text);
    void SearchCommercialName(const QString& text);
    void SearchSupplier(const QString& text);

    // What the search dialog returned: 1 keeps the materials its filter passes, 2 lists
    // every material again, 0 changes nothing. The current material stays current when it
    // is still listed.
    void Select(int dialogResult);

    // The record carry of a page switch to page from LastShownPage, which page becomes. A key
    // that is not found, or a material that is not listed, moves nothing.
    void CarryTo(int page);
    // "first", "prior", "next" or "last" on page's list; any other direction does nothing.
    void Navigate(int page, const QString& direction);

    // Puts TableSupplier on the supplier numbered supnr, in the order it had; false, moving
    // nothing, when there is none.
    bool GotoSupplier(const QString& supnr);

    // The materials whose odour is closest to the current one's, among those rated as
    // required, best first (see search::OdourSimilarity); at most limit of them.
    struct Alternative
    {
        QString cas, name, odour, stabil;
        double score = 0;
    };
    std::vector<Alternative> Alternatives(const search::StabilityRequirement& required,
                                          int limit) const;
    // The current material's name, for a heading.
    QString currentMaterialName() const;
    // Makes the material with that CAS number current on the materials page, listing every
    // material again first when the list was narrowed without it. False when there is none.
    bool GotoMaterial(const QString& cas);

    // "No materials", "1 material", "12 materials".
    static QString CountPhrase(int n, const QString& word, const QString& ending);
    // The title of the current supplier's materials list: how many commercial names it has
    // and its name.
    QString supplierMaterialsTitle() const;

Q_SIGNALS:
    void databaseOpened();
    // The data were replaced at their source (an import committed on the server) since they
    // were read; Reload shows the new ones.
    void sourceChanged();
    void rowCountChanged(int rows);
    void currentRowChanged(int row);
    // The note store is damaged, locked or cannot be written: what to tell the user, once.
    void notesProblem(const QString& message);

private:
    class Rows;
    class FeedbackRelay;
    void CreateSelectionList();
    void carryToMaterials(int from);
    void carryToCommercialNames(int from);
    void carryToSuppliers(int from);
    // The incremental search on an open dataset's index: the record nearest to text.
    void searchNearest(const QString& datasetName, const QString& text);

    data::Database* m_database;
    model::Configuration m_configuration;
    data::DatasetSet* m_datasets;
    std::unique_ptr<Rows> m_rows;
    std::unique_ptr<FeedbackRelay> m_feedback;
    std::unique_ptr<search::TSearchClass> m_list;
    std::vector<int> m_ids; // the material ids, ascending, until the selection list takes them
    std::function<bool()> m_filter;
    search::TSearchClass::TableFilter m_tableFilter;
    std::unique_ptr<model::NoteStore> m_notes;
    QString m_shortlist;
};

} // namespace zel::ui
