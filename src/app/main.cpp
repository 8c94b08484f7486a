#include "app/CommandLine.h"
#include "app/Program.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/base/StandardOutput.h"
#include "ui/TMainForm.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

using zel::app::CommandLine;
using zel::app::Program;

int main(int argc, char** argv)
{
    // Everything is checked before the application object exists: without a display that
    // object cannot be made, and a usage error must still say what is wrong.
    // Read as bytes: a file named by the command line is the file of exactly that name.
    const CommandLine command = CommandLine::parse(zel::data::argumentsFromBytes(argc, argv));
    if (command.help || command.version) {
        zel::data::StandardOutput::stream()
            << (command.help ? CommandLine::helpText() : CommandLine::versionText());
        return zel::data::StandardOutput::finish("zel") ? Program::Ok : Program::StartFailed;
    }
    if (command.failed()) {
        QTextStream(stderr) << "zel: " << command.problem << " (see zel --help)\n";
        return Program::UsageError;
    }
    if (command.headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // An interrupted headless run ends at once with its own status; its outputs have no name
    // until complete, so nothing half-written stays.
    if (command.headless)
        zel::data::installInterruptHandlers("zel");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zel"));
    QApplication::setApplicationVersion(QStringLiteral(ZEL_VERSION));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zel"));

    Program program(QApplication::applicationDirPath(), command.headless,
                    {command.configFile, command.dataDirectory});
    // Installed, the window shows the icon the desktop's menu shows; from the build tree,
    // where no icon theme has it, its own.
    program.mainForm()->setWindowIcon(
        QIcon::fromTheme(QStringLiteral("zel"), program.mainForm()->windowIcon()));
    program.setDirectPrint(command.directPrint);
    if (!program.StartProgram())
        return Program::StartFailed;
    if (!command.exportFile.isEmpty())
        return program.exportList(command.exportFile);
    if (!command.reportFile.isEmpty())
        return program.writeReport(command.materialCas, command.supplierNumber, command.reportFile);
    return program.run();
}
