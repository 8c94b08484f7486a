#include "ui/CommercialNamesPage.h"

#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "ui/DatasetGrid.h"
#include "ui/FieldLink.h"
#include "ui/MainSession.h"
#include "ui/PageParts.h"
#include "ui/StabilityGrid.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace zel::ui {

using namespace model::fields;

CommercialNamesPage::CommercialNamesPage(QWidget* parent) : AlignedPage(parent)
{
    setObjectName(QStringLiteral("CommercialNamesPage"));
    EditCommercialName = new QLineEdit;
    EditCommercialName->setObjectName(QStringLiteral("EditCommercialName"));
    DBGridCommercialName = new DatasetGrid;
    DBGridCommercialName->setObjectName(QStringLiteral("DBGridCommercialName"));
    QWidget* list = listSide(this, tr("S&earch name:"), EditCommercialName, DBGridCommercialName);
    list->setObjectName(QStringLiteral("CommercialListSide"));

    PanelCommercialDetails = new QWidget(this);
    PanelCommercialDetails->setObjectName(QStringLiteral("PanelCommercialDetails"));
    PanelCommercialDetails->resize(DetailWidth, 400);
    TabbedNotebookCommercialName = panelNotebook(PanelCommercialDetails);
    TabbedNotebookCommercialName->setObjectName(QStringLiteral("TabbedNotebookCommercialName"));
    auto* details = new QWidget;
    caption(details, tr("CAS"), 3, 4);
    DBCommCas = fieldEdit(details, "DBCommCas", {78, 2, 250, 18});
    caption(details, tr("Comm. name"), 3, 25);
    DBCommCommName = fieldEdit(details, "DBCommCommName", {78, 23, 250, 18});
    caption(details, tr("Supplier"), 3, 46);
    DBCommSupplier = fieldEdit(details, "DBCommSupplier", {78, 44, 250, 18});
    caption(details, tr("Material"), 3, 69);
    MemoMaterialName = fieldMemo(details, "MemoMaterialName", {78, 65, 250, 47}, false);
    caption(details, tr("Odour"), 3, 119);
    DBCommOdour = fieldMemo(details, "DBCommOdour", {78, 115, 250, 47});
    caption(details, tr("Performance"), 3, 169, "LabelCommPerformance");
    DBCommPerformance = fieldMemo(details, "DBCommPerformance", {78, 165, 250, 47});
    caption(details, tr("Application"), 3, 219, "LabelCommApplication");
    DBCommApplication = fieldMemo(details, "DBCommApplication", {78, 215, 250, 47});
    caption(details, tr("Literature"), 3, 269, "LabelCommLiterature");
    DBCommLiterature = fieldMemo(details, "DBCommLiterature", {78, 265, 250, 47});
    TabbedNotebookCommercialName->addTab(details, tr("Details"));
    CommStabilityGrid = addStabilitySheet(TabbedNotebookCommercialName, false, "CommStabilityGrid");

    setSides(list, PanelCommercialDetails, TabbedNotebookCommercialName);
    connect(DBGridCommercialName, &DatasetGrid::databaseError, this,
            &CommercialNamesPage::databaseError);
}

void CommercialNamesPage::attached(MainSession* session, bool first)
{
    data::Dataset* comm = session->dataset(model::datasets::TableCommSynonyms);
    DBGridCommercialName->setDataset(comm);
    DBGridCommercialName->sizeColumnsToFields();
    // Opened again (a reload): the datasets and their links are the same ones.
    if (first) {
        searchWith(EditCommercialName, &MainSession::SearchCommercialName);
        new FieldLink(comm, cas, DBCommCas);
        new FieldLink(comm, name, DBCommCommName);
        new FieldLink(session->dataset(model::datasets::TableCommSupplier), supname,
                      DBCommSupplier);
        data::Dataset* material = session->dataset(model::datasets::TableCommMaterial);
        new FieldLink(material, odour, DBCommOdour);
        new FieldLink(material, performance, DBCommPerformance);
        new FieldLink(material, application, DBCommApplication);
        new FieldLink(material, literature, DBCommLiterature);
        connect(material, &data::Dataset::dataChanged, this, [this] { m_refresh.request(); });
    }
    RefreshCommMaterialDetails();
}

void CommercialNamesPage::FillMediaLabels()
{
    ui::FillMediaLabels(CommStabilityGrid);
}

void CommercialNamesPage::RefreshCommMaterialDetails()
{
    ShowStability(*session()->dataset(model::datasets::TableCommMaterial), MemoMaterialName,
                  CommStabilityGrid);
}

} // namespace zel::ui
