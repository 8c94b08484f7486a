#include "app/WindowUtil.h"

#include "ui/PageParts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace zel::app {

QLabel* plainLabel(const QString& text, QWidget* parent, bool bold)
{
    auto* label = new QLabel(text, parent);
    QFont font = ui::windowFont();
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: black"));
    label->setTextFormat(Qt::PlainText);
    return label;
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    // Before the window manager has framed a window its frame is unknown; the client
    // size is the best guess then, and exact for the borderless windows.
    const QSize size = window->isVisible() ? window->frameGeometry().size() : window->size();
    window->move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2);
}

void paintNow(QWidget* window)
{
    QWindow* handle = window->windowHandle();
    QElapsedTimer waited;
    waited.start();
    // A new window is mapped by the window system in its own time; a moment is enough,
    // and a slow one must not hold start-up up.
    while (handle && !handle->isExposed() && waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(1);
    }
    window->repaint();
    QGuiApplication::sync();
}

} // namespace zel::app
