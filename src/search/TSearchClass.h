#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace zel::data {
class Dataset;
}

namespace zel::search {

// What the selection list needs of the materials list grid. Setting a current row that the
// grid does not already have raises the grid's cell-selection notification, which the
// materials list answers with GotoRow.
class SelectionGrid
{
public:
    virtual ~SelectionGrid() = default;
    virtual void setRowCount(int rows) = 0;
    virtual int rowCount() const = 0;
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
};

// Feedback while ApplyFilter scans every material: the progress window and the warning
// shown when nothing matched.
class SelectionFeedback
{
public:
    virtual ~SelectionFeedback() = default;
    virtual void setProgressRange(int min, int max) = 0;
    virtual void showProgress(int position) = 0;
    virtual void showProgressWindow() = 0;
    virtual void hideProgressWindow() = 0;
    virtual void warnNothingSelected() = 0;
};

// The materials listed on the materials page: a flag per material, the selected materials in
// name order (ascending id) and in CAS order, the current material and the order. The
// arrays are sized once for the database's materials; nothing is allocated afterwards.
//
// Ids need not be 1 to N: a database whose ids have gaps (materials deleted, ids never
// reused) is listed as it is. The ids are mapped once, when the database opens, to list
// slots 1 to N in ascending id order (setIds); the arrays hold slots, and ids appear only
// where the list meets the tables (the scan, GotoId, IdAtRow).
class TSearchClass
{
public:
    using FilterFunction = std::function<bool()>;
    // Judges every record of the scan view's table at once: one flag per record number.
    using TableFilter = std::function<std::vector<unsigned char>(const data::Dataset& scan)>;

    // capacity: the number of materials (their ids are 1..capacity until setIds).
    explicit TSearchClass(int capacity);
    // The ids of the materials, ascending and without repeats, at most capacity of them.
    void setIds(std::vector<int> ids);

    void attach(SelectionGrid* grid, data::Dataset* browseTable, data::Dataset* scanTable,
                FilterFunction filter, SelectionFeedback* feedback = nullptr);
    // When set, ApplyFilter takes every material's result from it in one pass over the table
    // instead of evaluating the filter record by record on the scan view.
    void setTableFilter(TableFilter filter) { m_tableFilter = std::move(filter); }
    // MaterialCount of the main window: the highest id the list walks.
    void setMaterialCount(int count) { m_materialCount = count; }

    bool IsAttached() const;
    void RefreshTables();
    void RestoreAll();
    void UpdateRowCount();
    void ApplyFilter();
    void Rebuild();
    bool GotoId(int id);
    // The incremental search of the materials page: the scan view moves to the first material
    // whose key in the list's order (the sort form of the name, or the CAS number) is text or
    // after it, and the current material becomes that one when it is listed (through the same
    // record, with no second search), else in name order the nearest listed one.
    void SearchName(const QString& sortForm);
    void SearchCas(const QString& text);
    void SetOrder(const QString& order);
    QString GetOrder() const { return Order; }
    void BuildNameList();
    void BuildCasList();
    void FilterCasList();
    void GotoFirst();
    void ShowCurrent();
    void GotoRow(int row);
    int IdAtRow(int row) const;
    bool IsSelected(int id) const;
    // The first selected id from id upwards, else the last selected one below it, else the
    // lowest id: where a search for id lands among the selected materials.
    int NearestSelectedId(int id) const;

    int count() const { return Count; }
    int currentId() const { return CurrentId; }
    int idAtSlot(int slot) const { return validSlot(slot) ? idOf(slot) : 0; }
    int capacity() const { return m_capacity; }
    // How many key searches of the materials table the list has run, on either view. Each
    // move of the current material needs one; the count lets tests and benchmarks hold the
    // program to that.
    int keySearches() const { return m_keySearches; }

private:
    // The row of the list that shows this slot in the current order; 0 when none does.
    int rowOfSlot(int slot) const;
    void noteCasRow(int slot, int row);
    bool nameOrder() const { return Order == QLatin1String("Name"); }
    // The slot of an id, 0 for an id no material has.
    int slotOf(int id) const;
    int idOf(int slot) const { return m_ids.empty() ? slot : m_ids[static_cast<size_t>(slot) - 1]; }
    bool validSlot(int slot) const { return slot >= 1 && slot <= m_capacity; }
    void scanRecordByRecord();
    void scanWholeTable();
    // Makes id current through the browse view's record of the scan view's current one.
    void gotoScanRecord(int id);

    int Count = 0;
    int CurrentId = 0;
    QString Order;
    SelectionGrid* Grid = nullptr;
    data::Dataset* ScanTable = nullptr;
    data::Dataset* BrowseTable = nullptr;
    FilterFunction Filter;
    TableFilter m_tableFilter;
    SelectionFeedback* m_feedback = nullptr;
    int m_capacity = 0;
    int m_materialCount = 0;
    int m_keySearches = 0;
    std::vector<int> m_ids; // by slot - 1; empty while ids are 1..capacity
    // Index 0 is unused so that slots and rows index the arrays directly.
    std::vector<unsigned char> Selected;
    std::vector<int> CasList;
    std::vector<int> AllCasList;
    std::vector<int> NameList;
    std::vector<int> m_casRow; // by slot: its row in CasList, once the CAS order has met it
};

} // namespace zel::search
