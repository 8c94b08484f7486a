#include "ui/TMainForm.h"

#include "data/Database.h"
#include "data/Dataset.h"
#include "data/Datasets.h"
#include "data/Error.h"
#include "search/StabilityDisplay.h"
#include "search/TSearchClass.h"
#include "ui/AlignedPage.h"
#include "ui/DatasetGrid.h"
#include "ui/DatasetModel.h"
#include "ui/FieldLink.h"
#include "ui/Glyphs.h"
#include "ui/HelpWindow.h"
#include "ui/MaterialGrid.h"
#include "ui/TSizerData.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace zel::ui {

namespace {

constexpr int kDesignWidth = 590;
constexpr int kDesignHeight = 450;
constexpr int kDetailWidth = 340;
constexpr int kSearchRowHeight = 35;

QFont windowFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    return f;
}

QFont captionFont()
{
    QFont f = windowFont();
    f.setBold(true);
    return f;
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y, const char* name = nullptr)
{
    auto* label = new QLabel(text, parent);
    label->setFont(captionFont());
    label->move(x, y);
    label->adjustSize();
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* fieldEdit(QWidget* parent, const char* name, const QRect& bounds)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setGeometry(bounds);
    return edit;
}

QPlainTextEdit* fieldMemo(QWidget* parent, const char* name, const QRect& bounds, bool wrap = true)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setReadOnly(true);
    memo->setGeometry(bounds);
    memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    if (wrap) // a wrapped text never needs one, though a line that just fits can summon it
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    // Three names must fit the 47-pixel memo without a scroll bar.
    memo->document()->setDocumentMargin(1);
    return memo;
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& text, const QIcon& icon,
                        const QRect& bounds)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setIcon(icon);
    b->setIconSize(QSize(16, 16));
    b->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(false);
    b->setGeometry(bounds);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

void setText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

void setText(QPlainTextEdit* memo, const QString& text)
{
    if (memo->toPlainText() != text)
        memo->setPlainText(text);
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("ZEL"));
    setWindowIcon(glyphs::program());
    setFont(windowFont());
    MainData = new data::Database(QStringLiteral("ZEL"), this);
    Datasets = new data::DatasetSet(MainData, data::decls::mainWindow(), this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();
    layout->addWidget(Panel1);
    MainTabNotebook = new QTabWidget(central);
    MainTabNotebook->setObjectName(QStringLiteral("MainTabNotebook"));
    MainTabNotebook->addTab(buildMaterialsPage(), QStringLiteral("&Materials"));
    MainTabNotebook->addTab(buildCommercialPage(), QStringLiteral("&Commercial names"));
    MainTabNotebook->addTab(buildSuppliersPage(), QStringLiteral("S&uppliers"));
    layout->addWidget(MainTabNotebook, 1);
    setCentralWidget(central);
    buildMenu();

    connect(MainTabNotebook, &QTabWidget::currentChanged, this, &TMainForm::MainTabNotebookClick);
    for (QTabWidget* sub :
         {DetailTabNotebook, TabbedNotebookCommercialName, SuppliersDetailTabNotebook})
        connect(sub, &QTabWidget::currentChanged, this, [this] { DetailClick(); });
    connect(FirstButton, &QToolButton::clicked, this,
            [this] { Navigate(QStringLiteral("first")); });
    connect(PriorButton, &QToolButton::clicked, this,
            [this] { Navigate(QStringLiteral("prior")); });
    connect(NextButton, &QToolButton::clicked, this, [this] { Navigate(QStringLiteral("next")); });
    connect(LastButton, &QToolButton::clicked, this, [this] { Navigate(QStringLiteral("last")); });
    connect(OrderButton, &QToolButton::clicked, this, [this] {
        ToggleOrder();
        if (m_list)
            m_list->ShowCurrent();
        m_listModel->repaintAll();
    });
    connect(SearchButton, &QToolButton::clicked, this, &TMainForm::SearchButtonClick);
    connect(PrintButton, &QToolButton::clicked, this, [this] {
        if (m_print)
            m_print();
    });
    connect(HideShowButton, &QToolButton::clicked, this, [this] {
        if (currentPage() != 0)
            ToggleMaterialDetails();
        else
            ToggleSupplierDetails();
    });
    connect(SearchField, &QLineEdit::textChanged, this, [this] { SearchMaterial(); });
    connect(EditCommercialName, &QLineEdit::textChanged, this, [this] { SearchCommercialName(); });
    connect(EditSupplierName, &QLineEdit::textChanged, this, [this] { SearchSupplier(); });
    connect(SupplierGrid, &QAbstractItemView::doubleClicked, this,
            [this] { ToggleSupplierDetails(); });
    connect(MaterialGrid2, &QAbstractItemView::doubleClicked, this,
            [this] { ToggleMaterialDetails(); });
    for (DatasetGrid* grid : {SupplierGrid, DBGridCommercialName, DBGrid1, MaterialGrid2})
        connect(grid, &DatasetGrid::databaseError, this, &TMainForm::showError);

    // The grids learn their real width only when their page is first shown.
    StabilityGrid->installEventFilter(this);
    CommStabilityGrid->installEventFilter(this);

    // The window cannot be made smaller than its design size.
    setMinimumSize(kDesignWidth, kDesignHeight);
    resize(kDesignWidth, kDesignHeight);

    // The sizer records every control at the design size, before any layout has run.
    m_sizer = std::make_unique<TSizerData>();
    m_sizer->SetReference(this);
    const QStringList missing = m_sizer->AddMainWindowControls(this);
    Q_ASSERT(missing.isEmpty());
}

