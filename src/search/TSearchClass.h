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

// The materials listed on the materials page: a flag per material id, the selected ids in
// name order (ascending id) and in CAS order, the current material and the order. The
// arrays are sized once for the database's materials; nothing is allocated afterwards.
class TSearchClass
{
public:
    using FilterFunction = std::function<bool()>;
    // Judges every record of the scan view's table at once: one flag per record number.
    using TableFilter = std::function<std::vector<unsigned char>(const data::Dataset& scan)>;

    // capacity: the number of materials (their ids are 1..capacity).
    explicit TSearchClass(int capacity);

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

    int count() const { return Count; }
    int currentId() const { return CurrentId; }
    int capacity() const { return m_capacity; }
    // How many key searches GotoId has run on the browse view. Each move of the current
    // material needs one; the count lets tests and benchmarks hold the program to that.
    int browseSearches() const { return m_browseSearches; }

private:
    bool nameOrder() const { return Order == QLatin1String("Name"); }
    bool validId(int id) const { return id >= 1 && id <= m_capacity; }
    void scanRecordByRecord();
    void scanWholeTable();

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
    int m_browseSearches = 0;
    // Index 0 is unused so that ids and rows index the arrays directly.
    std::vector<unsigned char> Selected;
    std::vector<int> CasList;
    std::vector<int> AllCasList;
    std::vector<int> NameList;
};

} // namespace zel::search
