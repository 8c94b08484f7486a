#pragma once

#include <QCoreApplication>
#include <QString>

namespace zel::app {

// The program's error box: error icon, one OK button, the exact text. Without a display
// there is nobody to press OK, so a headless run writes the text to standard error instead
// and goes on as if OK had been pressed.
class ErrorMessage
{
public:
    static void setHeadless(bool headless);
    static bool headless();

    // Shows text and returns when the user has pressed OK. cause, the precise account of what
    // went wrong, goes to standard error (with the text); the box keeps to its text and shows
    // the cause, and more when given, under Details, for a start from a menu, where nobody
    // sees standard error.
    static void show(const QString& text, const QString& cause = QString(),
                     const QString& more = QString());
    // How many messages have been shown since the program started.
    static int shownCount();

    // Texts may use "\r" as a line break; the box and the terminal need "\n".
    static QString displayText(const QString& text);

    static QString databaseError()
    {
        return QCoreApplication::translate("zel::app::ErrorMessage",
                                           "Database not found or corrupted");
    }
    static QString internalError()
    {
        return QCoreApplication::translate("zel::app::ErrorMessage",
                                           "Internal error - cannot start program");
    }
};

} // namespace zel::app