TMainForm::~TMainForm()
{
    // The grid asks the selection list for its rows while it goes; let it go first.
    delete MaterialGridView;
    MaterialGridView = nullptr;
}

data::Dataset* TMainForm::dataset(const char* name) const
{
    return Datasets->get(QString::fromLatin1(name));
}

void TMainForm::buildToolbar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(29);
    Panel1->setAutoFillBackground(true);
    FirstButton = toolButton(Panel1, "FirstButton", QString(), glyphs::first(), {1, 2, 28, 25});
    PriorButton = toolButton(Panel1, "PriorButton", QString(), glyphs::prior(), {29, 2, 28, 25});
    NextButton = toolButton(Panel1, "NextButton", QString(), glyphs::next(), {57, 2, 28, 25});
    LastButton = toolButton(Panel1, "LastButton", QString(), glyphs::last(), {85, 2, 28, 25});
    FirstButton->setToolTip(QStringLiteral("First"));
    PriorButton->setToolTip(QStringLiteral("Previous"));
    NextButton->setToolTip(QStringLiteral("Next"));
    LastButton->setToolTip(QStringLiteral("Last"));
    OrderButton = toolButton(Panel1, "OrderButton", QStringLiteral("&Order by CAS"),
                             glyphs::order(), {120, 2, 110, 25});
    SearchButton = toolButton(Panel1, "SearchButton", QStringLiteral("&Select"), glyphs::select(),
                              {230, 2, 75, 25});
    PrintButton = toolButton(Panel1, "PrintButton", QStringLiteral("&Print Material"),
                             glyphs::print(), {305, 2, 115, 25});
    auto* right = new QWidget(Panel1);
    right->setObjectName(QStringLiteral("HideShowPanel"));
    right->setGeometry(kDesignWidth - 100, 0, 100, 29);
    HideShowButton = toolButton(right, "HideShowButton", QStringLiteral("Hide details"),
                                glyphs::hide(), {0, 2, 100, 25});
    HideShowButton->setEnabled(false);
}

void TMainForm::buildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), this, [this] { close(); });
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(QStringLiteral("&Materials"), this, [this] { SwitchPage(0); });
    view->addAction(QStringLiteral("&Commercial names"), this, [this] { SwitchPage(1); });
    view->addAction(QStringLiteral("&Suppliers"), this, [this] { SwitchPage(2); });
    QMenu* report = menuBar()->addMenu(QStringLiteral("&Report"));
    const auto print = [this] {
        if (m_print)
            m_print();
    };
    MenuPrintMaterial = report->addAction(QStringLiteral("Print &Material"), this, print);
    MenuPrintSupplier = report->addAction(QStringLiteral("Print &Supplier"), this, print);
    MenuPrintSupplier->setEnabled(false);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    ContentsAction = help->addAction(QStringLiteral("&Contents"), this, &TMainForm::ShowHelp);
    ContentsAction->setShortcut(QKeySequence(Qt::Key_F1));
    ContentsAction->setShortcutContext(Qt::ApplicationShortcut);
    help->addSeparator();
    help->addAction(QStringLiteral("&About ZEL..."), this, [this] {
        if (m_about)
            m_about();
    });
}

QWidget* TMainForm::searchRow(QWidget* parent, const QString& text, QLineEdit* field,
                              QLabel** label)
{
    auto* row = new QWidget(parent);
    row->setFixedHeight(kSearchRowHeight);
    auto* l = new QLabel(text, row);
    l->move(8, 10);
    l->adjustSize();
    field->setParent(row);
    field->setGeometry(79, 7, 152, 22);
    l->setBuddy(field);
    if (label)
        *label = l;
    return row;
}

