#pragma once

#include <QWidget>

class QLineEdit;
class QTabWidget;

namespace zel::ui {

class MainSession;

// A page of the main window: a list side that fills what the detail side, aligned to the
// right at its own width, leaves free. The detail side's width is the sizer's to change,
// so the page lays out by hand rather than through a layout that would fight it. The detail
// side holds the notebook of the current row's details; the list side, a search field.
class AlignedPage : public QWidget
{
    Q_OBJECT
public:
    // The detail side's width at the design size of the window.
    static constexpr int DetailWidth = 340;

    explicit AlignedPage(QWidget* parent = nullptr);
    // Places both sides again, e.g. after the detail side's width changed.
    void realign();
    // Once the session's database is open, and again after each reload: the page's lists and
    // fields follow the session's datasets.
    void attach(MainSession* session);

    // The detail notebook's sub-page.
    int detailPage() const;
    void showDetailPage(int index);

Q_SIGNALS:
    void detailPageChanged();
    void databaseError(const QString& message);

protected:
    // notebook: the detail side itself, or the notebook inside it.
    void setSides(QWidget* listSide, QWidget* detailSide, QTabWidget* notebook);
    // What attaching means to the page. first: the session is new to the page, whose search
    // and field links are still to be made; a reload attaches the same one again.
    virtual void attached(MainSession* session, bool first) = 0;
    MainSession* session() const { return m_session; }
    // Runs the session's search with the field's text as it changes. The engine's failures
    // are reported through databaseError rather than thrown into the event loop.
    void searchWith(QLineEdit* field, void (MainSession::*search)(const QString&));

    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_list = nullptr;
    QWidget* m_detail = nullptr;
    QTabWidget* m_notebook = nullptr;
    MainSession* m_session = nullptr;
};

} // namespace zel::ui
