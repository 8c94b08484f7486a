#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QTabWidget;
class QToolButton;
class QWidget;

namespace zel::search {
class SelectionFeedback;
}

namespace zel::ui {

class BevelPanel;

class AlignedPage;
class CommercialNamesPage;
class HelpWindow;
class MainSession;
class MaterialsPage;
class SuppliersPage;
class TCompareForm;
class TSizerData;

// The program's one working window: a toolbar and a menu over three pages (materials,
// commercial names, suppliers), each a list with a search field and a detail notebook. What
// the pages show, and the logic behind the commands, is the session's; the window wires them.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    // The session outlives the window.
    explicit TMainForm(MainSession* session, QWidget* parent = nullptr);
    ~TMainForm() override;

    MainSession* session() const { return m_session; }

    // Start-up: every notebook on its first page.
    void ShowFirstPages();
    // Start-up: the media labels into both stability grids.
    void FillMediaLabels();

    // What the window cannot do itself, set by the program at start-up: the search dialog,
    // whose execute returns 0 (close), 1 (select) or 2 (select all); the about box; the
    // print command.
    void setSearchDialog(std::function<int()> execute) { m_executeSearch = std::move(execute); }
    void setAboutHandler(std::function<void()> handler) { m_about = std::move(handler); }
    void setPrintHandler(std::function<void()> handler) { m_print = std::move(handler); }
    void setAlternativesHandler(std::function<void()> handler)
    {
        m_alternatives = std::move(handler);
    }
    // The comparison that Report > Compare... shows and the materials page's key adds to.
    void setCompareWindow(TCompareForm* compare) { m_compare = compare; }
    // The progress window that long work shows; none when not set.
    void setProgressWindow(search::SelectionFeedback* progress) { m_progress = progress; }

    // The window's commands, as its menu, toolbar and notebooks run them.
    void SwitchPage(int page);
    void UpdateCommands();
    void Navigate(const QString& direction);
    void ToggleSupplierDetails();
    void ToggleMaterialDetails();
    void SetListOrder(const QString& order);
    void ToggleOrder();
    void UpdateListTitle();
    void UpdateSearchField();
    void SearchButtonClick();
    void ShowHelp();
    // File > Export list...: asks for a file name, then writes the materials now listed.
    void ExportListClick();
    // Writes the materials now listed, in the list's order, to a CSV file, with the user's
    // favourite flag and note after the other columns when asked; on failure shows why and
    // returns false, leaving any file of that name as it was.
    bool ExportList(const QString& path, bool withNotes = false);
    // File > Reload: reads the database again, keeping what is shown; an error leaves the
    // loaded data as they were.
    void Reload();
    // The server announced new reference data: a notice until the next reload.
    void ShowDataChangedNotice();
    int currentPage() const;

    TSizerData* sizer() const { return m_sizer.get(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildToolbar();
    void buildMenu();
    void databaseOpened();
    void DetailClick();
    void MainTabNotebookClick(int index);
    void OrderButtonClick();
    void HideShowButtonClick();
    void detailsToggled(bool shown);
    void FormResize();
    void showError(const QString& text);
    void printClick();
    // The selection list changed (a search, a shortlist): its rows, title and search field.
    void listShown();
    // The three pages in the notebook's order.
    std::array<AlignedPage*, 3> pages() const;

    MainSession* m_session;
    std::unique_ptr<TSizerData> m_sizer;
    std::function<int()> m_executeSearch;
    std::function<void()> m_about;
    std::function<void()> m_print;
    std::function<void()> m_alternatives;
    search::SelectionFeedback* m_progress = nullptr;
    TCompareForm* m_compare = nullptr;
    QString m_exportFolder;
    bool m_exportNotes = false;
    HelpWindow* m_help = nullptr;
    bool m_switching = false;

    BevelPanel* Panel1;
    QToolButton* FirstButton;
    QToolButton* PriorButton;
    QToolButton* NextButton;
    QToolButton* LastButton;
    QToolButton* OrderButton;
    QToolButton* SearchButton;
    QToolButton* PrintButton;
    QWidget* HideShowPanel;
    QToolButton* HideShowButton;
    QTabWidget* MainTabNotebook;
    MaterialsPage* m_materials;
    CommercialNamesPage* m_commercialNames;
    SuppliersPage* m_suppliers;
    QAction* ExportListMenu;
    QAction* MenuPrintMaterial;
    QAction* MenuPrintSupplier;
    QAction* MenuAddToComparison;
    QAction* MenuReload;
    QAction* MenuSelect; // the Select button's command, for its key
    QAction* MenuReportNotes;
    QLabel* ReloadNotice;
};

} // namespace zel::ui
