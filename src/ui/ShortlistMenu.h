#pragma once

#include <QMenu>
#include <vector>

namespace zel::ui {

class MainSession;

// The main window's Shortlists menu: the user's named shortlists, as the session's note store
// holds them when the menu opens (another copy's changes included). The current material goes
// into a new shortlist or into or out of an existing one; a shortlist is shown as the
// materials list, renamed or deleted. Changes are greyed out while the store cannot be
// changed.
class ShortlistMenu : public QMenu
{
    Q_OBJECT
public:
    ShortlistMenu(MainSession* session, QWidget* parent);

    // Builds the entries afresh from the store; the menu does so each time it opens, and is
    // empty before.
    void rebuild();

    // The commands behind the entries. Each asks what it needs in a dialog over the menu's
    // window and tells what went wrong in a message box.
    void addToNewShortlist();
    void showShortlist(const QString& name);
    void toggleCurrent(const QString& name, bool holds);
    void renameShortlist(const QString& name);
    void deleteShortlist(const QString& name);

Q_SIGNALS:
    // The materials list or its title changed: the window shows them again.
    void listChanged();

private:
    void tell(const QString& text);

    MainSession* m_session;
    std::vector<QMenu*> m_shortlistMenus; // made by the last rebuild
};

} // namespace zel::ui
