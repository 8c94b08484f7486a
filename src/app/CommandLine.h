#pragma once

#include <QString>
#include <QStringList>

namespace zel::app {

// What the command line asks for, parsed and checked before the application object exists,
// so that every usage error ends with its message and status 2 on any machine, with or
// without a display. The options the toolkit takes for itself (-platform NAME, -style NAME,
// ...) are passed over here and left to it.
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
    // The same for a comparison of materials by their CAS numbers, two to six of them.
    QStringList compareCas;
    // Where the configuration comes from: one named zel.ini instead of the lookup, or a data
    // directory and no zel.ini at all.
    QString configFile, dataDirectory;
    // Headless export of every material to a CSV file.
    QString exportFile;
    // The language of the windows and reports (fr, de, ...); empty follows the environment.
    QString language;
    // What the export keeps, as the search window's criteria: the four texts as given, blanks
    // included, and the media (1 to 33) that must rate "++". filtered: any of them was given.
    QString filterName, filterOdour, filterPerformance, filterApplication;
    QList<int> filterStable;
    bool filtered = false;
    // The user's favourite flag and note in the export, or the notes band in the material
    // report.
    bool withNotes = false;
    // The toolkit's own options with their values, as given: all the toolkit is handed, so
    // that a text of ours such as "-platform" stays ours.
    QStringList toolkitArguments;
    QStringList unknown; // arguments that are neither ours nor the toolkit's
    QString problem;     // the first usage error, in words; empty when the line is usable

    // True when the program should end with its usage message (help and version aside).
    bool failed() const { return !problem.isEmpty(); }

    // Whether a headless report can be written to a file of that name: .pdf or .frp, or an
    // existing pipe or character device (which takes the saved report file).
    static bool knownOutputFormat(const QString& file);

    static QString helpText();
    static QString versionText();
};

} // namespace zel::app
