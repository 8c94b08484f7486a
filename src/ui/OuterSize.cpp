#include "ui/OuterSize.h"

#include <QEvent>
#include <QWidget>

namespace zel::ui {

OuterSize::OuterSize(QWidget* window, const QSize& outer, bool minimum)
    : QObject(window), m_window(window), m_outer(outer), m_minimum(minimum)
{
    window->installEventFilter(this);
    fitFrame();
}

namespace {

// The frame of the last window the window system framed. A window is framed only once it is
// shown, and one shown while the program is busy (the progress window during a search) gets
// no turn of the event loop to be fitted before it paints: it takes the frame the others got
// until its own is known.
QSize g_lastFrame;

} // namespace

void OuterSize::fitFrame()
{
    QSize frame = m_window->frameGeometry().size() - m_window->size();
    // Shown but not framed yet: the frame to come is taken to be the last one. Not before it is
    // shown, when the window's controls are laid out at its design size.
    const bool awaitingFrame =
        m_window->isVisible() && !(m_window->windowFlags() & Qt::FramelessWindowHint);
    if (!frame.isNull())
        g_lastFrame = frame;
    else if (awaitingFrame && g_lastFrame.isValid())
        frame = g_lastFrame;
    if (frame == m_frame)
        return;
    const QSize inner = m_outer - frame;
    const bool atDesignSize = !m_frame.isValid() || m_window->size() == m_outer - m_frame;
    m_frame = frame;
    if (m_minimum)
        m_window->setMinimumSize(inner);
    if (atDesignSize)
        m_window->resize(inner);
}

bool OuterSize::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            fitFrame();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zel::ui
