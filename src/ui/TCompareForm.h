#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace zel::data {
class DatasetSet;
}
namespace zel::model {
class Comparison;
class ComparisonReader;
} // namespace zel::model

namespace zel::ui {

class ComparisonModel;
class MainSession;

// Two to six materials side by side, a column each. A material is found by name as the
// materials page finds it, with a search field over a list of the materials from the one found
// on, and added with Enter; Delete removes the material of the selected column. Print lays the
// comparison out as a report, once it holds two materials or more. The window reads the
// materials through cursors of its own, so it never moves what the main window shows.
class TCompareForm : public QWidget
{
    Q_OBJECT
public:
    // The session outlives the window.
    explicit TCompareForm(MainSession* session, QWidget* parent = nullptr);
    ~TCompareForm() override;

    // What Print runs with the compared materials' CAS numbers, set by the program.
    void setPrintHandler(std::function<void(const QStringList& cas)> print)
    {
        m_print = std::move(print);
    }

    // Adds the material of that CAS number; false, saying why, when it is not added (already
    // compared, the comparison full, or no such material).
    bool AddMaterial(const QString& cas);
    // Adds the material chosen in the list under the search field.
    bool AddFoundMaterial();
    // Removes the material of the selected column; the column after it is selected then.
    void RemoveSelected();
    void RemoveColumn(int column);
    // Compares the materials of these CAS numbers instead, as far as they are found.
    void Compare(const QStringList& cas);
    void PrintClick();
    // Shows the window in front, its search field ready for typing.
    void ShowWindow();
    // The main window's key: adds the materials page's current material and shows the window
    // without taking the keyboard from the main window, where the next one is chosen.
    void AddCurrentMaterial();

    const model::Comparison& comparison() const;
    // What the window last said (why a material was not added, what it takes to print).
    QString message() const;

private:
    void SearchFieldChange(const QString& text);
    void showMessage(const QString& text);
    void updateCommands();
    void reread();
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainSession* m_session;
    std::unique_ptr<data::DatasetSet> m_datasets;
    std::unique_ptr<model::ComparisonReader> m_reader;
    ComparisonModel* m_model;
    std::function<void(const QStringList&)> m_print;

    QLineEdit* SearchField;
    QListWidget* FoundList;
    QPushButton* AddButton;
    QPushButton* RemoveButton;
    QPushButton* PrintButton;
    QLabel* MessageLabel;
    QTableView* CompareGrid;
};

} // namespace zel::ui
