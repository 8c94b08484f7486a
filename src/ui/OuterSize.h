#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace zel::ui {

// Gives a top-level window an outer size, frame and caption included, as its design states
// it, and with minimum keeps it from being made smaller than that. The window system tells
// the frame only once it has framed the window, which may be after the window is shown, so
// the inner size is worked out again whenever the frame turns out different. A window the
// user has resized meanwhile keeps its size; only the minimum follows the frame then.
class OuterSize : public QObject
{
    Q_OBJECT
public:
    // Belongs to window.
    OuterSize(QWidget* window, const QSize& outer, bool minimum);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitFrame();

    QWidget* m_window;
    QSize m_outer;
    bool m_minimum;
    QSize m_frame; // outer less inner size, as last fitted; invalid before the first fit
};

} // namespace zel::ui
