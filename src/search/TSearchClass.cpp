#include "search/TSearchClass.h"

#include "data/Dataset.h"
#include "data/Names.h"
#include "data/Table.h"

#include <algorithm>

namespace zel::search {

TSearchClass::TSearchClass(int capacity)
    : m_capacity(std::max(capacity, 0)), Selected(static_cast<size_t>(m_capacity) + 1, 0),
      CasList(static_cast<size_t>(m_capacity) + 1, 0),
      AllCasList(static_cast<size_t>(m_capacity) + 1, 0),
      NameList(static_cast<size_t>(m_capacity) + 1, 0)
{
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
        const int id = static_cast<int>(ScanTable->integer(data::fields::id));
        if (validId(id)) {
            Selected[static_cast<size_t>(id)] = r;
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
    const int idField = table->fieldIndex(data::fields::id);
    const int n = ScanTable->recordCount();
    for (int i = 0; i < n; ++i) {
        const int record = ScanTable->recordAt(i);
        const int id = idField >= 0 ? static_cast<int>(table->integer(record, idField)) : 0;
        if (validId(id)) {
            const bool r = static_cast<size_t>(record) < results.size() &&
                           results[static_cast<size_t>(record)] != 0;
            Selected[static_cast<size_t>(id)] = r;
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
    if (validId(CurrentId) && Selected[static_cast<size_t>(CurrentId)])
        ShowCurrent();
    else
        GotoFirst();
}

bool TSearchClass::GotoId(int id)
{
    if (!IsAttached())
        return false;
    BrowseTable->setIndexName(data::indexes::idindex);
    ++m_browseSearches;
    const bool found = BrowseTable->findKey({id});
    CurrentId = id;
    return found;
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
    for (int id = 1; id <= last; ++id)
        if (Selected[static_cast<size_t>(id)])
            NameList[static_cast<size_t>(++k)] = id;
}

void TSearchClass::BuildCasList()
{
    if (!IsAttached())
        return;
    ScanTable->setIndexName(data::indexes::casorder);
    ScanTable->first();
    int k = 0;
    while (!ScanTable->eof()) {
        const int id = static_cast<int>(ScanTable->integer(data::fields::id));
        if (validId(id) && Selected[static_cast<size_t>(id)] && k < m_capacity) {
            ++k;
            AllCasList[static_cast<size_t>(k)] = id;
            CasList[static_cast<size_t>(k)] = id;
        }
        ScanTable->next();
    }
}

void TSearchClass::FilterCasList()
{
    if (!IsAttached())
        return;
    int k = 0;
    const int last = std::min(m_materialCount, m_capacity);
    for (int j = 1; j <= last; ++j) {
        const int id = AllCasList[static_cast<size_t>(j)];
        if (validId(id) && Selected[static_cast<size_t>(id)])
            CasList[static_cast<size_t>(++k)] = id;
    }
}

void TSearchClass::GotoFirst()
{
    if (!IsAttached())
        return;
    GotoId(nameOrder() ? NameList[1 % NameList.size()] : CasList[1 % CasList.size()]);
    Grid->setCurrentRow(1);
}

void TSearchClass::ShowCurrent()
{
    if (!IsAttached())
        return;
    if (Count >= 1 && validId(CurrentId) && Selected[static_cast<size_t>(CurrentId)]) {
        for (int r = 1; r <= Count; ++r) {
            if (IdAtRow(r) == CurrentId) {
                Grid->setCurrentRow(r);
                return;
            }
        }
    }
    GotoFirst();
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
    return nameOrder() ? NameList[static_cast<size_t>(row)] : CasList[static_cast<size_t>(row)];
}

bool TSearchClass::IsSelected(int id) const
{
    return validId(id) && Selected[static_cast<size_t>(id)];
}

} // namespace zel::search
