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

void OuterSize::fitFrame()
{
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
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
