#pragma once

#include "search/OdourSimilarity.h"
#include "ui/PageParts.h"

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QListWidget;
class QRadioButton;
class QTableWidget;

namespace zel::ui {

class MainSession;

// "Stable alternatives": the materials whose odour is closest to the current material's,
// among those rated at least "++" (or "+" or better) in the media the user ticks, with their
// score, odour and the ratings in those media. It follows the current material while it is
// open; a double-click on a row, or Enter, goes to that material. Not modal: it stays beside
// the main window.
class TAlternativesWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TAlternativesWindow(MainSession* session, QWidget* parent = nullptr);

    // The media ticked when the window opens, e.g. those marked in the search dialog.
    void setTickedMedia(const std::array<bool, model::MediaCount>& ticked);
    // What going to a material does before making it current (showing the materials page).
    void setGotoHandler(std::function<void()> handler) { m_gone = std::move(handler); }

    search::StabilityRequirement requirement() const;
    QTableWidget* results() const { return m_results; }

    // Ranks again for the current material and the ticked media.
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void gotoRow(int row);

    MainSession* m_session;
    QLabel* m_heading;
    QListWidget* m_media;
    QRadioButton* m_veryGood;
    QTableWidget* m_results;
    std::function<void()> m_gone;
    // The material moves with every key typed in the search field; ranking once a turn of
    // the event loop, with the material current by then, is enough.
    OncePerTurn m_follow{this, [this] {
                             if (isVisible())
                                 Refresh();
                         }};
    static constexpr int kLimit = 50;
};

} // namespace zel::ui
