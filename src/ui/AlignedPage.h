#pragma once

#include <QWidget>

namespace zel::ui {

// A page of the main window: a list side that fills what the detail side, aligned to the
// right at its own width, leaves free. The detail side's width is the sizer's to change,
// so the page lays out by hand rather than through a layout that would fight it.
class AlignedPage : public QWidget
{
    Q_OBJECT
public:
    // The detail side's width at the design size of the window.
    static constexpr int DetailWidth = 340;

    explicit AlignedPage(QWidget* parent = nullptr);
    void setSides(QWidget* listSide, QWidget* detailSide);
    // Places both sides again, e.g. after the detail side's width changed.
    void realign();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_list = nullptr;
    QWidget* m_detail = nullptr;
};

} // namespace zel::ui
