#pragma once

#include "ui/AlignedPage.h"
#include "ui/PageParts.h"

class QLabel;
class QPlainTextEdit;
class QTabWidget;

namespace zel::ui {

class DatasetGrid;
class MainSession;
class MaterialGrid;
class MaterialListModel;
class NotesSheet;
class StabilityGrid;

// Page 0 of the main window: the selection list of materials with its search field, and the
// current material's details, stability and commercial names with their suppliers. Detail
// notebook sub-pages: 0 "Details", 1 "Stability", 2 "Suppliers", 3 "Notes" (the user's own,
// with the favourite star in the notebook's corner).
class MaterialsPage : public AlignedPage
{
    Q_OBJECT
public:
    explicit MaterialsPage(QWidget* parent = nullptr);
    ~MaterialsPage() override;

    // Start-up: the media labels into the stability grid.
    void FillMediaLabels();

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
    // Keeps the note being typed now, before something reads the notes.
    void keepNote();

Q_SIGNALS:
    void detailsToggled(bool shown);

protected:
    void attached(MainSession* session, bool first) override;

private:
    void RefreshMaterialDetails();

    MaterialListModel* m_listModel = nullptr;
    // Laying out the text of five memo fields costs far more than finding a material, and
    // typing in the search field moves the material with every key. The fields are therefore
    // written once per turn of the event loop, before anything is painted, with whatever
    // material is current by then.
    OncePerTurn m_refresh{this, [this] { RefreshMaterialDetails(); }};

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
    ListDetailSheet* SuppliersSheet;
    NotesSheet* m_notes;
    DatasetGrid* SupplierGrid;
    QLineEdit* DBEdit1;
    QLineEdit* DBEdit3;
    QLineEdit* DBEdit4;
    QLineEdit* DBEdit5;
    QLineEdit* DBEdit6;
};

} // namespace zel::ui