QWidget* TMainForm::buildMaterialsPage()
{
    auto* page = new AlignedPage;
    page->setObjectName(QStringLiteral("MaterialsPage"));
    m_pages[0] = page;

    auto* listSide = new QWidget(page);
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

    PanelDetail = new QWidget(page);
    PanelDetail->setObjectName(QStringLiteral("PanelDetail"));
    PanelDetail->resize(kDetailWidth, 400);
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
    LabelPerformance = caption(details, QStringLiteral("Performance"), 4, 139, "LabelPerformance");
    DBPerformance = fieldMemo(details, "DBPerformance", {78, 135, 250, 47});
    LabelApplication = caption(details, QStringLiteral("Application"), 4, 190, "LabelApplication");
    DBApplication = fieldMemo(details, "DBApplication", {78, 186, 250, 60});
    LabelLiterature = caption(details, QStringLiteral("Literature"), 4, 254, "LabelLiterature");
    DBLiterature = fieldMemo(details, "DBLiterature", {78, 250, 250, 60});
    DetailTabNotebook->addTab(details, QStringLiteral("Details"));

    auto* stability = new QWidget;
    auto* stabilityLayout = new QVBoxLayout(stability);
    stabilityLayout->setContentsMargins(10, 10, 10, 10);
    StabilityGrid = new QTableWidget(stability);
    StabilityGrid->setObjectName(QStringLiteral("StabilityGrid"));
    search::setUpStabilityGrid(StabilityGrid, true);
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

    page->setSides(listSide, PanelDetail);
    return page;
}

QWidget* TMainForm::buildCommercialPage()
{
    auto* page = new AlignedPage;
    page->setObjectName(QStringLiteral("CommercialNamesPage"));
    m_pages[1] = page;
    CommercialListSide = new QWidget(page);
    auto* listLayout = new QVBoxLayout(CommercialListSide);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    EditCommercialName = new QLineEdit;
    EditCommercialName->setObjectName(QStringLiteral("EditCommercialName"));
    listLayout->addWidget(searchRow(CommercialListSide, QStringLiteral("S&earch name:"),
                                    EditCommercialName, nullptr));
    DBGridCommercialName = new DatasetGrid(CommercialListSide);
    DBGridCommercialName->setObjectName(QStringLiteral("DBGridCommercialName"));
    listLayout->addWidget(DBGridCommercialName, 1);

    PanelCommercialDetails = new QWidget(page);
    PanelCommercialDetails->setObjectName(QStringLiteral("PanelCommercialDetails"));
    PanelCommercialDetails->resize(kDetailWidth, 400);
    auto* detailLayout = new QVBoxLayout(PanelCommercialDetails);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    TabbedNotebookCommercialName = new QTabWidget(PanelCommercialDetails);
    TabbedNotebookCommercialName->setObjectName(QStringLiteral("TabbedNotebookCommercialName"));
    detailLayout->addWidget(TabbedNotebookCommercialName);
    auto* details = new QWidget;
    caption(details, QStringLiteral("CAS"), 3, 4);
    DBCommCas = fieldEdit(details, "DBCommCas", {78, 2, 250, 18});
    caption(details, QStringLiteral("Comm. name"), 3, 25);
    DBCommCommName = fieldEdit(details, "DBCommCommName", {78, 23, 250, 18});
    caption(details, QStringLiteral("Supplier"), 3, 46);
    DBCommSupplier = fieldEdit(details, "DBCommSupplier", {78, 44, 250, 18});
    caption(details, QStringLiteral("Material"), 3, 69);
    MemoMaterialName = fieldMemo(details, "MemoMaterialName", {78, 65, 250, 47}, false);
    caption(details, QStringLiteral("Odour"), 3, 119);
    DBCommOdour = fieldMemo(details, "DBCommOdour", {78, 115, 250, 47});
    caption(details, QStringLiteral("Performance"), 3, 169, "LabelCommPerformance");
    DBCommPerformance = fieldMemo(details, "DBCommPerformance", {78, 165, 250, 47});
    caption(details, QStringLiteral("Application"), 3, 219, "LabelCommApplication");
    DBCommApplication = fieldMemo(details, "DBCommApplication", {78, 215, 250, 47});
    caption(details, QStringLiteral("Literature"), 3, 269, "LabelCommLiterature");
    DBCommLiterature = fieldMemo(details, "DBCommLiterature", {78, 265, 250, 47});
    TabbedNotebookCommercialName->addTab(details, QStringLiteral("Details"));
    auto* stability = new QWidget;
    auto* stabilityLayout = new QVBoxLayout(stability);
    stabilityLayout->setContentsMargins(10, 10, 10, 10);
    CommStabilityGrid = new QTableWidget(stability);
    CommStabilityGrid->setObjectName(QStringLiteral("CommStabilityGrid"));
    search::setUpStabilityGrid(CommStabilityGrid, false);
    stabilityLayout->addWidget(CommStabilityGrid);
    TabbedNotebookCommercialName->addTab(stability, QStringLiteral("Stability"));

    page->setSides(CommercialListSide, PanelCommercialDetails);
    return page;
}

