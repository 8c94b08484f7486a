#include "ui/NotesSheet.h"

#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "model/NoteStore.h"
#include "ui/Glyphs.h"
#include "ui/MainSession.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace zel::ui {

NotesSheet::NotesSheet(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NotesSheet"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    NotesLabel = new QLabel(this);
    NotesLabel->setObjectName(QStringLiteral("NotesLabel"));
    NotesLabel->setFont(captionFont());
    layout->addWidget(NotesLabel);
    NotesEdit = new QPlainTextEdit(this);
    NotesEdit->setObjectName(QStringLiteral("NotesEdit"));
    NotesEdit->setFont(windowFont());
    NotesEdit->installEventFilter(this);
    NotesEdit->setAccessibleName(tr("Your own note on this material"));
    layout->addWidget(NotesEdit, 1);

    FavouriteButton = new QToolButton(this);
    FavouriteButton->setObjectName(QStringLiteral("FavouriteButton"));
    FavouriteButton->setCheckable(true);
    FavouriteButton->setAutoRaise(true);
    FavouriteButton->setIcon(glyphs::star(false));
    FavouriteButton->setIconSize(QSize(16, 16));
    FavouriteButton->setToolTip(tr("Favourite: mark this material as one of yours"));
    FavouriteButton->setAccessibleName(tr("Favourite"));
    FavouriteButton->setEnabled(false);
    NotesEdit->setEnabled(false);

    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &NotesSheet::save);
    connect(NotesEdit, &QPlainTextEdit::textChanged, this, &NotesSheet::typed);
    connect(FavouriteButton, &QToolButton::toggled, this, &NotesSheet::starToggled);
    updateState();
}

NotesSheet::~NotesSheet()
{
    save();
}

void NotesSheet::attach(MainSession* session)
{
    if (m_session != session) {
        m_session = session;
        connect(session->dataset(model::datasets::TableMaterial), &data::Dataset::dataChanged, this,
                [this] { m_refresh.request(); });
        connect(session, &MainSession::notesProblem, this, &NotesSheet::updateState);
    }
    showCurrent();
}

void NotesSheet::showCurrent(bool shownAgain)
{
    if (!m_session)
        return;
    const QString cas = m_session->currentCas();
    // The same material again (a data change that kept it): what is in the editor stays. The
    // tab shown again reads the store afresh, for another copy's change, unless typing waits.
    if (cas == m_cas && !cas.isEmpty() && (!shownAgain || m_dirty))
        return;
    save();
    m_cas = cas;
    const model::NoteStore::Entry entry =
        cas.isEmpty() ? model::NoteStore::Entry{} : m_session->notes().entry(cas);
    m_loading = true;
    NotesEdit->setPlainText(entry.note);
    FavouriteButton->setChecked(entry.favourite);
    FavouriteButton->setIcon(glyphs::star(entry.favourite));
    m_loading = false;
    updateState();
}

void NotesSheet::typed()
{
    if (m_loading)
        return;
    m_dirty = true;
    m_pause.start();
}

void NotesSheet::save()
{
    m_pause.stop();
    if (!m_dirty || !m_session || m_cas.isEmpty())
        return;
    m_dirty = false;
    if (!m_session->notes().setNote(m_cas, NotesEdit->toPlainText()))
        updateState();
}

void NotesSheet::starToggled(bool favourite)
{
    if (m_loading || !m_session || m_cas.isEmpty())
        return;
    if (!m_session->notes().setFavourite(m_cas, favourite)) {
        m_loading = true;
        FavouriteButton->setChecked(!favourite);
        m_loading = false;
        favourite = !favourite;
    }
    FavouriteButton->setIcon(glyphs::star(favourite));
    updateState();
}

void NotesSheet::updateState()
{
    const bool writable = !m_session || m_session->notes().writable();
    const bool material = !m_cas.isEmpty();
    NotesEdit->setEnabled(material);
    NotesEdit->setReadOnly(!writable);
    FavouriteButton->setEnabled(material && writable);
    NotesLabel->setText(writable ? tr("Your own note on this material:")
                                 : tr("Your notes cannot be changed in this run:"));
}

void NotesSheet::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    showCurrent(true);
}

bool NotesSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == NotesEdit && event->type() == QEvent::FocusOut)
        save();
    return QWidget::eventFilter(watched, event);
}

} // namespace zel::ui
