#include "ui/TAlternativesWindow.h"

#include "model/StabilityMedia.h"
#include "ui/MainSession.h"
#include "ui/PageParts.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zel::ui {

namespace {

enum Column
{
    ScoreColumn,
    NameColumn,
    CasColumn,
    OdourColumn,
    FirstMediumColumn
};

} // namespace

TAlternativesWindow::TAlternativesWindow(MainSession* session, QWidget* parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("TAlternativesWindow"));
    setWindowTitle(tr("Stable alternatives"));
    setFont(windowFont());
    resize(760, 420);

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("AlternativesHeading"));
    m_heading->setFont(captionFont());
    m_heading->setTextFormat(Qt::PlainText);

    auto* stable = new QGroupBox(tr("&Stable in"), this);
    m_media = new QListWidget(stable);
    m_media->setObjectName(QStringLiteral("AlternativesMedia"));
    m_media->setAccessibleName(tr("Media the alternatives must be stable in"));
    for (int medium = 1; medium <= model::MediaCount; ++medium) {
        auto* item = new QListWidgetItem(model::mediumLabel(medium), m_media);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    m_veryGood = new QRadioButton(tr("rated &++"), stable);
    m_veryGood->setObjectName(QStringLiteral("AlternativesVeryGood"));
    auto* good = new QRadioButton(tr("rated + or &better"), stable);
    good->setObjectName(QStringLiteral("AlternativesGood"));
    m_veryGood->setChecked(true);
    auto* stableLayout = new QVBoxLayout(stable);
    stableLayout->addWidget(m_media, 1);
    stableLayout->addWidget(m_veryGood);
    stableLayout->addWidget(good);
    stable->setFixedWidth(200);

    m_results = new QTableWidget(this);
    m_results->setObjectName(QStringLiteral("AlternativesGrid"));
    m_results->setAccessibleName(tr("Alternatives, closest odour first"));
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->verticalHeader()->hide();
    m_results->horizontalHeader()->setStretchLastSection(false);
    m_results->setWordWrap(false);
    auto* resultsLabel = new QLabel(tr("&Alternatives:"), this);
    resultsLabel->setBuddy(m_results);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* go = buttons->addButton(tr("&Go to material"), QDialogButtonBox::ActionRole);
    go->setObjectName(QStringLiteral("AlternativesGoButton"));
    go->setDefault(true);

    auto* right = new QVBoxLayout;
    right->addWidget(resultsLabel);
    right->addWidget(m_results, 1);
    auto* columns = new QHBoxLayout;
    columns->addWidget(stable);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(go, &QPushButton::clicked, this, [this] { gotoRow(m_results->currentRow()); });
    connect(m_results, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { gotoRow(row); });
    connect(m_media, &QListWidget::itemChanged, this, &TAlternativesWindow::Refresh);
    connect(m_veryGood, &QRadioButton::toggled, this, &TAlternativesWindow::Refresh);
    // It follows the current material while it is open.
    connect(m_session, &MainSession::currentRowChanged, this, [this] { m_follow.request(); });
    connect(m_session, &MainSession::databaseOpened, this, [this] { m_follow.request(); });
}

void TAlternativesWindow::setTickedMedia(const std::array<bool, model::MediaCount>& ticked)
{
    const QSignalBlocker quiet(m_media);
    for (int i = 0; i < model::MediaCount; ++i)
        m_media->item(i)->setCheckState(ticked[size_t(i)] ? Qt::Checked : Qt::Unchecked);
    if (isVisible())
        Refresh();
}

search::StabilityRequirement TAlternativesWindow::requirement() const
{
    search::StabilityRequirement required;
    const auto level = m_veryGood->isChecked() ? search::StabilityRequirement::VeryGood
                                               : search::StabilityRequirement::GoodOrBetter;
    for (int i = 0; i < model::MediaCount; ++i)
        if (m_media->item(i)->checkState() == Qt::Checked)
            required.media[size_t(i)] = level;
    return required;
}

void TAlternativesWindow::Refresh()
{
    const search::StabilityRequirement required = requirement();
    const std::vector<int> asked = required.asked();
    const auto found = m_session->Alternatives(required, kLimit);
    m_heading->setText(tr("Materials that smell like %1").arg(m_session->currentMaterialName()));
    QStringList titles{tr("Score"), tr("Material"), tr("CAS"), tr("Odour")};
    for (const int medium : asked)
        titles << model::mediumLabel(medium);
    m_results->clear();
    m_results->setColumnCount(int(titles.size()));
    m_results->setHorizontalHeaderLabels(titles);
    m_results->setRowCount(int(found.size()));
    for (int row = 0; row < int(found.size()); ++row) {
        const MainSession::Alternative& a = found[size_t(row)];
        const auto cell = [&](int column, const QString& text) {
            m_results->setItem(row, column, new QTableWidgetItem(text));
        };
        cell(ScoreColumn, QString::number(a.score, 'f', 2));
        cell(NameColumn, a.name);
        cell(CasColumn, a.cas);
        cell(OdourColumn, a.odour);
        for (int k = 0; k < int(asked.size()); ++k)
            cell(FirstMediumColumn + k,
                 model::ratingText(model::ratingChar(a.stabil, asked[size_t(k)])));
    }
    m_results->resizeColumnsToContents();
    m_results->setColumnWidth(OdourColumn, std::min(m_results->columnWidth(OdourColumn), 260));
    if (!found.empty())
        m_results->setCurrentCell(0, NameColumn);
}

void TAlternativesWindow::gotoRow(int row)
{
    const QTableWidgetItem* cas = row >= 0 ? m_results->item(row, CasColumn) : nullptr;
    if (!cas)
        return;
    const QString number = cas->text();
    // Showing the materials page carries a record across first; the material comes after.
    if (m_gone)
        m_gone();
    m_session->GotoMaterial(number);
}

void TAlternativesWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

} // namespace zel::ui
