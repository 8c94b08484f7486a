#pragma once

#include "model/Reindex.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>

class QWidget;

namespace zel::ui {
class MainSession;
class TAlternativesWindow;
class TCompareForm;
class TMainForm;
class TSearchWindow;
class TSizerWindow;
} // namespace zel::ui
namespace zel::report {
class TPrintCompare;
class TPrintMaterial;
class TPrintSupplier;
} // namespace zel::report

namespace zel::app {

class CommandLine;
class ReportRunner;
class SearchFeedback;
class TAboutBox;
class TGaugeWindow;
class TIndexForm;
class TLogoDialog;

// The program from its windows' creation to the end of its event loop: it creates every
// window once, hidden, the main window first, and runs the start-up that decides whether
// the main window is ever shown. A headless start that only reports what it opened makes
// no window at all.
class Program
{
public:
    enum ExitCode
    {
        Ok = 0,
        StartFailed = 1,         // the one start-up message was shown; the main window never was
        UsageError = 2,          // the command line was not understood
        StartedAfterMessage = 3, // headless: a re-indexing message was written, then it ran
    };
    using Reindexing = model::Reindex::Result;

    // programDirectory is the directory of the executable: zel.ini is looked for there
    // first, and an installed program's help file is found from it. A headless program shows
    // no window and writes its messages to standard error.
    // Where the database is named: a zel.ini given on the command line, or a data directory
    // that needs none. Known before the windows are made, so the tables load meanwhile.
    struct Source
    {
        QString configFile;
        QString dataDirectory;
    };
    enum class Windows
    {
        Made,
        None, // headless, only the summary of what was opened: the session alone
    };
    Program(const QString& programDirectory, bool headless, const Source& source = {},
            Windows windows = Windows::Made);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // True when the program may run its event loop; otherwise its one message has been
    // shown and the main window was never visible.
    bool StartProgram();
    // Opens the main window's datasets; false after its message has been shown.
    bool OpenDatabase();
    // After a successful start: shows the main window and runs the event loop. Headless, it
    // writes what it found to standard output and leaves the loop at once.
    int run();
    // Reports through the print dialog straight to the printer instead of the preview.
    void setDirectPrint(bool direct);
    // After a successful start: writes the material report of a CAS number (with the user's
    // notes when asked), or the supplier report of a supplier number, to a PDF file or a saved
    // report file (by its extension). Returns the exit code; a failure says why on standard
    // error and leaves no file.
    int writeReport(const QString& materialCas, const QString& supplierNumber, const QString& file,
                    bool withNotes = false);
    // After a successful start: writes the comparison of the materials of those CAS numbers,
    // as writeReport writes a report.
    int writeComparison(const QStringList& cas, const QString& file);
    // The end of a headless report: says what went wrong, or that file was written; the exit code.
    static int reportWritten(const QString& error, const QString& file);
    // After a successful start: writes every material, in name order, to the command's CSV
    // file; only those its criteria select, as the search window would, and with the user's
    // notes when asked. Returns the exit code; a failure says why on standard error and
    // leaves no file.
    int exportList(const CommandLine& command);
    ReportRunner* reports() const { return m_reports.get(); }

    Reindexing reindexing() const { return m_reindexing; }
    // Where the re-indexing form goes: centred under the logo window, 10 pixels below it.
    static QPoint indexFormPosition(const QRect& logo, int formWidth);

    // What the main window shows: the database, its datasets and the selection list.
    ui::MainSession* session() const { return m_session.get(); }
    ui::TMainForm* mainForm() const { return m_mainForm.get(); }
    TGaugeWindow* gaugeWindow() const { return m_gaugeWindow.get(); }
    ui::TSearchWindow* searchWindow() const { return m_searchWindow.get(); }
    ui::TSizerWindow* sizerWindow() const { return m_sizerWindow.get(); }
    ui::TCompareForm* compareForm() const { return m_compareForm.get(); }
    TAboutBox* aboutBox() const { return m_aboutBox.get(); }
    TIndexForm* indexForm() const { return m_indexForm.get(); }
    TLogoDialog* logoDialog() const { return m_logoDialog.get(); }
    ui::TAlternativesWindow* alternativesWindow() const { return m_alternativesWindow.get(); }

private:
    void showNow(QWidget* window);
    // Reads the configuration and starts loading the tables before the windows are made.
    void configure(const QString& programDirectory, const Source& source, Windows windows);
    void makeWindows();
    void tellNotesProblem(QString text);
    void printSummary() const;

    std::exception_ptr m_configurationFailure; // reported by StartProgram
    bool m_reindexNeeded = false;
    bool m_headless;
    int m_messagesBefore;
    Reindexing m_reindexing = Reindexing::NotNeeded;

    // In the order of creation; destroyed the other way round.
    std::unique_ptr<ui::MainSession> m_session;
    std::unique_ptr<ui::TMainForm> m_mainForm;
    std::unique_ptr<report::TPrintMaterial> m_materialReport;
    std::unique_ptr<report::TPrintSupplier> m_supplierReport;
    std::unique_ptr<report::TPrintCompare> m_compareReport;
    std::unique_ptr<TGaugeWindow> m_gaugeWindow;
    std::unique_ptr<ui::TSearchWindow> m_searchWindow;
    std::unique_ptr<ui::TSizerWindow> m_sizerWindow;
    std::unique_ptr<ui::TCompareForm> m_compareForm; // a window of the main window's
    std::unique_ptr<TAboutBox> m_aboutBox;
    std::unique_ptr<TIndexForm> m_indexForm;
    std::unique_ptr<TLogoDialog> m_logoDialog;
    std::unique_ptr<ui::TAlternativesWindow> m_alternativesWindow;
    std::unique_ptr<SearchFeedback> m_searchFeedback;
    std::unique_ptr<ReportRunner> m_reports;
    std::unique_ptr<model::Reindex::Progress> m_quietProgress; // re-indexing without windows
};

} // namespace zel::app
