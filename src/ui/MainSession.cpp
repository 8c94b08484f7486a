#include "ui/MainSession.h"

#include "data/base/Error.h"
#include "data/engine/Database.h"
#include "data/engine/Dataset.h"
#include "data/engine/Table.h"
#include "model/Datasets.h"
#include "model/Names.h"
#include "model/NoteStore.h"
#include "model/Schema.h"
#include "search/ListExport.h"

#include <QDir>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>
#include <limits>
#include <vector>

namespace zel::ui {

using model::datasets::TableCommSynonyms;
using model::datasets::TableMaterial;
using model::datasets::TableMaterialSelect;
using model::datasets::TableSupLink2;
using model::datasets::TableSupplier;
using model::datasets::TableSupplierShow;
using model::datasets::TableSynonyms2;
using model::datasets::TableSynonymsSelect;

namespace {

const QString kNameOrder = QStringLiteral("Name");
const QString kCasOrder = QStringLiteral("CAS");

// The material ids, ascending. Gaps are fine (the selection list maps ids to its slots once),
// but a blank, non-positive or repeated id would leave a material that no id search can
// reach, so such a table is refused like any other damaged table.
std::vector<int> materialIds(const data::Table& table)
{
    const int n = table.recordCount();
    const int field = table.fieldIndex(model::fields::id);
    if (field < 0)
        throw data::DatabaseError(QStringLiteral("%1 has no id field").arg(table.displayName()));
    std::vector<int> ids;
    ids.reserve(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) {
        const qint64 id = table.isNull(r, field) ? 0 : table.integer(r, field);
        if (id < 1 || id > std::numeric_limits<int>::max())
            throw data::DatabaseError(
                QStringLiteral("%1: record %2 has no valid id (%3)")
                    .arg(table.displayName())
                    .arg(r + 1)
                    .arg(table.isNull(r, field) ? QStringLiteral("blank") : QString::number(id)));
        ids.push_back(static_cast<int>(id));
    }
    std::sort(ids.begin(), ids.end());
    if (const auto twice = std::adjacent_find(ids.begin(), ids.end()); twice != ids.end())
        throw data::DatabaseError(QStringLiteral("%1: id %2 is given to more than one material")
                                      .arg(table.displayName())
                                      .arg(*twice));
    return ids;
}

} // namespace

// The rows of the materials list. The selection list sets the current row only after it has
// made that row's material current itself, so a row set here needs no second lookup of the
// material; a row the user chooses goes through selectRow instead.
class MainSession::Rows : public search::SelectionGrid
{
public:
    explicit Rows(MainSession* session) : m_session(session) {}
    void setRowCount(int rows) override
    {
        if (rows == m_rows)
            return;
        m_rows = rows;
        if (m_current >= rows)
            m_current = rows > 1 ? rows - 1 : 0;
        Q_EMIT m_session->rowCountChanged(rows);
    }
    int rowCount() const override { return m_rows; }
    int currentRow() const override { return m_current; }
    void setCurrentRow(int row) override
    {
        if (row == m_current || row < 1 || row >= m_rows)
            return;
        m_current = row;
        Q_EMIT m_session->currentRowChanged(row);
    }

private:
    MainSession* m_session;
    int m_rows = 1;
    int m_current = 0;
};

// Passes the selection list's feedback on to whoever the program names, which may be set
// after the list is made.
class MainSession::FeedbackRelay : public search::SelectionFeedback
{
public:
    search::SelectionFeedback* target = nullptr;
    void setProgressRange(int min, int max) override
    {
        if (target)
            target->setProgressRange(min, max);
    }
    void showProgress(int position) override
    {
        if (target)
            target->showProgress(position);
    }
    void showProgressWindow() override
    {
        if (target)
            target->showProgressWindow();
    }
    void hideProgressWindow() override
    {
        if (target)
            target->hideProgressWindow();
    }
    void warnNothingSelected() override
    {
        if (target)
            target->warnNothingSelected();
    }
};

MainSession::MainSession(QObject* parent)
    : QObject(parent), m_database(new data::Database(QStringLiteral("ZEL"), this)),
      m_datasets(new data::DatasetSet(m_database, model::decls::mainWindow(), this)),
      m_rows(std::make_unique<Rows>(this)), m_feedback(std::make_unique<FeedbackRelay>()),
      m_notes(std::make_unique<model::NoteStore>())
{
    model::schema::describe(*m_database);
    connect(m_database, &data::Database::sourceChanged, this, &MainSession::sourceChanged);
    // Told after whatever met the problem has ended, so that a window may answer with a
    // message box without breaking into a paint or a data change.
    m_notes->setProblemHandler([this](const QString& message) {
        QMetaObject::invokeMethod(
            this, [this, message] { Q_EMIT notesProblem(message); }, Qt::QueuedConnection);
    });
}

MainSession::~MainSession() = default;

data::Dataset* MainSession::dataset(const QString& name) const
{
    return m_datasets->get(name);
}

void MainSession::setSelectionFeedback(search::SelectionFeedback* feedback)
{
    m_feedback->target = feedback;
}

// --- Opening ---------------------------------------------------------------------------

void MainSession::configure(const model::Configuration& configuration)
{
    m_configuration = configuration;
    DataDirectory = configuration.dataDirectory;
    HelpFileName = configuration.helpFile;
    model::define(*m_database, configuration);
}

void MainSession::setDataDirectory(const QString& directory)
{
    model::Configuration configuration = m_configuration;
    configuration.dataDirectory = directory;
    configuration.connection.clear();
    configure(configuration);
}

void MainSession::setServer(const QString& connection)
{
    model::Configuration configuration = m_configuration;
    configuration.dataDirectory.clear();
    configuration.connection = connection;
    configure(configuration);
}

QString MainSession::sourceDescription() const
{
    if (const data::TableSource* source = m_database->source())
        return source->description() + (m_database->loadedFromLocalCopy()
                                            ? QStringLiteral(" (read from the local copy)")
                                            : QString());
    return QDir::toNativeSeparators(QDir(DataDirectory).absolutePath()) + QLatin1Char('/');
}

int MainSession::tableRecordCount(const QString& table) const
{
    return m_database->table(table)->recordCount();
}

QString MainSession::ExportList(const QString& path, const std::function<void(int, int)>& progress,
                                const ExportOptions& options, int* written) const
{
    if (!m_list)
        return tr("No database is open");
    try {
        const data::Table& materials = *m_database->table(model::tables::material);
        std::vector<int> ids = search::ListExport::listedIds(*m_list);
        if (options.criteria) {
            // The search dialog's own judgement of every material, as its Select runs it.
            const data::Dataset* synonyms = dataset(TableSynonymsSelect);
            const std::vector<unsigned char> pass = search::MaterialFilter(
                *options.criteria, materials, synonyms->isOpen() ? synonyms->table() : nullptr);
            const int idField = materials.fieldIndex(model::fields::id);
            QSet<int> passed;
            for (size_t record = 0; record < pass.size(); ++record)
                if (pass[record])
                    passed.insert(static_cast<int>(materials.integer(int(record), idField)));
            std::erase_if(ids, [&passed](int id) { return !passed.contains(id); });
        }
        search::ListExport::Notes notes;
        if (options.withNotes) {
            notes = m_notes->entries();
            // Asked for, notes that cannot be read are no reason to write a list without them.
            if (!m_notes->readable())
                return m_notes->problem();
        }
        const QString error = search::ListExport::writeCsv(path, materials, ids, progress,
                                                           options.withNotes ? &notes : nullptr);
        if (written && error.isEmpty())
            *written = static_cast<int>(ids.size());
        return error;
    } catch (const data::DatabaseError& e) {
        return e.message();
    }
}

QString MainSession::currentCas() const
{
    const data::Dataset* material = dataset(TableMaterial);
    return isOpen() && material->isOpen() ? material->text(model::fields::cas) : QString();
}

void MainSession::PreloadDatabase(data::Preload what)
{
    data::Session::instance().setLockDirectory(DataDirectory);
    m_datasets->preloadAll(what);
}

void MainSession::OpenDatabase()
{
    try {
        data::Session::instance().setLockDirectory(DataDirectory);
        // The declarations are in opening order, and the commercial names get their range
        // as they open.
        m_datasets->openAll();
        data::Dataset* material = dataset(TableMaterial);
        MaterialCount = material->recordCount();
        m_ids = materialIds(*material->table());
        CreateSelectionList();
    } catch (...) {
        m_list.reset();
        m_database->disconnect();
        throw;
    }
    Q_EMIT databaseOpened();
}

void MainSession::Reload()
{
    if (!m_list) {
        m_database->reload();
        OpenDatabase();
        return;
    }
    // Ids and record numbers may change with the data; keys stay.
    const QString materialCas = dataset(TableMaterial)->text(model::fields::cas);
    const QString commercialName = dataset(TableCommSynonyms)->text(model::fields::name);
    const QString supplierNumber = dataset(TableSupplier)->text(model::fields::supnr);
    const bool narrowed = m_list->count() < MaterialCount;
    const QString order = listOrder();
    const QString shortlist = m_shortlist;

    m_database->reload();
    OpenDatabase();
    if (!shortlist.isEmpty())
        SelectShortlist(shortlist);
    else if (narrowed)
        Select(1);
    SetListOrder(order);
    data::Dataset* select = dataset(TableMaterialSelect);
    const QString previous = select->indexName();
    select->setIndexName(model::indexes::casorder);
    const bool found = !materialCas.isEmpty() && select->findKey({materialCas});
    select->setIndexName(previous);
    if (found) {
        const int id = static_cast<int>(select->integer(model::fields::id));
        if (m_list->IsSelected(id))
            m_list->GotoId(id);
    }
    m_list->ShowCurrent();
    if (!commercialName.isEmpty())
        dataset(TableCommSynonyms)->findNearest({commercialName});
    if (!supplierNumber.isEmpty())
        GotoSupplier(supplierNumber);
}

void MainSession::setTableFilter(search::TSearchClass::TableFilter filter)
{
    m_tableFilter = std::move(filter);
    if (m_list)
        m_list->setTableFilter(m_tableFilter);
}

void MainSession::CreateSelectionList()
{
    data::Dataset* material = dataset(TableMaterial);
    data::Dataset* select = dataset(TableMaterialSelect);
    m_list = std::make_unique<search::TSearchClass>(MaterialCount);
    m_shortlist.clear();
    m_list->setIds(std::move(m_ids));
    // The filter is looked up when a search runs, so the dialog may be wired in later.
    m_list->attach(
        m_rows.get(), material, select, [this] { return m_filter ? m_filter() : true; },
        m_feedback.get());
    m_list->setTableFilter(m_tableFilter);
    m_list->setMaterialCount(MaterialCount);
    m_list->RestoreAll();
    m_list->BuildNameList();
    m_list->BuildCasList();
    SetListOrder(kNameOrder);
    m_list->GotoFirst();
    material->refresh();
    select->refresh();
    material->first();
}

// --- The materials list ----------------------------------------------------------------

int MainSession::rowCount() const
{
    return m_rows->rowCount();
}

int MainSession::currentRow() const
{
    return m_rows->currentRow();
}

void MainSession::selectRow(int row)
{
    if (!m_list || row == m_rows->currentRow() || row < 1 || row >= m_rows->rowCount())
        return;
    m_rows->setCurrentRow(row);
    m_list->GotoRow(row);
}

void MainSession::keepRowInView(int topRow, int visibleRows)
{
    if (!m_list || m_list->count() == 0)
        return;
    const int current = m_rows->currentRow();
    const int last = std::min(topRow + std::max(visibleRows, 1) - 1, m_list->count());
    int target = 0;
    if (current < topRow)
        target = topRow;
    else if (current > last)
        target = last;
    if (target == 0)
        return;
    m_list->GotoRow(target);
    m_list->ShowCurrent();
}

QString MainSession::listOrder() const
{
    return m_list ? m_list->GetOrder() : kNameOrder;
}

bool MainSession::nameOrder() const
{
    return listOrder() == kNameOrder;
}

void MainSession::SetListOrder(const QString& order)
{
    if (m_list)
        m_list->SetOrder(order == kNameOrder ? kNameOrder : kCasOrder);
}

void MainSession::ToggleOrder()
{
    SetListOrder(listOrder() != kCasOrder ? kCasOrder : kNameOrder);
}

QString MainSession::listTitle() const
{
    if (!m_list)
        return QString();
    const int count = m_list->count();
    QString title = !m_shortlist.isEmpty()
                        ? tr("%1 materials of the shortlist %2").arg(count).arg(m_shortlist)
                    : count == dataset(TableMaterial)->recordCount()
                        ? tr("List of all materials (%1)").arg(count)
                        : tr("%1 materials selected").arg(count);
    if (listOrder() == kCasOrder)
        title += tr(" - sorted by CAS");
    return title;
}

bool MainSession::searchEnabled() const
{
    return !m_list || m_list->count() == MaterialCount || nameOrder();
}

void MainSession::Select(int dialogResult)
{
    if (!m_list)
        return;
    if (dialogResult == 1 || dialogResult == 2)
        m_shortlist.clear();
    if (dialogResult == 1) {
        m_list->ApplyFilter();
        m_list->ShowCurrent();
    } else if (dialogResult == 2) {
        m_list->RestoreAll();
        m_list->Rebuild();
        m_list->ShowCurrent();
    }
}

// --- Stable alternatives ---------------------------------------------------------------

std::vector<MainSession::Alternative>
MainSession::Alternatives(const search::StabilityRequirement& required, int limit) const
{
    std::vector<Alternative> found;
    const data::Dataset* material = dataset(TableMaterial);
    if (!m_list || !material->isOpen() || material->recordNumber() < 0)
        return found;
    const data::Table& table = *material->table();
    using namespace model::fields;
    const int fields[] = {table.fieldIndex(cas), table.fieldIndex(name), table.fieldIndex(odour),
                          table.fieldIndex(stabil)};
    for (const auto& m :
         search::OdourSimilarity::of(table)->rank(material->recordNumber(), required, limit))
        found.push_back({table.text(m.record, fields[0]).toString(),
                         table.text(m.record, fields[1]).toString(),
                         table.text(m.record, fields[2]).toString(),
                         table.text(m.record, fields[3]).toString(), m.score});
    return found;
}

QString MainSession::currentMaterialName() const
{
    const data::Dataset* material = dataset(TableMaterial);
    return material->isOpen() ? material->text(model::fields::name) : QString();
}

bool MainSession::GotoMaterial(const QString& cas)
{
    if (!m_list || cas.isEmpty())
        return false;
    data::Dataset* select = dataset(TableMaterialSelect);
    const QString previous = select->indexName();
    select->setIndexName(model::indexes::casorder);
    const bool found = select->findKey({cas});
    const int id = found ? static_cast<int>(select->integer(model::fields::id)) : 0;
    select->setIndexName(previous);
    if (!found)
        return false;
    if (!m_list->IsSelected(id))
        Select(2);
    m_list->GotoId(id);
    m_list->ShowCurrent();
    return true;
}

// --- Shortlists ------------------------------------------------------------------------

// The selection list's own search, judging each material by whether the shortlist holds its
// CAS number, so that order, title, count and the current material behave as after a search.
bool MainSession::SelectShortlist(const QString& name)
{
    if (!m_list)
        return false;
    const QStringList kept = m_notes->shortlist(name);
    const QSet<QString> wanted(kept.begin(), kept.end());
    const data::Table& materials = *dataset(TableMaterialSelect)->table();
    const int casField = materials.fieldIndex(model::fields::cas);
    std::vector<unsigned char> held(static_cast<size_t>(materials.recordCount()), 0);
    bool any = false;
    for (int record = 0; casField >= 0 && record < materials.recordCount(); ++record) {
        if (wanted.contains(materials.text(record, casField).toString())) {
            held[static_cast<size_t>(record)] = 1;
            any = true;
        }
    }
    if (!any)
        return false;
    m_list->setTableFilter([&held](const data::Dataset&) { return held; });
    auto restore = qScopeGuard([this] { m_list->setTableFilter(m_tableFilter); });
    m_list->ApplyFilter();
    m_list->ShowCurrent();
    m_shortlist = name;
    return true;
}

bool MainSession::RenameShortlist(const QString& from, const QString& to)
{
    if (!m_notes->renameShortlist(from, to))
        return false;
    if (m_shortlist == from)
        m_shortlist = to;
    return true;
}

bool MainSession::DeleteShortlist(const QString& name)
{
    if (!m_notes->deleteShortlist(name))
        return false;
    if (m_shortlist == name)
        Select(2);
    return true;
}

// --- Incremental search ----------------------------------------------------------------

// In name order the search lands on the first listed material at or after the text, or,
// when every listed one comes before it, on the last of those; it never leaves the list on
// a material that is not listed. The text is searched in the names' sort form, so "gé" finds
// Géraniol and lower-case letters of any alphabet find their names, not only a to z. In CAS
// order it moves only when the nearest CAS is listed.
void MainSession::SearchMaterial(const QString& text)
{
    if (!SearchActive || !m_list)
        return;
    if (nameOrder())
        m_list->SearchName(model::sortForm(text));
    else
        m_list->SearchCas(text);
}

// The commercial names index ignores case, so the text is searched as typed.
void MainSession::SearchCommercialName(const QString& text)
{
    searchNearest(TableCommSynonyms, text);
}

void MainSession::SearchSupplier(const QString& text)
{
    searchNearest(TableSupplier, text);
}

void MainSession::searchNearest(const QString& datasetName, const QString& text)
{
    if (!SearchActive)
        return;
    data::Dataset* searched = dataset(datasetName);
    if (searched->isOpen())
        searched->findNearest({text});
}

// --- Page carry ------------------------------------------------------------------------

void MainSession::CarryTo(int page)
{
    // The page is shown whatever the carry meets, so it is the one the next carry starts from
    // even when a database error ends this one.
    const int from = LastShownPage;
    LastShownPage = page;
    if (!isOpen())
        return;
    if (page == page::Materials)
        carryToMaterials(from);
    else if (page == page::CommercialNames)
        carryToCommercialNames(from);
    else if (page == page::Suppliers)
        carryToSuppliers(from);
}

// From the commercial names page its current name's material; from the others the material
// of the current row of the supplier's materials list.
void MainSession::carryToMaterials(int from)
{
    const QString cas = from == page::CommercialNames
                            ? dataset(TableCommSynonyms)->text(model::fields::cas)
                            : dataset(TableSupLink2)->text(model::fields::cas);
    if (cas.isEmpty())
        return;
    data::Dataset* select = dataset(TableMaterialSelect);
    const QString previous = select->indexName();
    select->setIndexName(model::indexes::casorder);
    const bool found = select->findKey({cas});
    select->setIndexName(previous);
    // A CAS that no material has carries nothing, rather than whatever material the scan
    // view happened to stand on.
    if (!found)
        return;
    const int id = static_cast<int>(select->integer(model::fields::id));
    if (m_list->IsSelected(id)) {
        m_list->GotoId(id);
        m_list->ShowCurrent();
    }
}

// From the materials page the commercial name of the current row of its suppliers list;
// from the suppliers page the one of the current row of the supplier's materials.
void MainSession::carryToCommercialNames(int from)
{
    data::Dataset* comm = dataset(TableCommSynonyms);
    if (from == page::Materials)
        comm->findKey({dataset(TableSynonyms2)->text(model::fields::name)});
    else if (from == page::Suppliers)
        comm->findKey({dataset(TableSupLink2)->text(model::fields::name)});
}

// From the commercial names page its current name's supplier; from the others the supplier
// shown under the materials page's suppliers list.
void MainSession::carryToSuppliers(int from)
{
    const QString supnr =
        dataset(from == page::CommercialNames ? TableCommSynonyms : TableSupplierShow)
            ->text(model::fields::supnr);
    bool ok = false;
    const int n = supnr.toInt(&ok);
    // Supplier numbers need not be numeric; what counts is that there is one.
    if ((ok && n <= 0) || supnr.isEmpty())
        return;
    GotoSupplier(supnr);
}

bool MainSession::GotoSupplier(const QString& supnr)
{
    data::Dataset* supplier = dataset(TableSupplier);
    const QString previous = supplier->indexName();
    supplier->setIndexName(QString());
    const bool found = supplier->findKey({supnr});
    supplier->setIndexName(previous);
    return found;
}

// --- Navigation ------------------------------------------------------------------------

void MainSession::Navigate(int page, const QString& direction)
{
    if (!isOpen())
        return;
    if (page == page::Materials) {
        const int rows = m_rows->rowCount();
        const int row = m_rows->currentRow();
        if (direction == QLatin1String("first"))
            selectRow(1);
        else if (direction == QLatin1String("prior") && row > 1)
            selectRow(row - 1);
        else if (direction == QLatin1String("next") && row < rows - 1)
            selectRow(row + 1);
        else if (direction == QLatin1String("last"))
            selectRow(rows - 1);
        return;
    }
    data::Dataset* ds = dataset(page == page::CommercialNames ? TableCommSynonyms : TableSupplier);
    if (direction == QLatin1String("first"))
        ds->first();
    else if (direction == QLatin1String("prior"))
        ds->prior();
    else if (direction == QLatin1String("next"))
        ds->next();
    else if (direction == QLatin1String("last"))
        ds->last();
}

// --- Suppliers -------------------------------------------------------------------------

QString MainSession::CountPhrase(int n, const QString& word, const QString& ending)
{
    if (n == 0)
        return QStringLiteral("No ") + word + ending;
    if (n == 1)
        return QStringLiteral("1 ") + word;
    return QString::number(n) + QLatin1Char(' ') + word + ending;
}

QString MainSession::supplierMaterialsTitle() const
{
    // Whole phrases, so that each language counts in its own grammar.
    const int n = dataset(TableSupLink2)->recordCount();
    const QString count = n == 0   ? tr("No materials")
                          : n == 1 ? tr("1 material")
                                   : tr("%1 materials").arg(n);
    return tr("%1 from: %2").arg(count, dataset(TableSupplier)->text(model::fields::supname));
}

} // namespace zel::ui
