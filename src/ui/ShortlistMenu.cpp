#include "ui/ShortlistMenu.h"

#include "data/base/Error.h"
#include "model/NoteStore.h"
#include "ui/MainSession.h"

#include <QInputDialog>
#include <QMessageBox>

namespace zel::ui {

namespace {

// A name as a menu shows it: an ampersand of the name is not an accelerator.
QString menuText(QString name)
{
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

ShortlistMenu::ShortlistMenu(MainSession* session, QWidget* parent)
    : QMenu(tr("&Shortlists"), parent), m_session(session)
{
    setObjectName(QStringLiteral("ShortlistMenu"));
    // Read when opened, not before: an untouched store costs the start nothing.
    connect(this, &QMenu::aboutToShow, this, &ShortlistMenu::rebuild);
}

void ShortlistMenu::rebuild()
{
    clear();
    for (QMenu* old : m_shortlistMenus)
        delete old;
    m_shortlistMenus.clear();
    model::NoteStore& notes = m_session->notes();
    const QString cas = m_session->currentCas();
    const bool writable = notes.writable() && !cas.isEmpty();

    QAction* add = addAction(tr("&Add the material to a new shortlist..."), this,
                             &ShortlistMenu::addToNewShortlist);
    add->setObjectName(QStringLiteral("AddToNewShortlist"));
    add->setEnabled(writable);
    addSeparator();
    const QStringList names = notes.shortlists();
    if (names.isEmpty())
        addAction(tr("No shortlists yet"))->setEnabled(false);
    for (const QString& name : names) {
        const QStringList held = notes.shortlist(name);
        auto* sub = new QMenu(QStringLiteral("%1 (%2)").arg(menuText(name)).arg(held.size()), this);
        m_shortlistMenus.push_back(sub);
        addMenu(sub);
        sub->setObjectName(QStringLiteral("Shortlist:") + name);
        sub->addAction(tr("&Show as the list"), this, [this, name] { showShortlist(name); })
            ->setObjectName(QStringLiteral("ShowShortlist"));
        QAction* holds = sub->addAction(tr("&Holds the current material"));
        holds->setObjectName(QStringLiteral("HoldsCurrent"));
        holds->setCheckable(true);
        holds->setChecked(!cas.isEmpty() && held.contains(cas));
        holds->setEnabled(writable);
        connect(holds, &QAction::toggled, this,
                [this, name](bool checked) { toggleCurrent(name, checked); });
        sub->addSeparator();
        QAction* rename =
            sub->addAction(tr("&Rename..."), this, [this, name] { renameShortlist(name); });
        rename->setObjectName(QStringLiteral("RenameShortlist"));
        rename->setEnabled(notes.writable());
        QAction* remove =
            sub->addAction(tr("&Delete..."), this, [this, name] { deleteShortlist(name); });
        remove->setObjectName(QStringLiteral("DeleteShortlist"));
        remove->setEnabled(notes.writable());
    }
}

void ShortlistMenu::tell(const QString& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("ZEL"), text, QMessageBox::Ok,
                    parentWidget());
    box.exec();
}

void ShortlistMenu::addToNewShortlist()
{
    const QString cas = m_session->currentCas();
    if (cas.isEmpty())
        return;
    bool ok = false;
    const QString name =
        QInputDialog::getText(parentWidget(), tr("New shortlist"), tr("Name of the shortlist:"),
                              QLineEdit::Normal, QString(), &ok)
            .trimmed();
    if (!ok || name.isEmpty())
        return;
    // A name already taken simply adds the material to that shortlist.
    m_session->notes().addToShortlist(name, cas);
}

void ShortlistMenu::showShortlist(const QString& name)
{
    try {
        if (!m_session->SelectShortlist(name))
            tell(tr("The shortlist %1 holds no material of this database.").arg(name));
    } catch (const data::DatabaseError& e) {
        tell(e.message());
    }
    Q_EMIT listChanged();
}

void ShortlistMenu::toggleCurrent(const QString& name, bool holds)
{
    const QString cas = m_session->currentCas();
    if (cas.isEmpty())
        return;
    if (holds)
        m_session->notes().addToShortlist(name, cas);
    else
        m_session->notes().removeFromShortlist(name, cas);
}

void ShortlistMenu::renameShortlist(const QString& name)
{
    bool ok = false;
    const QString to =
        QInputDialog::getText(parentWidget(), tr("Rename shortlist"),
                              tr("New name of the shortlist:"), QLineEdit::Normal, name, &ok)
            .trimmed();
    if (!ok || to.isEmpty() || to == name)
        return;
    if (m_session->notes().shortlists().contains(to)) {
        tell(tr("There is a shortlist named %1 already.").arg(to));
        return;
    }
    if (m_session->RenameShortlist(name, to))
        Q_EMIT listChanged();
}

void ShortlistMenu::deleteShortlist(const QString& name)
{
    QMessageBox ask(QMessageBox::Question, tr("Delete shortlist"),
                    tr("Delete the shortlist %1? The materials stay as they are.").arg(name),
                    QMessageBox::Yes | QMessageBox::No, parentWidget());
    ask.setDefaultButton(QMessageBox::No);
    if (ask.exec() != QMessageBox::Yes)
        return;
    try {
        if (m_session->DeleteShortlist(name))
            Q_EMIT listChanged();
    } catch (const data::DatabaseError& e) {
        tell(e.message());
    }
}

} // namespace zel::ui
