#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QWidget;

namespace zel::data {
class Database;
class Dataset;
class DatasetSet;
} // namespace zel::data

namespace zel::search {
class SelectionFeedback;
class TSearchClass;
} // namespace zel::search

namespace zel::ui {

class AlignedPage;
class DatasetGrid;
class HelpWindow;
class TSizerData;
class MaterialGrid;
class MaterialListModel;

// The program's one working window: three pages (materials, commercial names, suppliers),
// each a list with a search field and a detail notebook, under a toolbar and a menu. It
// owns the database, the main-window datasets and the material selection list.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The database ZEL, defined by driver and path at start-up.
    data::Database* MainData;
    // The main-window datasets, by name (TableMaterial, TableCommSynonyms, ...).
    data::DatasetSet* Datasets;

    QString ProgramDirectory; // ends in a separator
    QString DataDirectory;    // ends in a separator
    QString HelpFileName;     // at most 80 characters
    int MaterialCount = 0;
    bool SearchActive = true;
    int LastShownPage = 0;

    // Start-up: every notebook on its first page.
    void ShowFirstPages();
    // Start-up: the media labels into both stability grids.
    void FillMediaLabels();
    // Start-up, once the datasets are open: creates the selection list of every material,
    // builds both orders, switches to name order and makes the first material current.
    void CreateSelectionList();
    search::TSearchClass* selectionList() const { return m_list.get(); }

    // What the window cannot do itself: the progress window and warning of a search, the
    // about box, the print command. Set by the program at start-up.
    void setSelectionFeedback(search::SelectionFeedback* feedback) { m_feedback = feedback; }
    // The search dialog: execute returns 0 (close), 1 (select) or 2 (select all); filter
    // tells whether the scan view's current material meets its criteria, tableFilter (when
    // given) judges every material at once.
    void
    setSearch(std::function<int()> execute, std::function<bool()> filter,
              std::function<std::vector<unsigned char>(const data::Dataset&)> tableFilter = {});
    void setAboutHandler(std::function<void()> handler) { m_about = std::move(handler); }
    void setPrintHandler(std::function<void()> handler) { m_print = std::move(handler); }

    void SwitchPage(int page);
    void UpdateCommands();
    void Navigate(const QString& direction);
    void ToggleSupplierDetails();
    void ToggleMaterialDetails();
    void SetListOrder(const QString& order);
    void ToggleOrder();
    void UpdateListTitle();
    void UpdateSearchField();
    void SearchMaterial();
    void SearchCommercialName();
    void SearchSupplier();
    void SyncSupplierShow();
    static QString CountPhrase(int n, const QString& word, const QString& ending);
    TSizerData* sizer() const { return m_sizer.get(); }
    void SearchButtonClick();
    void ShowHelp();
    int currentPage() const;

    // Controls, named as in the window's design.
    QWidget* Panel1;
    QToolButton* FirstButton;
    QToolButton* PriorButton;
    QToolButton* NextButton;
    QToolButton* LastButton;
    QToolButton* OrderButton;
    QToolButton* SearchButton;
    QToolButton* PrintButton;
    QToolButton* HideShowButton;
    QTabWidget* MainTabNotebook;
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
    QLabel* LabelPerformance;
    QLabel* LabelApplication;
    QLabel* LabelLiterature;
    QTableWidget* StabilityGrid;
    QWidget* SuppliersSheet;
    DatasetGrid* SupplierGrid;
    QWidget* TabDetailsSuppliers;
    QLineEdit* DBEdit1;
    QLineEdit* DBEdit3;
    QLineEdit* DBEdit4;
    QLineEdit* DBEdit5;
    QLineEdit* DBEdit6;
    QLineEdit* EditCommercialName;
    DatasetGrid* DBGridCommercialName;
    QLineEdit* DBCommCas;
    QLineEdit* DBCommCommName;
    QLineEdit* DBCommSupplier;
    QPlainTextEdit* DBCommOdour;
    QPlainTextEdit* DBCommPerformance;
    QPlainTextEdit* DBCommApplication;
    QPlainTextEdit* DBCommLiterature;
    QWidget* PanelCommercialDetails;
    QTabWidget* TabbedNotebookCommercialName;
    QWidget* CommercialListSide;
    QTableWidget* CommStabilityGrid;
    QPlainTextEdit* MemoMaterialName;
    QLineEdit* EditSupplierName;
    QWidget* SupplierListSide;
    DatasetGrid* DBGrid1;
    QTabWidget* SuppliersDetailTabNotebook;
    QLineEdit* DBEditName;
    QLineEdit* DBEditAddress;
    QLineEdit* DBEditCity;
    QLineEdit* DbEditCountry;
    QLineEdit* DBEditPhone;
    QWidget* MaterialsSheet;
    DatasetGrid* MaterialGrid2;
    QWidget* TabDetailsMaterial;
    QWidget* Panel7;
    QLineEdit* DBMaterialCAS;
    QLineEdit* DBMaterialName;
    QLineEdit* DBComercialName;
    QAction* MenuPrintMaterial;
    QAction* MenuPrintSupplier;
    QAction* ContentsAction;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildToolbar();
    void buildMenu();
    QWidget* buildMaterialsPage();
    QWidget* buildCommercialPage();
    QWidget* buildSuppliersPage();
    QWidget* searchRow(QWidget* parent, const QString& caption, QLineEdit* field, QLabel** label);
    void connectDatasets();
    void SourceMaterialDataChange();
    void SourceCommMaterialDataChange();
    void RefreshMaterialDetails();
    void RefreshCommMaterialDetails();
    void DetailClick();
    void MainTabNotebookClick(int index);
    void FormResize();
    void showError(const QString& text);
    data::Dataset* dataset(const char* name) const;
    void carryToMaterials();
    void carryToCommercialNames();
    void carryToSuppliers();

    void SourceSupplierDataChange();

    std::unique_ptr<search::TSearchClass> m_list;
    std::unique_ptr<TSizerData> m_sizer;
    MaterialListModel* m_listModel = nullptr;
    search::SelectionFeedback* m_feedback = nullptr;
    std::function<int()> m_executeSearch;
    std::function<bool()> m_filter;
    std::function<std::vector<unsigned char>(const data::Dataset&)> m_tableFilter;
    std::function<void()> m_about;
    std::function<void()> m_print;
    HelpWindow* m_help = nullptr;
    AlignedPage* m_pages[3] = {};
    bool m_switching = false;
    bool m_datasetsConnected = false;
    bool m_materialRefreshPending = false;
    bool m_commRefreshPending = false;
};

} // namespace zel::ui
