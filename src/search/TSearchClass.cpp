#include "search/TSearchClass.h"

#include "data/engine/Dataset.h"
#include "data/engine/Table.h"
#include "model/Names.h"

#include <algorithm>

namespace zel::search {

TSearchClass::TSearchClass(int capacity)
    : m_capacity(std::max(capacity, 0)), Selected(static_cast<size_t>(m_capacity) + 1, 0),
      CasList(static_cast<size_t>(m_capacity) + 1, 0),
      AllCasList(static_cast<size_t>(m_capacity) + 1, 0),
      NameList(static_cast<size_t>(m_capacity) + 1, 0)
{
}

void TSearchClass::setIds(std::vector<int> ids)
{
    if (static_cast<int>(ids.size()) > m_capacity)
        ids.resize(static_cast<size_t>(m_capacity));
    // Ascending and distinct, so from 1 to the count means no gap at all: every id is its own
    // slot, without a search for each one a filter files.
    m_capacity = ids.empty() ? m_capacity : static_cast<int>(ids.size());
    if (!ids.empty() && ids.front() == 1 && ids.back() == static_cast<int>(ids.size()))
        ids.clear();
    m_ids = std::move(ids);
}

int TSearchClass::slotOf(int id) const
{
    if (m_ids.empty())
        return id >= 1 && id <= m_capacity ? id : 0;
    const auto it = std::lower_bound(m_ids.begin(), m_ids.end(), id);
    return it != m_ids.end() && *it == id ? static_cast<int>(it - m_ids.begin()) + 1 : 0;
}

void TSearchClass::attach(SelectionGrid* grid, data::Dataset* browseTable, data::Dataset* scanTable,
                          FilterFunction filter, SelectionFeedback* feedback)
{
    Grid = grid;
    BrowseTable = browseTable;
    ScanTable = scanTable;
    Filter = std::move(filter);
    m_feedback = feedback;
}

bool TSearchClass::IsAttached() const
{
    return Grid && BrowseTable && ScanTable;
}

void TSearchClass::RefreshTables()
{
    if (!IsAttached())
        return;
    BrowseTable->refresh();
    ScanTable->refresh();
}

void TSearchClass::RestoreAll()
{
    if (!IsAttached())
        return;
    RefreshTables();
    Count = std::min(ScanTable->recordCount(), m_capacity);
    std::fill(Selected.begin() + 1, Selected.begin() + 1 + Count, 1);
}

void TSearchClass::UpdateRowCount()
{
    if (!IsAttached())
        return;
    Grid->setRowCount(Count + 1);
}

void TSearchClass::ApplyFilter()
{
    if (!IsAttached())
        return;
    const int n = ScanTable->recordCount();
    if (m_feedback) {
        m_feedback->setProgressRange(0, n);
        m_feedback->showProgressWindow();
    }
    Count = 0;
    if (m_tableFilter && ScanTable->isOpen())
        scanWholeTable();
    else
        scanRecordByRecord();
    if (m_feedback)
        m_feedback->hideProgressWindow();
    if (Count == 0) {
        if (m_feedback)
            m_feedback->warnNothingSelected();
        RestoreAll();
    }
    Rebuild();
}

void TSearchClass::scanRecordByRecord()
{
    ScanTable->first();
    int i = 0;
    while (!ScanTable->eof()) {
        const bool r = Filter ? Filter() : true;
        const int slot = slotOf(static_cast<int>(ScanTable->integer(model::fields::id)));
        if (validSlot(slot)) {
            Selected[static_cast<size_t>(slot)] = r;
            if (r)
                ++Count;
        }
        if (m_feedback)
            m_feedback->showProgress(i);
        ++i;
        ScanTable->next();
    }
}

// The results come from the table filter in one pass; the walk over the scan view's records
// in its index order only files them by id, so it reads the table directly rather than
// moving the view (and every view that follows it) from record to record.
void TSearchClass::scanWholeTable()
{
    const std::vector<unsigned char> results = m_tableFilter(*ScanTable);
    const data::Table* table = ScanTable->table();
    const int idField = table->fieldIndex(model::fields::id);
    const int n = ScanTable->recordCount();
    for (int i = 0; i < n; ++i) {
        const int record = ScanTable->recordAt(i);
        const int slot =
            slotOf(idField >= 0 ? static_cast<int>(table->integer(record, idField)) : 0);
        if (validSlot(slot)) {
            const bool r = static_cast<size_t>(record) < results.size() &&
                           results[static_cast<size_t>(record)] != 0;
            Selected[static_cast<size_t>(slot)] = r;
            if (r)
                ++Count;
        }
        if (m_feedback)
            m_feedback->showProgress(i);
    }
    // The scan ends past the last record, as a walk would.
    ScanTable->last();
    ScanTable->next();
}

void TSearchClass::Rebuild()
{
    if (!IsAttached())
        return;
    BuildNameList();
    FilterCasList();
    UpdateRowCount();
    if (IsSelected(CurrentId))
        ShowCurrent();
    else
        GotoFirst();
}

bool TSearchClass::GotoId(int id)
{
    if (!IsAttached())
        return false;
    BrowseTable->setIndexName(model::indexes::idindex);
    ++m_keySearches;
    const bool found = BrowseTable->findKey({id});
    CurrentId = id;
    return found;
}

void TSearchClass::gotoScanRecord(int id)
{
    BrowseTable->setIndexName(model::indexes::idindex);
    if (!BrowseTable->gotoRecord(ScanTable->recordNumber())) {
        GotoId(id);
        return;
    }
    CurrentId = id;
}

void TSearchClass::SearchName(const QString& sortForm)
{
    if (!IsAttached())
        return;
    ScanTable->setIndexName(QString());
    ++m_keySearches;
    ScanTable->findNearest({sortForm});
    const int found = static_cast<int>(ScanTable->integer(model::fields::id));
    const int nearest = NearestSelectedId(found);
    if (nearest == found && ScanTable->recordNumber() >= 0)
        gotoScanRecord(found);
    else
        GotoId(nearest);
    ShowCurrent();
}

void TSearchClass::SearchCas(const QString& text)
{
    if (!IsAttached())
        return;
    ScanTable->setIndexName(model::indexes::casorder);
    ++m_keySearches;
    ScanTable->findNearest({text});
    const int id = static_cast<int>(ScanTable->integer(model::fields::id));
    if (!IsSelected(id) || ScanTable->recordNumber() < 0)
        return;
    gotoScanRecord(id);
    ShowCurrent();
}

void TSearchClass::SetOrder(const QString& order)
{
    if (!IsAttached())
        return;
    UpdateRowCount();
    Order = order;
}

void TSearchClass::BuildNameList()
{
    if (!IsAttached())
        return;
    int k = 0;
    const int last = std::min(m_materialCount, m_capacity);
    for (int slot = 1; slot <= last; ++slot)
        if (Selected[static_cast<size_t>(slot)])
            NameList[static_cast<size_t>(++k)] = slot;
}

void TSearchClass::BuildCasList()
{
    if (!IsAttached())
        return;
    ScanTable->setIndexName(model::indexes::casorder);
    ScanTable->first();
    // Read in the index's order without moving the cursor, which would tell every listener
    // of each of the materials.
    const data::Table* table = ScanTable->table();
    const int idField = table ? table->fieldIndex(model::fields::id) : -1;
    const int count = ScanTable->recordCount();
    int k = 0;
    for (int position = 0; position < count; ++position) {
        const int record = ScanTable->recordAt(position);
        const int id = idField < 0 || table->isNull(record, idField)
                           ? 0
                           : static_cast<int>(table->integer(record, idField));
        const int slot = slotOf(id);
        if (validSlot(slot) && Selected[static_cast<size_t>(slot)] && k < m_capacity) {
            ++k;
            AllCasList[static_cast<size_t>(k)] = slot;
            CasList[static_cast<size_t>(k)] = slot;
            noteCasRow(slot, k);
        }
    }
}

void TSearchClass::FilterCasList()
{
    if (!IsAttached())
        return;
    int k = 0;
    const int last = std::min(m_materialCount, m_capacity);
    for (int j = 1; j <= last; ++j) {
        const int slot = AllCasList[static_cast<size_t>(j)];
        if (validSlot(slot) && Selected[static_cast<size_t>(slot)]) {
            CasList[static_cast<size_t>(++k)] = slot;
            noteCasRow(slot, k);
        }
    }
}

void TSearchClass::noteCasRow(int slot, int row)
{
    if (m_casRow.size() <= static_cast<size_t>(slot))
        m_casRow.resize(static_cast<size_t>(m_capacity) + 1, 0);
    m_casRow[static_cast<size_t>(slot)] = row;
}

void TSearchClass::GotoFirst()
{
    if (!IsAttached())
        return;
    const int slot = nameOrder() ? NameList[1 % NameList.size()] : CasList[1 % CasList.size()];
    GotoId(validSlot(slot) ? idOf(slot) : slot);
    Grid->setCurrentRow(1);
}

void TSearchClass::ShowCurrent()
{
    if (!IsAttached())
        return;
    if (Count >= 1 && IsSelected(CurrentId)) {
        if (const int r = rowOfSlot(slotOf(CurrentId)); r >= 1) {
            Grid->setCurrentRow(r);
            return;
        }
    }
    GotoFirst();
}

// Every keystroke of the incremental search ends here, so the row is found without walking
// the list: the name order holds the selected slots ascending, and the CAS order keeps each
// slot's row as it is built.
int TSearchClass::rowOfSlot(int slot) const
{
    if (!validSlot(slot))
        return 0;
    if (nameOrder()) {
        const auto begin = NameList.begin() + 1;
        const auto end = begin + std::min<qsizetype>(Count, qsizetype(NameList.size()) - 1);
        const auto it = std::lower_bound(begin, end, slot);
        return it != end && *it == slot ? int(it - NameList.begin()) : 0;
    }
    const size_t s = static_cast<size_t>(slot);
    const int r = s < m_casRow.size() ? m_casRow[s] : 0;
    if (r >= 1 && r <= Count && CasList[static_cast<size_t>(r)] == slot)
        return r;
    for (int row = 1; row <= Count; ++row) // a slot the CAS order never met
        if (CasList[static_cast<size_t>(row)] == slot)
            return row;
    return 0;
}

void TSearchClass::GotoRow(int row)
{
    if (!IsAttached())
        return;
    if (row >= 1 && row <= Count)
        GotoId(IdAtRow(row));
}

int TSearchClass::IdAtRow(int row) const
{
    if (row < 1 || row > Count)
        return 0;
    const int slot =
        nameOrder() ? NameList[static_cast<size_t>(row)] : CasList[static_cast<size_t>(row)];
    return validSlot(slot) ? idOf(slot) : 0;
}

bool TSearchClass::IsSelected(int id) const
{
    const int slot = slotOf(id);
    return validSlot(slot) && Selected[static_cast<size_t>(slot)];
}

int TSearchClass::NearestSelectedId(int id) const
{
    const int last = std::min(m_materialCount, m_capacity);
    // The first slot whose id is id or above.
    int from = 1;
    if (m_ids.empty())
        from = std::clamp(id, 1, last + 1);
    else
        from =
            static_cast<int>(std::lower_bound(m_ids.begin(), m_ids.end(), id) - m_ids.begin()) + 1;
    for (int slot = from; slot <= last; ++slot)
        if (Selected[static_cast<size_t>(slot)])
            return idOf(slot);
    for (int slot = std::min(from - 1, last); slot >= 1; --slot)
        if (Selected[static_cast<size_t>(slot)])
            return idOf(slot);
    return last >= 1 ? idOf(1) : 1;
}

} // namespace zel::search
