#include "ui/TCompareForm.h"

#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "model/Comparison.h"
#include "model/Datasets.h"
#include "model/Names.h"
#include "ui/ComparisonModel.h"
#include "ui/MainSession.h"
#include "ui/PageParts.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace zel::ui {

namespace {

// How many materials the list under the search field shows from the one found on.
constexpr int kFoundRows = 8;

// The grid measures the texts of a row to give it its height, cell by cell. A medium's row
// holds one rating a cell, a single line whatever the column: its height is measured once and
// kept until the materials or the font change, which saves laying out most of the grid's
// cells again at each showing and resizing.
class CompareGridView : public QTableView
{
public:
    int sizeHintForRow(int row) const override
    {
        if (ComparisonModel::mediumOf(row) == 0)
            return QTableView::sizeHintForRow(row);
        if (m_mediumRowHeight == 0)
            m_mediumRowHeight = QTableView::sizeHintForRow(row);
        return m_mediumRowHeight;
    }
    void forgetHeights() { m_mediumRowHeight = 0; }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange)
            forgetHeights();
        QTableView::changeEvent(event);
    }

private:
    mutable int m_mediumRowHeight = 0;
};

QPushButton* button(const QString& text, const char* name)
{
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TCompareForm::TCompareForm(MainSession* session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session),
      m_datasets(
          std::make_unique<data::DatasetSet>(session->database(), model::decls::comparison())),
      m_reader(std::make_unique<model::ComparisonReader>(*m_datasets)),
      m_model(new ComparisonModel(this))
{
    setObjectName(QStringLiteral("CompareForm"));
    setWindowTitle(tr("Compare materials"));
    setFont(windowFont());
    resize(780, 580);

    // Every control's name is its own among the main window's, whose child this window is.
    SearchField = new QLineEdit;
    SearchField->setObjectName(QStringLiteral("CompareSearchField"));
    auto* findLabel = new QLabel(tr("&Find material:"));
    findLabel->setBuddy(SearchField);
    AddButton = button(tr("&Add"), "CompareAddButton");
    RemoveButton = button(tr("&Remove"), "CompareRemoveButton");
    PrintButton = button(tr("&Print..."), "ComparePrintButton");
    QPushButton* closeButton = button(tr("&Close"), "CompareCloseButton");

    FoundList = new QListWidget;
    FoundList->setObjectName(QStringLiteral("CompareFoundList"));
    FoundList->setFocusPolicy(Qt::ClickFocus);
    FoundList->setFixedHeight(FoundList->fontMetrics().height() * 6 + 8);
    MessageLabel = new QLabel;
    MessageLabel->setObjectName(QStringLiteral("CompareMessage"));
    MessageLabel->setWordWrap(true);
    MessageLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* grid = new CompareGridView;
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, grid,
            &CompareGridView::forgetHeights);
    CompareGrid = grid;
    CompareGrid->setObjectName(QStringLiteral("CompareGrid"));
    CompareGrid->setAccessibleName(tr("Materials compared"));
    CompareGrid->setModel(m_model);
    CompareGrid->setSelectionBehavior(QAbstractItemView::SelectColumns);
    CompareGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    CompareGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CompareGrid->setWordWrap(true);
    CompareGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    CompareGrid->horizontalHeader()->setMinimumSectionSize(110);
    CompareGrid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    CompareGrid->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* top = new QHBoxLayout;
    top->addWidget(findLabel);
    top->addWidget(SearchField, 1);
    top->addWidget(AddButton);
    top->addSpacing(16);
    top->addWidget(RemoveButton);
    top->addWidget(PrintButton);
    top->addWidget(closeButton);
    auto* middle = new QHBoxLayout;
    middle->addWidget(FoundList, 1);
    middle->addWidget(MessageLabel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addWidget(CompareGrid, 1);

    connect(SearchField, &QLineEdit::textChanged, this, &TCompareForm::SearchFieldChange);
    connect(SearchField, &QLineEdit::returnPressed, this, &TCompareForm::AddFoundMaterial);
    SearchField->installEventFilter(this);
    connect(FoundList, &QListWidget::itemActivated, this, &TCompareForm::AddFoundMaterial);
    connect(AddButton, &QPushButton::clicked, this, &TCompareForm::AddFoundMaterial);
    connect(RemoveButton, &QPushButton::clicked, this, &TCompareForm::RemoveSelected);
    connect(PrintButton, &QPushButton::clicked, this, &TCompareForm::PrintClick);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    CompareGrid->installEventFilter(this);
    new QShortcut(Qt::Key_Escape, this, this, &QWidget::close);
    connect(m_session, &MainSession::databaseOpened, this, &TCompareForm::reread);
    updateCommands();
}

TCompareForm::~TCompareForm() = default;

const model::Comparison& TCompareForm::comparison() const
{
    return m_model->comparison();
}

QString TCompareForm::message() const
{
    return MessageLabel->text();
}

void TCompareForm::showMessage(const QString& text)
{
    MessageLabel->setText(text);
}

void TCompareForm::updateCommands()
{
    const model::Comparison& c = comparison();
    AddButton->setEnabled(FoundList->currentItem() != nullptr);
    RemoveButton->setEnabled(c.count() > 0);
    PrintButton->setEnabled(c.printable());
}

void TCompareForm::ShowWindow()
{
    if (FoundList->count() == 0)
        SearchFieldChange(SearchField->text());
    show();
    raise();
    activateWindow();
    SearchField->setFocus();
    SearchField->selectAll();
}

void TCompareForm::AddCurrentMaterial()
{
    if (!m_session->isOpen())
        return;
    AddMaterial(m_session->dataset(model::datasets::TableMaterial)->text(model::fields::cas));
    if (FoundList->count() == 0)
        SearchFieldChange(SearchField->text());
    if (!isVisible()) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    raise();
}

// The list shows the material the materials page would move to for the same text, and the
// ones after it in name order; the first is chosen.
void TCompareForm::SearchFieldChange(const QString& text)
{
    FoundList->clear();
    if (m_session->isOpen()) {
        try {
            for (const model::ComparisonReader::Found& f : m_reader->findByName(text, kFoundRows)) {
                auto* item =
                    new QListWidgetItem(QStringLiteral("%1   (%2)").arg(f.name, f.cas), FoundList);
                item->setData(Qt::UserRole, f.cas);
            }
        } catch (const data::DatabaseError& e) {
            showMessage(e.message());
        }
    }
    FoundList->setCurrentRow(FoundList->count() > 0 ? 0 : -1);
    updateCommands();
}

bool TCompareForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == CompareGrid && key->matches(QKeySequence::Delete)) {
        RemoveSelected();
        return true;
    }
    // Up and down in the search field choose in the list under it, so typing and choosing
    // need no change of focus.
    if (watched == SearchField) {
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(FoundList, event);
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TCompareForm::AddFoundMaterial()
{
    const QListWidgetItem* item = FoundList->currentItem();
    return item && AddMaterial(item->data(Qt::UserRole).toString());
}

bool TCompareForm::AddMaterial(const QString& cas)
{
    try {
        std::optional<model::ComparedMaterial> material = m_reader->read(cas);
        if (!material) {
            showMessage(tr("No material has the CAS number %1.").arg(cas));
            return false;
        }
        const QString name = material->name;
        switch (m_model->add(std::move(*material))) {
        case model::Comparison::Outcome::Added:
            CompareGrid->selectColumn(comparison().count() - 1);
            showMessage(comparison().printable()
                            ? QString()
                            : tr("Add one more material to compare and print."));
            updateCommands();
            return true;
        case model::Comparison::Outcome::AlreadyCompared:
            showMessage(tr("%1 is already in the comparison.").arg(name));
            break;
        case model::Comparison::Outcome::Full:
            showMessage(tr("A comparison holds at most six materials. Remove one "
                           "(select its column, press Delete) to add %1.")
                            .arg(name));
            break;
        }
    } catch (const data::DatabaseError& e) {
        showMessage(e.message());
    }
    return false;
}

void TCompareForm::RemoveSelected()
{
    const QModelIndexList columns = CompareGrid->selectionModel()->selectedColumns();
    if (!columns.isEmpty())
        RemoveColumn(columns.constFirst().column());
    else if (comparison().count() > 0)
        showMessage(tr("Select the column of the material to remove."));
}

void TCompareForm::RemoveColumn(int column)
{
    if (!m_model->remove(column))
        return;
    // The column that took its place is chosen, so that Delete pressed again goes on removing.
    if (const int count = comparison().count(); count > 0)
        CompareGrid->selectColumn(std::min(column, count - 1));
    showMessage(comparison().printable() ? QString()
                                         : tr("Add one more material to compare and print."));
    updateCommands();
}

void TCompareForm::Compare(const QStringList& cas)
{
    model::Comparison fresh;
    QStringList missing;
    try {
        fresh = m_reader->readAll(cas, &missing);
    } catch (const data::DatabaseError& e) {
        showMessage(e.message());
        return;
    }
    m_model->setComparison(std::move(fresh));
    showMessage(missing.isEmpty() ? QString()
                                  : tr("No material has the CAS number %1 any more.")
                                        .arg(missing.join(QStringLiteral(", "))));
    updateCommands();
}

// A reload may have changed or removed what is compared: read it all again.
void TCompareForm::reread()
{
    if (comparison().count() > 0)
        Compare(comparison().casNumbers());
    SearchFieldChange(SearchField->text());
}

void TCompareForm::PrintClick()
{
    if (!comparison().printable()) {
        showMessage(tr("A comparison needs at least two materials to print."));
        return;
    }
    if (m_print)
        m_print(comparison().casNumbers());
}

} // namespace zel::ui
