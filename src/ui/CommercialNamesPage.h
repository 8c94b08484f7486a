#pragma once

#include "ui/AlignedPage.h"
#include "ui/PageParts.h"

class QPlainTextEdit;
class QTabWidget;

namespace zel::ui {

class DatasetGrid;
class MainSession;
class StabilityGrid;

// Page 1 of the main window: every commercial name in alphabetical order with its search
// field, and the current name's CAS, supplier, material and the material's stability. Detail
// notebook sub-pages: 0 "Details", 1 "Stability".
class CommercialNamesPage : public AlignedPage
{
    Q_OBJECT
public:
    explicit CommercialNamesPage(QWidget* parent = nullptr);

    // Start-up: the media labels into the stability grid.
    void FillMediaLabels();

protected:
    void attached(MainSession* session, bool first) override;

private:
    void RefreshCommMaterialDetails();

    // Written once per turn of the event loop, like the materials page's details.
    OncePerTurn m_refresh{this, [this] { RefreshCommMaterialDetails(); }};

    QLineEdit* EditCommercialName;
    DatasetGrid* DBGridCommercialName;
    QWidget* PanelCommercialDetails;
    QTabWidget* TabbedNotebookCommercialName;
    QLineEdit* DBCommCas;
    QLineEdit* DBCommCommName;
    QLineEdit* DBCommSupplier;
    QPlainTextEdit* MemoMaterialName;
    QPlainTextEdit* DBCommOdour;
    QPlainTextEdit* DBCommPerformance;
    QPlainTextEdit* DBCommApplication;
    QPlainTextEdit* DBCommLiterature;
    StabilityGrid* CommStabilityGrid;
};

} // namespace zel::ui
