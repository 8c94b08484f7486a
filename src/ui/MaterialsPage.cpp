#include "ui/MaterialsPage.h"

#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "ui/DatasetGrid.h"
#include "ui/FieldLink.h"
#include "ui/MainSession.h"
#include "ui/MaterialGrid.h"
#include "ui/PageParts.h"
#include "ui/StabilityGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace zel::ui {

using namespace model::fields;

MaterialsPage::MaterialsPage(QWidget* parent) : AlignedPage(parent)
{
    setObjectName(QStringLiteral("MaterialsPage"));

    auto* listSide = new QWidget(this);
    auto* listLayout = new QVBoxLayout(listSide);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    SearchField = new QLineEdit;
    SearchField->setObjectName(QStringLiteral("SearchField"));
    listLayout->addWidget(
        searchRow(listSide, QStringLiteral("S&earch name:"), SearchField, &SearchLabel));
    SearchLabel->setObjectName(QStringLiteral("SearchLabel"));
    MaterialGridView = new MaterialGrid(listSide);
    MaterialGridView->setObjectName(QStringLiteral("MaterialGrid"));
    listLayout->addWidget(MaterialGridView, 1);

    PanelDetail = new QWidget(this);
    PanelDetail->setObjectName(QStringLiteral("PanelDetail"));
    PanelDetail->resize(DetailWidth, 400);
    auto* detailLayout = new QVBoxLayout(PanelDetail);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    DetailTabNotebook = new QTabWidget(PanelDetail);
    DetailTabNotebook->setObjectName(QStringLiteral("DetailTabNotebook"));
    detailLayout->addWidget(DetailTabNotebook);

    auto* details = new QWidget;
    caption(details, QStringLiteral("CAS"), 4, 12);
    DBCAS = fieldEdit(details, "DBCAS", {78, 8, 250, 22});
    caption(details, QStringLiteral("Material"), 4, 37);
    MemoName = fieldMemo(details, "MemoName", {78, 33, 250, 47}, false);
    caption(details, QStringLiteral("Odour"), 4, 88);
    DBOdour = fieldMemo(details, "DBOdour", {78, 84, 250, 47});
    caption(details, QStringLiteral("Performance"), 4, 139, "LabelPerformance");
    DBPerformance = fieldMemo(details, "DBPerformance", {78, 135, 250, 47});
    caption(details, QStringLiteral("Application"), 4, 190, "LabelApplication");
    DBApplication = fieldMemo(details, "DBApplication", {78, 186, 250, 60});
    caption(details, QStringLiteral("Literature"), 4, 254, "LabelLiterature");
    DBLiterature = fieldMemo(details, "DBLiterature", {78, 250, 250, 60});
    DetailTabNotebook->addTab(details, QStringLiteral("Details"));

    auto* stability = new QWidget;
    auto* stabilityLayout = new QVBoxLayout(stability);
    stabilityLayout->setContentsMargins(10, 10, 10, 10);
    StabilityGrid = new ui::StabilityGrid(true, stability);
    StabilityGrid->setObjectName(QStringLiteral("StabilityGrid"));
    stabilityLayout->addWidget(StabilityGrid);
    DetailTabNotebook->addTab(stability, QStringLiteral("Stability"));

    SuppliersSheet = new QWidget;
    SuppliersSheet->setObjectName(QStringLiteral("SuppliersSheet"));
    auto* suppliersLayout = new QVBoxLayout(SuppliersSheet);
    suppliersLayout->setContentsMargins(0, 0, 0, 0);
    suppliersLayout->setSpacing(0);
    SupplierGrid = new DatasetGrid(SuppliersSheet);
    SupplierGrid->setObjectName(QStringLiteral("SupplierGrid"));
    suppliersLayout->addWidget(SupplierGrid, 1);
    auto* supplierDetails = new QTabWidget(SuppliersSheet);
    TabDetailsSuppliers = supplierDetails;
    TabDetailsSuppliers->setObjectName(QStringLiteral("TabDetailsSuppliers"));
    TabDetailsSuppliers->setFixedHeight(166);
    auto* sup = new QWidget;
    caption(sup, QStringLiteral("Supplier"), 2, 10);
    DBEdit1 = fieldEdit(sup, "DBEdit1", {72, 7, 240, 22});
    caption(sup, QStringLiteral("Address"), 2, 35);
    DBEdit3 = fieldEdit(sup, "DBEdit3", {72, 32, 240, 22});
    caption(sup, QStringLiteral("City"), 2, 60);
    DBEdit4 = fieldEdit(sup, "DBEdit4", {72, 57, 240, 22});
    caption(sup, QStringLiteral("Country"), 2, 86);
    DBEdit5 = fieldEdit(sup, "DBEdit5", {72, 82, 240, 22});
    caption(sup, QStringLiteral("Phone"), 2, 111);
    DBEdit6 = fieldEdit(sup, "DBEdit6", {72, 107, 240, 22});
    supplierDetails->addTab(sup, QStringLiteral("Details"));
    suppliersLayout->addWidget(TabDetailsSuppliers);
    DetailTabNotebook->addTab(SuppliersSheet, QStringLiteral("Suppliers"));

    setSides(listSide, PanelDetail);

    connect(DetailTabNotebook, &QTabWidget::currentChanged, this,
            &MaterialsPage::detailPageChanged);
    // Anywhere on the grid, also where it has no rows: a material without commercial names
    // shows an empty one, and the pane must still go.
    SupplierGrid->viewport()->installEventFilter(this);
    SupplierGrid->horizontalHeader()->viewport()->installEventFilter(this);
    connect(SupplierGrid, &DatasetGrid::databaseError, this, &MaterialsPage::databaseError);
}

