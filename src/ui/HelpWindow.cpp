#include "ui/HelpWindow.h"

#include "data/base/FileAccess.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <unistd.h>

namespace zel::ui {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this))
{
    setWindowTitle(tr("ZEL Help"));
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
    // Checked without waiting first: the browser would read a pipe of that name for ever.
    try {
        ::close(data::openFileForReading(fileName, QStringLiteral("help file")));
        m_error.clear();
    } catch (const data::FileAccessError& e) {
        m_error = e.message();
        return false;
    }
    const QFileInfo info(fileName);
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    m_browser->moveCursor(QTextCursor::Start);
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace zel::ui