QWidget* TMainForm::buildSuppliersPage()
{
    auto* page = new AlignedPage;
    page->setObjectName(QStringLiteral("SuppliersPage"));
    m_pages[2] = page;
    SupplierListSide = new QWidget(page);
    auto* listLayout = new QVBoxLayout(SupplierListSide);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    EditSupplierName = new QLineEdit;
    EditSupplierName->setObjectName(QStringLiteral("EditSupplierName"));
    listLayout->addWidget(
        searchRow(SupplierListSide, QStringLiteral("Search name:"), EditSupplierName, nullptr));
    DBGrid1 = new DatasetGrid(SupplierListSide);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    listLayout->addWidget(DBGrid1, 1);

    SuppliersDetailTabNotebook = new QTabWidget(page);
    SuppliersDetailTabNotebook->setObjectName(QStringLiteral("SuppliersDetailTabNotebook"));
    SuppliersDetailTabNotebook->resize(kDetailWidth, 400);
    auto* details = new QWidget;
    // Captions end at x = 63, right-aligned.
    const auto rightCaption = [details](const QString& text, int y) {
        QLabel* l = caption(details, text, 0, y);
        l->move(63 - l->width(), y);
    };
    rightCaption(QStringLiteral("Name"), 26);
    DBEditName = fieldEdit(details, "DBEditName", {72, 23, 245, 22});
    rightCaption(QStringLiteral("Address"), 88);
    DBEditAddress = fieldEdit(details, "DBEditAddress", {72, 85, 245, 22});
    rightCaption(QStringLiteral("City"), 150);
    DBEditCity = fieldEdit(details, "DBEditCity", {72, 147, 245, 22});
    rightCaption(QStringLiteral("Country"), 212);
    DbEditCountry = fieldEdit(details, "DbEditCountry", {72, 209, 245, 22});
    rightCaption(QStringLiteral("Phone"), 274);
    DBEditPhone = fieldEdit(details, "DBEditPhone", {72, 271, 245, 22});
    SuppliersDetailTabNotebook->addTab(details, QStringLiteral("Details"));

    MaterialsSheet = new QWidget;
    MaterialsSheet->setObjectName(QStringLiteral("MaterialsSheet"));
    auto* materialsLayout = new QVBoxLayout(MaterialsSheet);
    materialsLayout->setContentsMargins(0, 0, 0, 0);
    materialsLayout->setSpacing(0);
    MaterialGrid2 = new DatasetGrid(MaterialsSheet);
    MaterialGrid2->setObjectName(QStringLiteral("MaterialGrid2"));
    materialsLayout->addWidget(MaterialGrid2, 1);
    auto* materialDetails = new QTabWidget(MaterialsSheet);
    TabDetailsMaterial = materialDetails;
    TabDetailsMaterial->setObjectName(QStringLiteral("TabDetailsMaterial"));
    TabDetailsMaterial->setFixedHeight(131);
    Panel7 = new QWidget;
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->installEventFilter(this);
    const auto panelCaption = [this](const QString& text, int x, int y) {
        QLabel* l = caption(Panel7, text, x, y);
        l->installEventFilter(this);
    };
    panelCaption(QStringLiteral("CAS"), 5, 12);
    DBMaterialCAS = fieldEdit(Panel7, "DBMaterialCAS", {80, 10, 235, 22});
    panelCaption(QStringLiteral("Material"), 5, 36);
    DBMaterialName = fieldEdit(Panel7, "DBMaterialName", {80, 38, 235, 22});
    panelCaption(QStringLiteral("Commercial"), 5, 65);
    panelCaption(QStringLiteral("name"), 41, 76);
    DBComercialName = fieldEdit(Panel7, "DBComercialName", {80, 67, 235, 22});
    materialDetails->addTab(Panel7, QStringLiteral("Details"));
    materialsLayout->addWidget(TabDetailsMaterial);
    SuppliersDetailTabNotebook->addTab(MaterialsSheet, QStringLiteral("Materials"));

    page->setSides(SupplierListSide, SuppliersDetailTabNotebook);
    return page;
}

void TMainForm::ShowFirstPages()
{
    m_switching = true;
    MainTabNotebook->setCurrentIndex(0);
    DetailTabNotebook->setCurrentIndex(0);
    TabbedNotebookCommercialName->setCurrentIndex(0);
    SuppliersDetailTabNotebook->setCurrentIndex(0);
    m_switching = false;
}

