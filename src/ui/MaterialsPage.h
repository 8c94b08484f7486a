#pragma once

#include "ui/AlignedPage.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace zel::ui {

class DatasetGrid;
class MainSession;
class MaterialGrid;
class MaterialListModel;
class StabilityGrid;

// Page 0 of the main window: the selection list of materials with its search field, and the
// current material's details, stability and commercial names with their suppliers.
class MaterialsPage : public AlignedPage
{
    Q_OBJECT
public:
    explicit MaterialsPage(QWidget* parent = nullptr);
    ~MaterialsPage() override;

    // Once the session's database is open: the list, the grids and the fields follow it.
    void attach(MainSession* session);
    // Start-up: the media labels into the stability grid.
    void FillMediaLabels();

    // Detail notebook sub-pages: 0 "Details", 1 "Stability", 2 "Suppliers".
    int detailPage() const;
    void showDetailPage(int index);

    void setSearchCaption(const QString& text);
    void setSearchEnabled(bool enabled);
    // Empties the search field; the session's SearchActive decides whether that searches.
    void clearSearch();
    void setListTitle(const QString& title);
    QString listTitle() const;
    // Every row again, e.g. after the order or the selection changed.
    void repaintList();

    // Hides the supplier details under the suppliers list, or shows them again.
    void ToggleSupplierDetails();

Q_SIGNALS:
    void detailPageChanged();
    void detailsToggled(bool shown);
    void databaseError(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SourceMaterialDataChange();
    void RefreshMaterialDetails();

    MainSession* m_session = nullptr;
    MaterialListModel* m_listModel = nullptr;
    bool m_refreshPending = false;

    QLabel* SearchLabel;
    QLineEdit* SearchField;
    MaterialGrid* MaterialGridView;
    QWidget* PanelDetail;
    QTabWidget* DetailTabNotebook;
    QLineEdit* DBCAS;
    QPlainTextEdit* MemoName;
    QPlainTextEdit* DBOdour;
    QPlainTextEdit* DBPerformance;
    QPlainTextEdit* DBApplication;
    QPlainTextEdit* DBLiterature;
    ui::StabilityGrid* StabilityGrid;
    QWidget* SuppliersSheet;
    DatasetGrid* SupplierGrid;
    QWidget* TabDetailsSuppliers;
    QLineEdit* DBEdit1;
    QLineEdit* DBEdit3;
    QLineEdit* DBEdit4;
    QLineEdit* DBEdit5;
    QLineEdit* DBEdit6;
};

} // namespace zel::ui
