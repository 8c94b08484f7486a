#pragma once

#include <QString>
#include <QStringList>

namespace zel::app {

// What the command line asks for. Parsed twice: once before the application object exists,
// so that --help and --version work without a display, and once after Qt has taken its
// own options (-platform, -style, ...) out, strictly.
class CommandLine
{
public:
    static CommandLine parse(const QStringList& arguments); // without the program name

    bool help = false;
    bool version = false;
    bool headless = false;
    bool directPrint = false;
    // Headless report output: the material report for a CAS number, or the supplier report
    // for a supplier number, written to a PDF file or a saved report file by its extension.
    QString materialCas, supplierNumber, reportFile;
    // Where the configuration comes from: one named zel.ini instead of the lookup, or a data
    // directory and no zel.ini at all.
    QString configFile, dataDirectory;
    // Headless export of every material to a CSV file.
    QString exportFile;
    QStringList unknown; // arguments that are not ours, or options missing their values
    QString problem;     // arguments that are ours but cannot be followed, and why

    static QString helpText();
    static QString versionText();
};

} // namespace zel::app
