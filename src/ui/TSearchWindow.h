#pragma once

#include "search/MaterialFilter.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zel::data {
class Dataset;
}

namespace zel::ui {

// The search dialog "Select": text criteria for name, odour, performance and application,
// and the media in which a material must rate "++". It only gathers criteria; the selection
// list runs the filter over the materials once the dialog has closed. Created once and
// hidden between uses, so the criteria stay as the user left them.
class TSearchWindow : public QDialog
{
    Q_OBJECT
public:
    // How the window was left.
    enum Result
    {
        Closed = 0,
        Select = 1,
        SelectAll = 2
    };
    // StringGridStability's rows: the title row, then one row per medium.
    static constexpr int GridRows = model::MediaCount + 1;

    explicit TSearchWindow(QWidget* parent = nullptr);

    // Shows the window modally and returns how it was left.
    int Execute();
    int resultCode() const { return ResultCode; }
    // The number of media marked as required.
    int requiredCount() const { return RequiredCount; }

    // Row 0..33 of StringGridStability as the grid holds it: the title, then "0/" (not
    // required) or "2/" (required) followed by the medium's label. Empty for other rows.
    QString cellText(int row) const;

    // The criteria as they stand in the edits and the grid now.
    const search::SearchCriteria& criteria() const;
    // The selection list's filter: the criteria applied to the current record of scan and
    // its commercial names in synonymsOfScan (see MaterialFilter). Reads the window's
    // criteria each time it runs.
    std::function<bool()> filterFor(const data::Dataset* scan,
                                    const data::Dataset* synonymsOfScan) const;

    // Marks every unmarked medium of the selected range of rows and unmarks every marked one.
    void ToggleSelectedMedia();

    // Paints one cell of StringGridStability (row 0 is the title row) inside rect, which
    // excludes the grid lines.
    void StringGridStabilityDrawCell(QPainter& painter, int row, const QRect& rect, bool selected,
                                     bool focused) const;

    QLineEdit* EditName;
    QLineEdit* EditOdour;
    QLineEdit* EditPerformance;
    QLineEdit* EditApplications;
    QTableWidget* StringGridStability;
    QPushButton* SearchButton;
    QPushButton* SearchAllButton;
    QPushButton* ClearButton;
    QPushButton* CloseButton;

public Q_SLOTS:
    // Esc and the frame's close box end here: the window closes as by CloseButton.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void SearchButtonClick();
    void SearchAllButtonClick();
    void CloseButtonClick();
    void ClearButtonClick();
    void setCellText(int row, const QString& text);
    void criteriaChanged();

    int ResultCode = Closed;
    int RequiredCount = 0;
    // A search asks for the criteria once per material; they are gathered once per change,
    // as they are typed and normalised for the filter.
    mutable std::optional<search::SearchCriteria> m_criteria;
    mutable std::optional<search::SearchCriteria> m_normalised;
};

} // namespace zel::ui
