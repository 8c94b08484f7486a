#pragma once

#include "report/ReportFileError.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

namespace zel::report {

// Drawing text and PDF pages needs fonts, which only a QGuiApplication provides. A command-line
// tool makes its own for as long as this lives: headless, unless the caller chose a platform.
class GuiScope
{
public:
    GuiScope()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return;
        if (QCoreApplication::instance())
            throw ReportFileError(QStringLiteral("Cannot draw pages: the program runs with a "
                                                 "QCoreApplication, and drawing needs a "
                                                 "QGuiApplication"));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }

private:
    char m_name[8] = "zeltool";
    char* m_argv[2] = {m_name, nullptr};
    int m_argc = 1;
    std::unique_ptr<QGuiApplication> m_app;
};

} // namespace zel::report