MaterialsPage::~MaterialsPage()
{
    // The grid asks the selection list for its rows while it goes; let it go first.
    delete MaterialGridView;
}

void MaterialsPage::attach(MainSession* session)
{
    // Opened again (a reload): the selection list is new, the datasets and links are not.
    const bool again = m_session == session;
    m_session = session;
    if (!again)
        connect(SearchField, &QLineEdit::textChanged, this, [this](const QString& text) {
            try {
                m_session->SearchMaterial(text);
            } catch (const data::DatabaseError& e) {
                Q_EMIT databaseError(e.message());
            }
        });
    MaterialListModel* old = m_listModel;
    m_listModel = new MaterialListModel(session->selectionList(),
                                        session->dataset(model::datasets::TableMaterial2), this);
    MaterialGridView->setSession(session, m_listModel);
    delete old;

    data::Dataset* synonyms = session->dataset(model::datasets::TableSynonyms2);
    SupplierGrid->setDataset(synonyms);
    SupplierGrid->sizeColumnsToFields();
    if (!again) {
        data::Dataset* material = session->dataset(model::datasets::TableMaterial);
        connect(material, &data::Dataset::dataChanged, this,
                &MaterialsPage::SourceMaterialDataChange);
        data::Dataset* show = session->dataset(model::datasets::TableSupplierShow);
        new FieldLink(show, supname, DBEdit1);
        new FieldLink(show, address, DBEdit3);
        new FieldLink(show, city, DBEdit4);
        new FieldLink(show, country, DBEdit5);
        new FieldLink(show, phone, DBEdit6);
    }
    RefreshMaterialDetails();
}

void MaterialsPage::FillMediaLabels()
{
    ui::FillMediaLabels(StabilityGrid);
}

// Laying out the text of five memo fields costs far more than finding a material, and
// typing in the search field moves the material with every key. The fields are therefore
// written once per turn of the event loop, before anything is painted, with whatever
// material is current by then.
void MaterialsPage::SourceMaterialDataChange()
{
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        RefreshMaterialDetails();
    });
}

void MaterialsPage::RefreshMaterialDetails()
{
    const data::Dataset* m = m_session->dataset(model::datasets::TableMaterial);
    setFieldText(DBCAS, m->text(cas));
    setFieldText(DBOdour, m->text(odour));
    setFieldText(DBPerformance, m->text(performance));
    setFieldText(DBApplication, m->text(application));
    setFieldText(DBLiterature, m->text(literature));
    ShowStability(*m, MemoName, StabilityGrid);
}

int MaterialsPage::detailPage() const
{
    return DetailTabNotebook->currentIndex();
}

void MaterialsPage::showDetailPage(int index)
{
    DetailTabNotebook->setCurrentIndex(index);
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

bool MaterialsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == SupplierGrid->viewport() ||
         watched == SupplierGrid->horizontalHeader()->viewport()))
        ToggleSupplierDetails();
    return AlignedPage::eventFilter(watched, event);
}

void MaterialsPage::ToggleSupplierDetails()
{
    const bool show = !TabDetailsSuppliers->isVisibleTo(SuppliersSheet);
    TabDetailsSuppliers->setVisible(show);
    Q_EMIT detailsToggled(show);
}

} // namespace zel::ui
