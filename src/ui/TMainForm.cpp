#include "ui/TMainForm.h"

#include "data/base/Error.h"
#include "ui/BevelPanel.h"
#include "ui/CommercialNamesPage.h"
#include "ui/Glyphs.h"
#include "ui/HelpWindow.h"
#include "ui/MainSession.h"
#include "ui/MaterialsPage.h"
#include "ui/OuterSize.h"
#include "ui/PageParts.h"
#include "ui/ShortlistMenu.h"
#include "ui/SuppliersPage.h"
#include "ui/TCompareForm.h"
#include "ui/TSizerData.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zel::ui {

namespace {

constexpr int kDesignWidth = 590;
constexpr int kDesignHeight = 450;

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

} // namespace

TMainForm::TMainForm(MainSession* session, QWidget* parent)
    : QMainWindow(parent), m_session(session)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("ZEL"));
    setWindowIcon(glyphs::program());
    setFont(windowFont());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();
    layout->addWidget(Panel1);
    MainTabNotebook = new QTabWidget(central);
    MainTabNotebook->setObjectName(QStringLiteral("MainTabNotebook"));
    m_materials = new MaterialsPage;
    m_commercialNames = new CommercialNamesPage;
    m_suppliers = new SuppliersPage;
    MainTabNotebook->addTab(m_materials, tr("&Materials"));
    MainTabNotebook->addTab(m_commercialNames, tr("&Commercial names"));
    MainTabNotebook->addTab(m_suppliers, tr("S&uppliers"));
    layout->addWidget(MainTabNotebook, 1);
    setCentralWidget(central);
    buildMenu();
    // What each list holds, for a screen reader; the captions beside the fields name those.
    const std::pair<const char*, QString> lists[] = {
        {"MaterialGrid", tr("Materials")},
        {"DBGridCommercialName", tr("Commercial names")},
        {"DBGrid1", tr("Suppliers")},
        {"SupplierGrid", tr("Suppliers of the material")},
        {"MaterialGrid2", tr("Materials of the supplier")},
        {"StabilityGrid", tr("Stability")},
        {"CommStabilityGrid", tr("Stability")}};
    for (const auto& [name, text] : lists)
        findChild<QWidget*>(QLatin1String(name))->setAccessibleName(text);
    nameControlsByCaptions(this);

    connect(MainTabNotebook, &QTabWidget::currentChanged, this, &TMainForm::MainTabNotebookClick);
    for (AlignedPage* page : pages()) {
        connect(page, &AlignedPage::detailPageChanged, this, &TMainForm::DetailClick);
        connect(page, &AlignedPage::databaseError, this, &TMainForm::showError);
    }
    connect(m_materials, &MaterialsPage::detailsToggled, this, &TMainForm::detailsToggled);
    connect(m_suppliers, &SuppliersPage::detailsToggled, this, &TMainForm::detailsToggled);
    connect(m_suppliers, &SuppliersPage::hideShowRequested, HideShowButton, &QToolButton::click);
    connect(FirstButton, &QToolButton::clicked, this,
            [this] { Navigate(QStringLiteral("first")); });
    connect(PriorButton, &QToolButton::clicked, this,
            [this] { Navigate(QStringLiteral("prior")); });
    connect(NextButton, &QToolButton::clicked, this, [this] { Navigate(QStringLiteral("next")); });
    connect(LastButton, &QToolButton::clicked, this, [this] { Navigate(QStringLiteral("last")); });
    connect(OrderButton, &QToolButton::clicked, this, &TMainForm::OrderButtonClick);
    connect(SearchButton, &QToolButton::clicked, this, &TMainForm::SearchButtonClick);
    connect(PrintButton, &QToolButton::clicked, this, &TMainForm::printClick);
    connect(HideShowButton, &QToolButton::clicked, this, &TMainForm::HideShowButtonClick);

    // 590 x 450 with its frame, and no smaller.
    new OuterSize(this, {kDesignWidth, kDesignHeight}, true);

    // The sizer records every control at the design size, before any layout has run.
    m_sizer = std::make_unique<TSizerData>();
    m_sizer->SetReference(this);
    const QStringList missing = m_sizer->AddMainWindowControls(this);
    Q_ASSERT(missing.isEmpty());

    connect(m_session, &MainSession::databaseOpened, this, &TMainForm::databaseOpened);
    connect(m_session, &MainSession::sourceChanged, this, &TMainForm::ShowDataChangedNotice);
    if (m_session->isOpen())
        databaseOpened();
}

TMainForm::~TMainForm() = default;