void TMainForm::FillMediaLabels()
{
    search::FillMediaLabels(StabilityGrid, CommStabilityGrid);
}

void TMainForm::connectDatasets()
{
    if (m_datasetsConnected)
        return;
    m_datasetsConnected = true;
    connect(dataset("TableMaterial"), &data::Dataset::dataChanged, this,
            &TMainForm::SourceMaterialDataChange);
    connect(dataset("TableCommMaterial"), &data::Dataset::dataChanged, this,
            &TMainForm::SourceCommMaterialDataChange);
    connect(dataset("TableSynonyms2"), &data::Dataset::dataChanged, this,
            &TMainForm::SyncSupplierShow);
    connect(dataset("TableSupplier"), &data::Dataset::dataChanged, this,
            &TMainForm::SourceSupplierDataChange);

    SupplierGrid->setDataset(dataset("TableSynonyms2"));
    DBGridCommercialName->setDataset(dataset("TableCommSynonyms"));
    DBGrid1->setDataset(dataset("TableSupplier"));
    MaterialGrid2->setDataset(dataset("TableSupLink2"));
    for (DatasetGrid* grid : {SupplierGrid, DBGridCommercialName, DBGrid1, MaterialGrid2})
        grid->sizeColumnsToFields();

    data::Dataset* show = dataset("TableSupplierShow");
    new FieldLink(show, QStringLiteral("supname"), DBEdit1);
    new FieldLink(show, QStringLiteral("address"), DBEdit3);
    new FieldLink(show, QStringLiteral("city"), DBEdit4);
    new FieldLink(show, QStringLiteral("country"), DBEdit5);
    new FieldLink(show, QStringLiteral("phone"), DBEdit6);
    data::Dataset* comm = dataset("TableCommSynonyms");
    new FieldLink(comm, QStringLiteral("cas"), DBCommCas);
    new FieldLink(comm, QStringLiteral("name"), DBCommCommName);
    new FieldLink(dataset("TableCommSupplier"), QStringLiteral("supname"), DBCommSupplier);
    data::Dataset* commMaterial = dataset("TableCommMaterial");
    new FieldLink(commMaterial, QStringLiteral("odour"), DBCommOdour);
    new FieldLink(commMaterial, QStringLiteral("performance"), DBCommPerformance);
    new FieldLink(commMaterial, QStringLiteral("application"), DBCommApplication);
    new FieldLink(commMaterial, QStringLiteral("literature"), DBCommLiterature);
    data::Dataset* supplier = dataset("TableSupplier");
    new FieldLink(supplier, QStringLiteral("supname"), DBEditName);
    new FieldLink(supplier, QStringLiteral("address"), DBEditAddress);
    new FieldLink(supplier, QStringLiteral("city"), DBEditCity);
    new FieldLink(supplier, QStringLiteral("country"), DbEditCountry);
    new FieldLink(supplier, QStringLiteral("phone"), DBEditPhone);
    data::Dataset* link = dataset("TableSupLink2");
    new FieldLink(link, QStringLiteral("cas"), DBMaterialCAS);
    new FieldLink(link, QStringLiteral("materialName"), DBMaterialName);
    new FieldLink(link, QStringLiteral("name"), DBComercialName);
}

void TMainForm::SyncSupplierShow()
{
    data::Dataset* synonyms = dataset("TableSynonyms2");
    data::Dataset* show = dataset("TableSupplierShow");
    if (!show->isOpen() || !synonyms->isOpen())
        return;
    const QString supnr = synonyms->text(QStringLiteral("supnr"));
    if (supnr != show->text(QStringLiteral("supnr")))
        show->findKey({supnr});
}

QString TMainForm::CountPhrase(int n, const QString& word, const QString& ending)
{
    if (n == 0)
        return QStringLiteral("No ") + word + ending;
    if (n == 1)
        return QStringLiteral("1 ") + word;
    return QString::number(n) + QLatin1Char(' ') + word + ending;
}

void TMainForm::SourceSupplierDataChange()
{
    data::Dataset* link = dataset("TableSupLink2");
    link->setDisplayLabel(
        QStringLiteral("materialName"),
        CountPhrase(link->recordCount(), QStringLiteral("material"), QStringLiteral("s")) +
            QStringLiteral(" from: ") + dataset("TableSupplier")->text(QStringLiteral("supname")));
    if (MaterialGrid2->datasetModel())
        Q_EMIT MaterialGrid2->datasetModel()->headerDataChanged(Qt::Horizontal, 0, 0);
}

