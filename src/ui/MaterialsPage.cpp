#include "ui/MaterialsPage.h"

#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "ui/DatasetGrid.h"
#include "ui/FieldLink.h"
#include "ui/MainSession.h"
#include "ui/MaterialGrid.h"
#include "ui/NotesSheet.h"
#include "ui/PageParts.h"
#include "ui/StabilityGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

namespace zel::ui {

using namespace model::fields;

MaterialsPage::MaterialsPage(QWidget* parent) : AlignedPage(parent)
{
    setObjectName(QStringLiteral("MaterialsPage"));

    SearchField = new QLineEdit;
    SearchField->setObjectName(QStringLiteral("SearchField"));
    MaterialGridView = new MaterialGrid;
    MaterialGridView->setObjectName(QStringLiteral("MaterialGrid"));
    QWidget* list =
        listSide(this, tr("S&earch name:"), SearchField, MaterialGridView, &SearchLabel);
    SearchLabel->setObjectName(QStringLiteral("SearchLabel"));

    PanelDetail = new QWidget(this);
    PanelDetail->setObjectName(QStringLiteral("PanelDetail"));
    PanelDetail->resize(DetailWidth, 400);
    DetailTabNotebook = panelNotebook(PanelDetail);
    DetailTabNotebook->setObjectName(QStringLiteral("DetailTabNotebook"));

    auto* details = new QWidget;
    caption(details, tr("CAS"), 4, 12);
    DBCAS = fieldEdit(details, "DBCAS", {78, 8, 250, 22});
    caption(details, tr("Material"), 4, 37);
    MemoName = fieldMemo(details, "MemoName", {78, 33, 250, 47}, false);
    caption(details, tr("Odour"), 4, 88);
    DBOdour = fieldMemo(details, "DBOdour", {78, 84, 250, 47});
    caption(details, tr("Performance"), 4, 139, "LabelPerformance");
    DBPerformance = fieldMemo(details, "DBPerformance", {78, 135, 250, 47});
    caption(details, tr("Application"), 4, 190, "LabelApplication");
    DBApplication = fieldMemo(details, "DBApplication", {78, 186, 250, 60});
    caption(details, tr("Literature"), 4, 254, "LabelLiterature");
    DBLiterature = fieldMemo(details, "DBLiterature", {78, 250, 250, 60});
    DetailTabNotebook->addTab(details, tr("Details"));

    StabilityGrid = addStabilitySheet(DetailTabNotebook, true, "StabilityGrid");

    SuppliersSheet = new ListDetailSheet(166);
    SuppliersSheet->setObjectName(QStringLiteral("SuppliersSheet"));
    SupplierGrid = SuppliersSheet->list();
    SupplierGrid->setObjectName(QStringLiteral("SupplierGrid"));
    SuppliersSheet->details()->setObjectName(QStringLiteral("TabDetailsSuppliers"));
    auto* sup = new QWidget;
    caption(sup, tr("Supplier"), 2, 10);
    DBEdit1 = fieldEdit(sup, "DBEdit1", {72, 7, 240, 22});
    caption(sup, tr("Address"), 2, 35);
    DBEdit3 = fieldEdit(sup, "DBEdit3", {72, 32, 240, 22});
    caption(sup, tr("City"), 2, 60);
    DBEdit4 = fieldEdit(sup, "DBEdit4", {72, 57, 240, 22});
    caption(sup, tr("Country"), 2, 86);
    DBEdit5 = fieldEdit(sup, "DBEdit5", {72, 82, 240, 22});
    caption(sup, tr("Phone"), 2, 111);
    DBEdit6 = fieldEdit(sup, "DBEdit6", {72, 107, 240, 22});
    SuppliersSheet->details()->addTab(sup, tr("Details"));
    DetailTabNotebook->addTab(SuppliersSheet, tr("Suppliers"));
    m_notes = new NotesSheet;
    DetailTabNotebook->addTab(m_notes, tr("Notes"));
    DetailTabNotebook->setCornerWidget(m_notes->star(), Qt::TopRightCorner);

    setSides(list, PanelDetail, DetailTabNotebook);
    connect(SuppliersSheet, &ListDetailSheet::detailsToggled, this, &MaterialsPage::detailsToggled);
    connect(SupplierGrid, &DatasetGrid::databaseError, this, &MaterialsPage::databaseError);
}

MaterialsPage::~MaterialsPage()
{
    // The grid asks the selection list for its rows while it goes; let it go first.
    delete MaterialGridView;
}

void MaterialsPage::attached(MainSession* session, bool first)
{
    // Opened again (a reload): the selection list is new, the datasets and links are not.
    if (first)
        searchWith(SearchField, &MainSession::SearchMaterial);
    MaterialListModel* old = m_listModel;
    m_listModel = new MaterialListModel(session->selectionList(),
                                        session->dataset(model::datasets::TableMaterial2), this);
    MaterialGridView->setSession(session, m_listModel);
    delete old;

    data::Dataset* synonyms = session->dataset(model::datasets::TableSynonyms2);
    SupplierGrid->setDataset(synonyms);
    SupplierGrid->sizeColumnsToFields();
    if (first) {
        data::Dataset* material = session->dataset(model::datasets::TableMaterial);
        connect(material, &data::Dataset::dataChanged, this, [this] { m_refresh.request(); });
        data::Dataset* show = session->dataset(model::datasets::TableSupplierShow);
        new FieldLink(show, supname, DBEdit1);
        new FieldLink(show, address, DBEdit3);
        new FieldLink(show, city, DBEdit4);
        new FieldLink(show, country, DBEdit5);
        new FieldLink(show, phone, DBEdit6);
    }
    RefreshMaterialDetails();
    m_notes->attach(session);
}

void MaterialsPage::FillMediaLabels()
{
    ui::FillMediaLabels(StabilityGrid);
}

void MaterialsPage::RefreshMaterialDetails()
{
    const data::Dataset* m = session()->dataset(model::datasets::TableMaterial);
    setFieldText(DBCAS, m->text(cas));
    setFieldText(DBOdour, m->text(odour));
    setFieldText(DBPerformance, m->text(performance));
    setFieldText(DBApplication, m->text(application));
    setFieldText(DBLiterature, m->text(literature));
    ShowStability(*m, MemoName, StabilityGrid);
}

void MaterialsPage::setSearchCaption(const QString& text)
{
    SearchLabel->setText(text);
}

void MaterialsPage::setSearchEnabled(bool enabled)
{
    SearchLabel->setEnabled(enabled);
    SearchField->setEnabled(enabled);
}

void MaterialsPage::clearSearch()
{
    SearchField->clear();
}

void MaterialsPage::setListTitle(const QString& title)
{
    if (m_listModel)
        m_listModel->setTitle(title);
}

QString MaterialsPage::listTitle() const
{
    return m_listModel ? m_listModel->title() : QString();
}

void MaterialsPage::repaintList()
{
    if (m_listModel)
        m_listModel->repaintAll();
}

void MaterialsPage::ToggleSupplierDetails()
{
    SuppliersSheet->toggleDetails();
}

void MaterialsPage::keepNote()
{
    m_notes->save();
}

} // namespace zel::ui
