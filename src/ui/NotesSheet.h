#pragma once

#include "ui/PageParts.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace zel::ui {

class MainSession;

// The Notes sub-page of the materials page and the favourite star beside its tabs: the user's
// own note on the current material and whether it is a favourite, kept in the session's note
// store by CAS number.
//
// What is typed is kept after a short pause, when the editor loses the focus, before another
// material is shown and when the sheet goes: one change each time, never one per keystroke,
// and always under the CAS number of the material it was typed for. Each material that
// becomes current, and the tab each time it is shown, is read from the store afresh, so
// another copy's change shows then. A store that cannot be changed leaves the editor read-only
// and the star disabled; what was typed stays in sight.
class NotesSheet : public QWidget
{
    Q_OBJECT
public:
    // How long typing must pause before it is kept.
    static constexpr int PauseMs = 800;

    explicit NotesSheet(QWidget* parent = nullptr);
    ~NotesSheet() override;

    // The star, for the detail notebook's corner.
    QToolButton* star() const { return FavouriteButton; }
    // Follows the session's current material from now on; called again after a reload.
    void attach(MainSession* session);
    // Keeps what was typed and not yet kept; nothing when nothing was.
    void save();
    // The CAS number whose note the editor holds.
    const QString& cas() const { return m_cas; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showCurrent(bool shownAgain = false);
    void typed();
    void starToggled(bool favourite);
    // Read-only or not, as the store now stands.
    void updateState();

    QPointer<MainSession> m_session;
    QString m_cas;
    bool m_dirty = false;
    bool m_loading = false;
    QTimer m_pause;
    OncePerTurn m_refresh{this, [this] { showCurrent(); }};

    QLabel* NotesLabel;
    QPlainTextEdit* NotesEdit;
    QToolButton* FavouriteButton;
};

} // namespace zel::ui
