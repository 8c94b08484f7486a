#pragma once

#include <QDialog>

class QTextBrowser;

namespace zel::ui {

// Shows the program's HTML help file from its start; links within it work, and it stays
// open beside the main window.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // False when the file cannot be read; nothing is shown then.
    bool showFile(const QString& fileName);
    // Why the last showFile failed.
    QString error() const { return m_error; }
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
    QString m_error;
};

} // namespace zel::ui
