#include "app/CommandLine.h"
#include "app/Program.h"
#include "ui/TMainForm.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

using zel::app::CommandLine;
using zel::app::Program;

namespace {

void write(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

QStringList rawArguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine early = CommandLine::parse(rawArguments(argc, argv));
    if (early.help) {
        write(stdout, CommandLine::helpText());
        return Program::Ok;
    }
    if (early.version) {
        write(stdout, CommandLine::versionText());
        return Program::Ok;
    }
    if (early.headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zel"));
    QApplication::setApplicationVersion(QStringLiteral(ZEL_VERSION));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zel"));
    const CommandLine command = CommandLine::parse(QApplication::arguments().mid(1));
    if (!command.unknown.isEmpty()) {
        write(stderr, QStringLiteral("zel: unknown argument %1 (see zel --help)\n")
                          .arg(command.unknown.front()));
        return Program::UsageError;
    }
    if (!command.problem.isEmpty()) {
        write(stderr, QStringLiteral("zel: %1 (see zel --help)\n").arg(command.problem));
        return Program::UsageError;
    }

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
