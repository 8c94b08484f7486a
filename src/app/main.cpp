#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/ReportFromIndexes.h"
#include "app/Translations.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/base/StandardOutput.h"
#include "ui/TMainForm.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <memory>
#include <thread>
#include <vector>

using zel::app::CommandLine;
using zel::app::Program;

namespace {

// Without a display the toolkit cannot make the application object and ends the program from
// within its constructor: abort, status 134, and the advice to reinstall. While the object is
// made its messages are held back; a fatal one ends the program with a line of its own and
// status 1, and once the object exists the held ones go out as they would have.
struct HeldMessage
{
    QtMsgType type;
    QString category;
    QString text;
};
std::vector<HeldMessage> g_held;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        g_held.push_back({type, QString::fromUtf8(context.category), text});
        return;
    }
    QStringList reasons;
    for (const HeldMessage& m : g_held) {
        QString reason = m.text.trimmed();
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        reasons << reason;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        reasons << QStringLiteral("DISPLAY is not set");
    const QByteArray line =
        QStringLiteral("zel: no window can be shown: the window system cannot be reached (%1)\n"
                       "zel: zel --headless opens the database without a window\n")
            .arg(reasons.join(QStringLiteral("; ")))
            .toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::_Exit(Program::StartFailed);
}

void releaseMessages(QtMessageHandler toolkitHandler)
{
    qInstallMessageHandler(toolkitHandler);
    for (const HeldMessage& m : g_held) {
        const QByteArray category = m.category.toUtf8();
        qt_message_output(m.type, QMessageLogContext(nullptr, 0, nullptr, category.constData()),
                          m.text);
    }
    g_held.clear();
}

} // namespace

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

    // A report lays out text in fonts whose configuration is read from many small files: it
    // is read on a thread of its own while the toolkit starts and the records are found.
    std::jthread fontConfiguration;
    if (!command.reportFile.isEmpty())
        fontConfiguration = std::jthread([] { FcInit(); });

    // The toolkit is handed its own options alone: a filter text such as "-platform" is ours.
    std::vector<QByteArray> toolkitArgs{QByteArray(argv[0])};
    for (const QString& a : command.toolkitArguments)
        toolkitArgs.push_back(zel::data::fileNameBytes(a));
    std::vector<char*> toolkitArgv;
    for (QByteArray& a : toolkitArgs)
        toolkitArgv.push_back(a.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = static_cast<int>(toolkitArgs.size());
    const QtMessageHandler toolkitHandler = qInstallMessageHandler(holdMessage);
    // A headless start that only says what it opened needs no window system, and without one
    // the toolkit starts without loading a platform, a style or any font.
    const bool summaryOnly = command.headless && command.reportFile.isEmpty() &&
                             command.exportFile.isEmpty() && command.compareCas.isEmpty();
    const std::unique_ptr<QCoreApplication> app =
        summaryOnly ? std::make_unique<QCoreApplication>(toolkitArgc, toolkitArgv.data())
                    : std::make_unique<QApplication>(toolkitArgc, toolkitArgv.data());
    releaseMessages(toolkitHandler);
    QApplication::setApplicationName(QStringLiteral("zel"));
    QApplication::setApplicationVersion(QStringLiteral(ZEL_VERSION));
    // Lets the desktop match the window to the installed menu entry and its icon.
    if (!summaryOnly)
        QGuiApplication::setDesktopFileName(QStringLiteral("zel"));
    zel::app::installTranslations(command.language);

    if (!command.reportFile.isEmpty())
        if (const std::optional<int> status =
                zel::app::writeReportFromIndexes(QApplication::applicationDirPath(), command))
            return *status;

    Program program(QApplication::applicationDirPath(), command.headless,
                    {command.configFile, command.dataDirectory},
                    summaryOnly ? Program::Windows::None : Program::Windows::Made);
    // Installed, the window shows the icon the desktop's menu shows; from the build tree,
    // where no icon theme has it, its own.
    if (zel::ui::TMainForm* window = program.mainForm())
        window->setWindowIcon(QIcon::fromTheme(QStringLiteral("zel"), window->windowIcon()));
    program.setDirectPrint(command.directPrint);
    if (!program.StartProgram())
        return Program::StartFailed;
    if (!command.exportFile.isEmpty())
        return program.exportList(command);
    if (!command.compareCas.isEmpty())
        return program.writeComparison(command.compareCas, command.reportFile);
    if (!command.reportFile.isEmpty())
        return program.writeReport(command.materialCas, command.supplierNumber, command.reportFile,
                                   command.withNotes);
    return program.run();
}