void TMainForm::SearchCommercialName()
{
    if (!SearchActive)
        return;
    try {
        data::Dataset* comm = dataset("TableCommSynonyms");
        if (comm->isOpen())
            comm->findNearest({EditCommercialName->text()});
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
}

void TMainForm::SearchSupplier()
{
    if (!SearchActive)
        return;
    try {
        data::Dataset* supplier = dataset("TableSupplier");
        if (supplier->isOpen())
            supplier->findNearest({EditSupplierName->text()});
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
}

void TMainForm::setSearch(
    std::function<int()> execute, std::function<bool()> filter,
    std::function<std::vector<unsigned char>(const data::Dataset&)> tableFilter)
{
    m_executeSearch = std::move(execute);
    m_filter = std::move(filter);
    m_tableFilter = std::move(tableFilter);
    if (m_list)
        m_list->setTableFilter(m_tableFilter);
}

void TMainForm::CreateSelectionList()
{
    connectDatasets();
    data::Dataset* material = dataset("TableMaterial");
    m_list = std::make_unique<search::TSearchClass>(MaterialCount);
    m_listModel = new MaterialListModel(m_list.get(), dataset("TableMaterial2"), this);
    MaterialGridView->setList(m_list.get(), m_listModel);
    // The filter is looked up when a search runs, so the dialog may be wired in later.
    m_list->attach(
        MaterialGridView, material, dataset("TableMaterialSelect"),
        [this] { return m_filter ? m_filter() : true; }, m_feedback);
    m_list->setTableFilter(m_tableFilter);
    m_list->setMaterialCount(MaterialCount);
    m_list->RestoreAll();
    m_list->BuildNameList();
    m_list->BuildCasList();
    SetListOrder(QStringLiteral("Name"));
    m_list->GotoFirst();
    material->refresh();
    dataset("TableMaterialSelect")->refresh();
    material->first();
    RefreshMaterialDetails();
    RefreshCommMaterialDetails();
}

// Laying out the text of five memo fields costs far more than finding a material, and
// typing in the search field moves the material with every key. The fields are therefore
// written once per turn of the event loop, before anything is painted, with whatever
// material is current by then.
void TMainForm::SourceMaterialDataChange()
{
    if (m_materialRefreshPending)
        return;
    m_materialRefreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_materialRefreshPending = false;
        RefreshMaterialDetails();
    });
}

void TMainForm::RefreshMaterialDetails()
{
    data::Dataset* m = dataset("TableMaterial");
    setText(DBCAS, m->text(QStringLiteral("cas")));
    setText(DBOdour, m->text(QStringLiteral("odour")));
    setText(DBPerformance, m->text(QStringLiteral("performance")));
    setText(DBApplication, m->text(QStringLiteral("application")));
    setText(DBLiterature, m->text(QStringLiteral("literature")));
    search::ShowStability(*m, MemoName, StabilityGrid);
}

void TMainForm::SourceCommMaterialDataChange()
{
    if (m_commRefreshPending)
        return;
    m_commRefreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_commRefreshPending = false;
        RefreshCommMaterialDetails();
    });
}

void TMainForm::RefreshCommMaterialDetails()
{
    search::ShowStability(*dataset("TableCommMaterial"), MemoMaterialName, CommStabilityGrid);
}

int TMainForm::currentPage() const
{
    return MainTabNotebook->currentIndex();
}

void TMainForm::MainTabNotebookClick(int index)
{
    if (!m_switching)
        SwitchPage(index);
}

void TMainForm::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

void TMainForm::SwitchPage(int page)
{
    if (page < 0 || page > 2)
        return;
    try {
        m_switching = true;
        MainTabNotebook->setCurrentIndex(page);
        m_switching = false;
        SearchActive = false;
        SearchField->clear();
        EditSupplierName->clear();
        SearchActive = true;
        if (Datasets->get(QStringLiteral("TableMaterial"))->isOpen()) {
            if (page == 0)
                carryToMaterials();
            else if (page == 1)
                carryToCommercialNames();
            else
                carryToSuppliers();
        }
        UpdateCommands();
        LastShownPage = page;
    } catch (const data::DatabaseError& e) {
        m_switching = false;
        SearchActive = true;
        showError(e.message());
    }
}

void TMainForm::carryToMaterials()
{
    const QString cas = LastShownPage == 1
                            ? dataset("TableCommSynonyms")->text(QStringLiteral("cas"))
                            : dataset("TableSupLink2")->text(QStringLiteral("cas"));
    if (cas.isEmpty() || !m_list)
        return;
    data::Dataset* select = dataset("TableMaterialSelect");
    const QString previous = select->indexName();
    select->setIndexName(QStringLiteral("casorder"));
    const bool found = select->findKey({cas});
    select->setIndexName(previous);
    // A CAS that no material has carries nothing, rather than whatever material the scan
    // view happened to stand on.
    if (!found)
        return;
    const int id = static_cast<int>(select->integer(QStringLiteral("id")));
    if (m_list->IsSelected(id)) {
        m_list->GotoId(id);
        m_list->ShowCurrent();
    }
}

