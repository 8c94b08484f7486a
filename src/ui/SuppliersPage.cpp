#include "ui/SuppliersPage.h"

#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "ui/DatasetGrid.h"
#include "ui/DatasetModel.h"
#include "ui/FieldLink.h"
#include "ui/MainSession.h"
#include "ui/PageParts.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace zel::ui {

using namespace model::fields;

SuppliersPage::SuppliersPage(QWidget* parent) : AlignedPage(parent)
{
    setObjectName(QStringLiteral("SuppliersPage"));
    EditSupplierName = new QLineEdit;
    EditSupplierName->setObjectName(QStringLiteral("EditSupplierName"));
    DBGrid1 = new DatasetGrid;
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    QWidget* list = listSide(this, tr("Search name:"), EditSupplierName, DBGrid1);
    list->setObjectName(QStringLiteral("SupplierListSide"));

    SuppliersDetailTabNotebook = new QTabWidget(this);
    SuppliersDetailTabNotebook->setObjectName(QStringLiteral("SuppliersDetailTabNotebook"));
    SuppliersDetailTabNotebook->resize(DetailWidth, 400);
    auto* details = new QWidget;
    // Captions end at x = 63, right-aligned.
    const auto rightCaption = [details](const QString& text, int y) {
        QLabel* l = caption(details, text, 0, y);
        l->move(63 - l->width(), y);
    };
    rightCaption(tr("Name"), 26);
    DBEditName = fieldEdit(details, "DBEditName", {72, 23, 245, 22});
    rightCaption(tr("Address"), 88);
    DBEditAddress = fieldEdit(details, "DBEditAddress", {72, 85, 245, 22});
    rightCaption(tr("City"), 150);
    DBEditCity = fieldEdit(details, "DBEditCity", {72, 147, 245, 22});
    rightCaption(tr("Country"), 212);
    DbEditCountry = fieldEdit(details, "DbEditCountry", {72, 209, 245, 22});
    rightCaption(tr("Phone"), 274);
    DBEditPhone = fieldEdit(details, "DBEditPhone", {72, 271, 245, 22});
    SuppliersDetailTabNotebook->addTab(details, tr("Details"));

    MaterialsSheet = new ListDetailSheet(131);
    MaterialsSheet->setObjectName(QStringLiteral("MaterialsSheet"));
    MaterialGrid2 = MaterialsSheet->list();
    MaterialGrid2->setObjectName(QStringLiteral("MaterialGrid2"));
    MaterialsSheet->details()->setObjectName(QStringLiteral("TabDetailsMaterial"));
    Panel7 = new QWidget;
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->installEventFilter(this);
    const auto panelCaption = [this](const QString& text, int x, int y) {
        caption(Panel7, text, x, y)->installEventFilter(this);
    };
    panelCaption(tr("CAS"), 5, 12);
    DBMaterialCAS = fieldEdit(Panel7, "DBMaterialCAS", {80, 10, 235, 22});
    panelCaption(tr("Material"), 5, 36);
    DBMaterialName = fieldEdit(Panel7, "DBMaterialName", {80, 38, 235, 22});
    panelCaption(tr("Commercial"), 5, 65);
    panelCaption(tr("name"), 41, 76);
    DBComercialName = fieldEdit(Panel7, "DBComercialName", {80, 67, 235, 22});
    MaterialsSheet->details()->addTab(Panel7, tr("Details"));
    SuppliersDetailTabNotebook->addTab(MaterialsSheet, tr("Materials"));

    setSides(list, SuppliersDetailTabNotebook, SuppliersDetailTabNotebook);
    connect(MaterialsSheet, &ListDetailSheet::detailsToggled, this, &SuppliersPage::detailsToggled);
    for (DatasetGrid* grid : {DBGrid1, MaterialGrid2})
        connect(grid, &DatasetGrid::databaseError, this, &SuppliersPage::databaseError);
}

void SuppliersPage::attached(MainSession* session, bool first)
{
    data::Dataset* supplier = session->dataset(model::datasets::TableSupplier);
    DBGrid1->setDataset(supplier);
    data::Dataset* link = session->dataset(model::datasets::TableSupLink2);
    MaterialGrid2->setDataset(link);
    for (DatasetGrid* grid : {DBGrid1, MaterialGrid2})
        grid->sizeColumnsToFields();
    // Opened again (a reload): the datasets and their links are the same ones.
    if (first) {
        searchWith(EditSupplierName, &MainSession::SearchSupplier);
        connect(supplier, &data::Dataset::dataChanged, this,
                &SuppliersPage::SourceSupplierDataChange);
        new FieldLink(supplier, supname, DBEditName);
        new FieldLink(supplier, address, DBEditAddress);
        new FieldLink(supplier, city, DBEditCity);
        new FieldLink(supplier, country, DbEditCountry);
        new FieldLink(supplier, phone, DBEditPhone);
        new FieldLink(link, cas, DBMaterialCAS);
        new FieldLink(link, materialName, DBMaterialName);
        new FieldLink(link, name, DBComercialName);
    }
    SourceSupplierDataChange();
}

// The supplier's materials list is titled with its count and the supplier's name.
void SuppliersPage::SourceSupplierDataChange()
{
    data::Dataset* link = session()->dataset(model::datasets::TableSupLink2);
    link->setDisplayLabel(materialName, session()->supplierMaterialsTitle());
    if (MaterialGrid2->datasetModel())
        Q_EMIT MaterialGrid2->datasetModel()->headerDataChanged(Qt::Horizontal, 0, 0);
}

void SuppliersPage::clearSearch()
{
    EditSupplierName->clear();
}

void SuppliersPage::ToggleMaterialDetails()
{
    MaterialsSheet->toggleDetails();
}

bool SuppliersPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == Panel7 || (watched->parent() == Panel7 && qobject_cast<QLabel*>(watched)))) {
        Q_EMIT hideShowRequested();
        return true;
    }
    return AlignedPage::eventFilter(watched, event);
}

} // namespace zel::ui
