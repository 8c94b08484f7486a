#include "ui/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zel::ui {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("ZEL Help"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 560);
}

bool HelpWindow::showFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile() || !info.isReadable())
        return false;
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    m_browser->moveCursor(QTextCursor::Start);
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace zel::ui