void TMainForm::buildToolbar()
{
    // A raised inner and a lowered outer bevel, as the window's other panels have.
    Panel1 = new BevelPanel(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Raised, this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(29);
    Panel1->setAutoFillBackground(true);
    FirstButton = toolButton(Panel1, "FirstButton", QString(), glyphs::first(), {1, 2, 28, 25});
    PriorButton = toolButton(Panel1, "PriorButton", QString(), glyphs::prior(), {29, 2, 28, 25});
    NextButton = toolButton(Panel1, "NextButton", QString(), glyphs::next(), {57, 2, 28, 25});
    LastButton = toolButton(Panel1, "LastButton", QString(), glyphs::last(), {85, 2, 28, 25});
    FirstButton->setToolTip(tr("First"));
    PriorButton->setToolTip(tr("Previous"));
    NextButton->setToolTip(tr("Next"));
    LastButton->setToolTip(tr("Last"));
    // Glyphs alone say nothing to a screen reader.
    for (QToolButton* b : {FirstButton, PriorButton, NextButton, LastButton})
        b->setAccessibleName(b->toolTip());
    OrderButton =
        toolButton(Panel1, "OrderButton", tr("&Order by CAS"), glyphs::order(), {120, 2, 110, 25});
    SearchButton =
        toolButton(Panel1, "SearchButton", tr("&Select"), glyphs::select(), {230, 2, 75, 25});
    PrintButton = toolButton(Panel1, "PrintButton", tr("&Print Material"), glyphs::print(),
                             {305, 2, 115, 25});
    HideShowPanel = new QWidget(Panel1);
    HideShowPanel->setObjectName(QStringLiteral("HideShowPanel"));
    HideShowPanel->setGeometry(kDesignWidth - 100, 0, 100, 29);
    HideShowButton = toolButton(HideShowPanel, "HideShowButton", tr("Hide details"), glyphs::hide(),
                                {0, 2, 100, 25});
    HideShowButton->setEnabled(false);
}

void TMainForm::buildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    ExportListMenu = file->addAction(tr("&Export list..."), this, &TMainForm::ExportListClick);
    ExportListMenu->setObjectName(QStringLiteral("ExportListMenu"));
    ExportListMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    MenuReload = file->addAction(tr("&Reload"), this, &TMainForm::Reload);
    MenuReload->setObjectName(QStringLiteral("MenuReload"));
    MenuReload->setShortcut(QKeySequence(Qt::Key_F5));
    file->addSeparator();
    file->addAction(tr("E&xit"), this, [this] { close(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // In the menu bar's corner, so the pages keep their designed size.
    ReloadNotice = new QLabel(tr("The reference data have changed: File › Reload shows them  "));
    ReloadNotice->setObjectName(QStringLiteral("ReloadNotice"));
    ReloadNotice->setStyleSheet(QStringLiteral("color: #8b0000"));
    ReloadNotice->hide();
    menuBar()->setCornerWidget(ReloadNotice, Qt::TopRightCorner);
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&Materials"), this, [this] { SwitchPage(page::Materials); });
    view->addAction(tr("&Commercial names"), this, [this] { SwitchPage(page::CommercialNames); });
    view->addAction(tr("&Suppliers"), this, [this] { SwitchPage(page::Suppliers); });
    view->addSeparator();
    MenuSelect = view->addAction(tr("&Select..."), this, &TMainForm::SearchButtonClick);
    MenuSelect->setObjectName(QStringLiteral("MenuSelect"));
    MenuSelect->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    QAction* alternatives = view->addAction(tr("Stable &alternatives..."), this, [this] {
        if (m_alternatives)
            m_alternatives();
    });
    alternatives->setObjectName(QStringLiteral("MenuAlternatives"));
    alternatives->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    QMenu* report = menuBar()->addMenu(tr("&Report"));
    MenuPrintMaterial = report->addAction(tr("Print &Material"), this, &TMainForm::printClick);
    MenuPrintMaterial->setObjectName(QStringLiteral("MenuPrintMaterial"));
    // Only one of the two is enabled at a time, so the key prints what the Print button does.
    MenuPrintMaterial->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    MenuPrintSupplier = report->addAction(tr("Print &Supplier"), this, &TMainForm::printClick);
    MenuPrintSupplier->setObjectName(QStringLiteral("MenuPrintSupplier"));
    MenuPrintSupplier->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    MenuPrintSupplier->setEnabled(false);
    report->addSeparator();
    QAction* compare = report->addAction(tr("&Compare..."), this, [this] {
        if (m_compare)
            m_compare->ShowWindow();
    });
    compare->setObjectName(QStringLiteral("MenuCompare"));
    compare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    MenuAddToComparison = report->addAction(tr("&Add to comparison"), this, [this] {
        if (m_compare)
            m_compare->AddCurrentMaterial();
    });
    MenuAddToComparison->setObjectName(QStringLiteral("MenuAddToComparison"));
    MenuAddToComparison->setShortcut(QKeySequence(Qt::Key_Insert));
    report->addSeparator();
    MenuReportNotes = report->addAction(tr("Include my &notes"));
    MenuReportNotes->setObjectName(QStringLiteral("MenuReportNotes"));
    MenuReportNotes->setCheckable(true);
    connect(MenuReportNotes, &QAction::toggled, this,
            [this](bool on) { m_session->ReportNotes = on; });
    auto* shortlists = new ShortlistMenu(m_session, this);
    menuBar()->addMenu(shortlists);
    connect(shortlists, &ShortlistMenu::listChanged, this, &TMainForm::listShown);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* contents = help->addAction(tr("&Contents"), this, &TMainForm::ShowHelp);
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    contents->setShortcutContext(Qt::ApplicationShortcut);
    help->addSeparator();
    help->addAction(tr("&About ZEL..."), this, [this] {
        if (m_about)
            m_about();
    });
}

void TMainForm::databaseOpened()
{
    for (AlignedPage* page : pages())
        page->attach(m_session);
    SetListOrder(m_session->listOrder());
    m_materials->repaintList();
}

void TMainForm::Reload()
{
    try {
        m_session->Reload();
        ReloadNotice->hide();
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
    UpdateListTitle();
    UpdateCommands();
}

void TMainForm::ShowDataChangedNotice()
{
    ReloadNotice->show();
}

void TMainForm::ShowFirstPages()
{
    m_switching = true;
    MainTabNotebook->setCurrentIndex(page::Materials);
    for (AlignedPage* page : pages())
        page->showDetailPage(0);
    m_switching = false;
}

void TMainForm::FillMediaLabels()
{
    m_materials->FillMediaLabels();
    m_commercialNames->FillMediaLabels();
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
    if (page < page::Materials || page > page::Suppliers)
        return;
    try {
        m_switching = true;
        MainTabNotebook->setCurrentIndex(page);
        m_switching = false;
        m_session->SearchActive = false;
        m_materials->clearSearch();
        m_suppliers->clearSearch();
        m_session->SearchActive = true;
        m_session->CarryTo(page);
        UpdateCommands();
    } catch (const data::DatabaseError& e) {
        m_switching = false;
        m_session->SearchActive = true;
        showError(e.message());
    }
}

void TMainForm::UpdateCommands()
{
    const int page = currentPage();
    const bool nameOrder = m_session->nameOrder();
    if (page == page::Materials) {
        OrderButton->setText(nameOrder ? tr("&Order by CAS") : tr("&Order by name"));
        m_materials->setSearchCaption(nameOrder ? tr("Search name") : tr("Search CAS"));
        PrintButton->setText(tr("&Print Material"));
        MenuPrintMaterial->setEnabled(true);
        MenuPrintSupplier->setEnabled(false);
        HideShowButton->setEnabled(m_materials->detailPage() == 2);
    } else if (page == page::CommercialNames) {
        PrintButton->setText(tr("&Print Material"));
        MenuPrintMaterial->setEnabled(true);
        MenuPrintSupplier->setEnabled(false);
        HideShowButton->setEnabled(false);
    } else {
        PrintButton->setText(tr("&Print Supplier"));
        MenuPrintMaterial->setEnabled(false);
        MenuPrintSupplier->setEnabled(true);
        HideShowButton->setEnabled(m_suppliers->detailPage() == 1);
    }
    OrderButton->setEnabled(page == page::Materials);
    SearchButton->setEnabled(page == page::Materials);
    MenuAddToComparison->setEnabled(page == page::Materials);
    MenuSelect->setEnabled(page == page::Materials);
}

void TMainForm::DetailClick()
{
    if (m_switching)
        return;
    m_session->SearchActive = false;
    UpdateCommands();
    m_session->SearchActive = true;
}

void TMainForm::Navigate(const QString& direction)
{
    try {
        m_session->Navigate(currentPage(), direction);
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
}

void TMainForm::HideShowButtonClick()
{
    if (currentPage() != page::Materials)
        ToggleMaterialDetails();
    else
        ToggleSupplierDetails();
}

void TMainForm::ToggleSupplierDetails()
{
    m_materials->ToggleSupplierDetails();
}

void TMainForm::ToggleMaterialDetails()
{
    m_suppliers->ToggleMaterialDetails();
}

void TMainForm::detailsToggled(bool shown)
{
    HideShowButton->setText(shown ? tr("Hide details") : tr("Show details"));
    HideShowButton->setIcon(shown ? glyphs::hide() : glyphs::show());
}

void TMainForm::SetListOrder(const QString& order)
{
    m_materials->setSearchCaption(order == QLatin1String("Name") ? tr("S&earch name:")
                                                                 : tr("S&earch CAS:"));
    m_session->SetListOrder(order);
    UpdateListTitle();
    UpdateSearchField();
}

void TMainForm::ToggleOrder()
{
    if (!m_session->isOpen())
        return;
    if (m_session->listOrder() != QLatin1String("CAS")) {
        SetListOrder(QStringLiteral("CAS"));
        OrderButton->setText(tr("&Order by name"));
    } else {
        SetListOrder(QStringLiteral("Name"));
        OrderButton->setText(tr("&Order by CAS"));
    }
    m_session->SearchActive = false;
    m_materials->clearSearch();
    m_session->SearchActive = true;
}

void TMainForm::OrderButtonClick()
{
    try {
        ToggleOrder();
        if (search::TSearchClass* list = m_session->selectionList())
            list->ShowCurrent();
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
    m_materials->repaintList();
}

void TMainForm::UpdateListTitle()
{
    if (m_session->isOpen())
        m_materials->setListTitle(m_session->listTitle());
}

void TMainForm::UpdateSearchField()
{
    m_materials->setSearchEnabled(m_session->searchEnabled());
}

void TMainForm::SearchButtonClick()
{
    if (!m_session->isOpen())
        return;
    try {
        m_session->Select(m_executeSearch ? m_executeSearch() : 0);
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    }
    listShown();
}

void TMainForm::listShown()
{
    m_materials->repaintList();
    UpdateListTitle();
    UpdateSearchField();
}

void TMainForm::printClick()
{
    m_materials->keepNote(); // the report may print it
    if (m_print)
        m_print();
}

void TMainForm::ShowHelp()
{
    const QString& file = m_session->HelpFileName;
    if (file.isEmpty())
        return;
    if (!m_help)
        m_help = new HelpWindow(this);
    if (!m_help->showFile(file))
        showError(m_help->error().isEmpty() ? tr("Cannot open the help file %1").arg(file)
                                            : m_help->error());
}

void TMainForm::ExportListClick()
{
    if (!m_session->isOpen())
        return;
    QFileDialog dialog(this, tr("Export list"));
    dialog.setObjectName(QStringLiteral("ExportListDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("CSV files (*.csv)"), tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(m_exportFolder.isEmpty() ? QDir::homePath() : m_exportFolder);
    dialog.selectFile(QStringLiteral("materials.csv"));
    // The check box goes below the dialog's own controls, which only its own widgets allow.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* withNotes =
        new QCheckBox(tr("&Add my favourite flag and note to each material"), &dialog);
    withNotes->setObjectName(QStringLiteral("ExportWithNotes"));
    withNotes->setChecked(m_exportNotes);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(withNotes, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    m_exportFolder = QFileInfo(path).absolutePath();
    m_exportNotes = withNotes->isChecked();
    ExportList(path, m_exportNotes);
}

bool TMainForm::ExportList(const QString& path, bool withNotes)
{
    if (withNotes)
        m_materials->keepNote();
    const search::TSearchClass* list = m_session->selectionList();
    if (!list)
        return false;
    if (m_progress) {
        m_progress->setProgressRange(0, list->count());
        m_progress->showProgressWindow();
    }
    MainSession::ExportOptions options;
    options.withNotes = withNotes;
    const QString error = m_session->ExportList(
        path,
        [this](int done, int) {
            if (m_progress)
                m_progress->showProgress(done);
        },
        options);
    if (m_progress)
        m_progress->hideProgressWindow();
    if (!error.isEmpty()) {
        showError(error);
        return false;
    }
    return true;
}

void TMainForm::FormResize()
{
    HideShowPanel->move(Panel1->width() - HideShowPanel->width(), 0);
    if (m_sizer)
        m_sizer->ResizeControls();
    for (AlignedPage* page : pages())
        page->realign();
}

std::array<AlignedPage*, 3> TMainForm::pages() const
{
    return {m_materials, m_commercialNames, m_suppliers};
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