void TMainForm::carryToCommercialNames()
{
    data::Dataset* comm = dataset("TableCommSynonyms");
    if (LastShownPage == 0)
        comm->findKey({dataset("TableSynonyms2")->text(QStringLiteral("name"))});
    else if (LastShownPage == 2)
        comm->findKey({dataset("TableSupLink2")->text(QStringLiteral("name"))});
}

void TMainForm::carryToSuppliers()
{
    data::Dataset* from =
        LastShownPage == 1 ? dataset("TableCommSynonyms") : dataset("TableSupplierShow");
    const QString supnr = from->text(QStringLiteral("supnr"));
    bool ok = false;
    const int n = supnr.toInt(&ok);
    // Supplier numbers need not be numeric; what counts is that there is one.
    if ((ok && n <= 0) || supnr.isEmpty())
        return;
    data::Dataset* supplier = dataset("TableSupplier");
    const QString previous = supplier->indexName();
    supplier->setIndexName(QString());
    supplier->findKey({supnr});
    supplier->setIndexName(previous);
}

void TMainForm::UpdateCommands()
{
    const int page = currentPage();
    const bool nameOrder = !m_list || m_list->GetOrder() == QLatin1String("Name");
    if (page == 0) {
        OrderButton->setText(nameOrder ? QStringLiteral("&Order by CAS")
                                       : QStringLiteral("&Order by name"));
        SearchLabel->setText(nameOrder ? QStringLiteral("Search name")
                                       : QStringLiteral("Search CAS"));
        PrintButton->setText(QStringLiteral("&Print Material"));
        MenuPrintMaterial->setEnabled(true);
        MenuPrintSupplier->setEnabled(false);
        HideShowButton->setEnabled(DetailTabNotebook->currentIndex() == 2);
    } else if (page == 1) {
        PrintButton->setText(QStringLiteral("&Print Material"));
        MenuPrintMaterial->setEnabled(true);
        MenuPrintSupplier->setEnabled(false);
        HideShowButton->setEnabled(false);
    } else {
        PrintButton->setText(QStringLiteral("&Print Supplier"));
        MenuPrintMaterial->setEnabled(false);
        MenuPrintSupplier->setEnabled(true);
        HideShowButton->setEnabled(SuppliersDetailTabNotebook->currentIndex() == 1);
    }
    OrderButton->setEnabled(page == 0);
    SearchButton->setEnabled(page == 0);
}

void TMainForm::DetailClick()
{
    if (m_switching)
        return;
    SearchActive = false;
    UpdateCommands();
    SearchActive = true;
    if (DetailTabNotebook->currentIndex() == 2 &&
        Datasets->get(QStringLiteral("TableSynonyms2"))->isOpen())
        SyncSupplierShow();
}

