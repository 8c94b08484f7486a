#pragma once

#include "ui/AlignedPage.h"

class QLineEdit;
class QTabWidget;

namespace zel::ui {

class DatasetGrid;
class ListDetailSheet;
class MainSession;

// Page 2 of the main window: every supplier in alphabetical order with its search field, the
// supplier's address, and its commercial names by material with the chosen one's details.
// Detail notebook sub-pages: 0 "Details", 1 "Materials".
class SuppliersPage : public AlignedPage
{
    Q_OBJECT
public:
    explicit SuppliersPage(QWidget* parent = nullptr);

    // Empties the search field; the session's SearchActive decides whether that searches.
    void clearSearch();
    // Hides the details under the supplier's materials, or shows them again.
    void ToggleMaterialDetails();

Q_SIGNALS:
    void detailsToggled(bool shown);
    // A double-click on the material details, which does what the hide/show button does.
    void hideShowRequested();

protected:
    void attached(MainSession* session, bool first) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SourceSupplierDataChange();

    QLineEdit* EditSupplierName;
    DatasetGrid* DBGrid1;
    QTabWidget* SuppliersDetailTabNotebook;
    QLineEdit* DBEditName;
    QLineEdit* DBEditAddress;
    QLineEdit* DBEditCity;
    QLineEdit* DbEditCountry;
    QLineEdit* DBEditPhone;
    ListDetailSheet* MaterialsSheet;
    DatasetGrid* MaterialGrid2;
    QWidget* Panel7;
    QLineEdit* DBMaterialCAS;
    QLineEdit* DBMaterialName;
    QLineEdit* DBComercialName;
};

} // namespace zel::ui