void TMainForm::Navigate(const QString& direction)
{
    try {
        const int page = currentPage();
        if (page == 0) {
            const int rows = MaterialGridView->rowCount();
            const int row = MaterialGridView->currentRow();
            if (direction == QLatin1String("first"))
                MaterialGridView->setCurrentRow(1);
            else if (direction == QLatin1String("prior") && row > 1)
                MaterialGridView->setCurrentRow(row - 1);
            else if (direction == QLatin1String("next") && row < rows - 1)
                MaterialGridView->setCurrentRow(row + 1);
            else if (direction == QLatin1String("last"))
                MaterialGridView->setCurrentRow(rows - 1);
            return;
        }
        data::Dataset* ds = dataset(page == 1 ? "TableCommSynonyms" : "TableSupplier");
        if (!ds->isOpen())
            return;
        if (direction == QLatin1String("first"))
            ds->first();
        else if (direction == QLatin1String("prior"))
            ds->prior();
        else if (direction == QLatin1String("next"))
            ds->next();
        else if (direction == QLatin1String("last"))
            ds->last();
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
}

void TMainForm::ToggleSupplierDetails()
{
    const bool show = !TabDetailsSuppliers->isVisibleTo(SuppliersSheet);
    TabDetailsSuppliers->setVisible(show);
    HideShowButton->setText(show ? QStringLiteral("Hide details") : QStringLiteral("Show details"));
    HideShowButton->setIcon(show ? glyphs::hide() : glyphs::show());
}

void TMainForm::ToggleMaterialDetails()
{
    const bool show = !TabDetailsMaterial->isVisibleTo(MaterialsSheet);
    TabDetailsMaterial->setVisible(show);
    HideShowButton->setText(show ? QStringLiteral("Hide details") : QStringLiteral("Show details"));
    HideShowButton->setIcon(show ? glyphs::hide() : glyphs::show());
}

void TMainForm::SetListOrder(const QString& order)
{
    const bool name = order == QLatin1String("Name");
    SearchLabel->setText(name ? QStringLiteral("S&earch name:") : QStringLiteral("S&earch CAS:"));
    if (m_list)
        m_list->SetOrder(name ? QStringLiteral("Name") : QStringLiteral("CAS"));
    UpdateListTitle();
    UpdateSearchField();
}

void TMainForm::ToggleOrder()
{
    if (!m_list)
        return;
    if (m_list->GetOrder() != QLatin1String("CAS")) {
        SetListOrder(QStringLiteral("CAS"));
        OrderButton->setText(QStringLiteral("&Order by name"));
    } else {
        SetListOrder(QStringLiteral("Name"));
        OrderButton->setText(QStringLiteral("&Order by CAS"));
    }
    SearchActive = false;
    SearchField->clear();
    SearchActive = true;
}

void TMainForm::UpdateListTitle()
{
    if (!m_list || !m_listModel)
        return;
    const int count = m_list->count();
    QString title = count == dataset("TableMaterial")->recordCount()
                        ? QStringLiteral("List of all materials (%1)").arg(count)
                        : QStringLiteral("%1 materials selected").arg(count);
    if (m_list->GetOrder() == QLatin1String("CAS"))
        title += QStringLiteral(" - sorted by CAS");
    m_listModel->setTitle(title);
}

void TMainForm::UpdateSearchField()
{
    if (!m_list)
        return;
    const bool enabled =
        m_list->count() == MaterialCount || m_list->GetOrder() == QLatin1String("Name");
    SearchLabel->setEnabled(enabled);
    SearchField->setEnabled(enabled);
}

void TMainForm::SearchMaterial()
{
    if (!SearchActive || !m_list)
        return;
    try {
        data::Dataset* select = dataset("TableMaterialSelect");
        const QString typed = SearchField->text();
        if (m_list->GetOrder() == QLatin1String("Name")) {
            select->setIndexName(QString());
            QString key = typed;
            for (QChar& c : key)
                if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                    c = QChar(c.unicode() - 'a' + 'A');
            select->findNearest({key});
            const int found = static_cast<int>(select->integer(QStringLiteral("id")));
            int id = found;
            while (id <= MaterialCount && !m_list->IsSelected(id))
                ++id;
            if (id > MaterialCount) {
                id = found - 1;
                while (id > 0 && !m_list->IsSelected(id))
                    --id;
                if (id == 0)
                    id = 1;
            }
            m_list->GotoId(id);
            m_list->ShowCurrent();
        } else {
            select->setIndexName(QStringLiteral("CASOrder"));
            select->findNearest({typed});
            const int id = static_cast<int>(select->integer(QStringLiteral("id")));
            if (m_list->IsSelected(id)) {
                m_list->GotoId(id);
                m_list->ShowCurrent();
            }
        }
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
}

void TMainForm::SearchButtonClick()
{
    if (!m_list)
        return;
    try {
        const int result = m_executeSearch ? m_executeSearch() : 0;
        if (result == 1) {
            m_list->ApplyFilter();
            m_list->ShowCurrent();
        } else if (result == 2) {
            m_list->RestoreAll();
            m_list->Rebuild();
            m_list->ShowCurrent();
        }
        m_listModel->repaintAll();
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
    UpdateListTitle();
    UpdateSearchField();
}

void TMainForm::ShowHelp()
{
    if (HelpFileName.isEmpty())
        return;
    if (!m_help)
        m_help = new HelpWindow(this);
    if (!m_help->showFile(HelpFileName))
        showError(QStringLiteral("Cannot open the help file %1").arg(HelpFileName));
}

void TMainForm::FormResize()
{
    if (auto* right = Panel1->findChild<QWidget*>(QStringLiteral("HideShowPanel")))
        right->move(Panel1->width() - right->width(), 0);
    if (m_sizer)
        m_sizer->ResizeControls();
    for (AlignedPage* page : m_pages)
        if (page)
            page->realign();
    search::SizeStabilityColumns(StabilityGrid, CommStabilityGrid);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == Panel7 || (watched->parent() == Panel7 && qobject_cast<QLabel*>(watched)))) {
        HideShowButton->click();
        return true;
    }
    if ((watched == StabilityGrid || watched == CommStabilityGrid) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        // Both grids have the same size; the one being shown has it right.
        QTableWidget* shown = static_cast<QTableWidget*>(watched);
        search::SizeStabilityColumns(shown,
                                     shown == StabilityGrid ? CommStabilityGrid : StabilityGrid);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FormResize();
}

} // namespace zel::ui
