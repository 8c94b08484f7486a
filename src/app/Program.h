#pragma once

#include <QRect>
#include <QString>
#include <memory>

class QWidget;

namespace zel::ui {
class MainSession;
class TMainForm;
class TSearchWindow;
class TSizerWindow;
} // namespace zel::ui
namespace zel::report {
class TPrintMaterial;
class TPrintSupplier;
} // namespace zel::report

namespace zel::app {

class ReportRunner;
class SearchFeedback;
class TAboutBox;
class TGaugeWindow;
class TIndexForm;
class TLogoDialog;

// The program from its windows' creation to the end of its event loop: it creates every
// window once, hidden, the main window first, and runs the start-up that decides whether
// the main window is ever shown.
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
    enum class Reindexing
    {
        NotNeeded,
        Done,
        Failed
    };

    // programDirectory is where zel.ini is looked for: the directory of the executable.
    // A headless program shows no window and writes its messages to standard error.
    Program(const QString& programDirectory, bool headless);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // True when the program may run its event loop; otherwise its one message has been
    // shown and the main window was never visible.
    bool StartProgram();
    // Reads zel.ini and defines the database. Throws when there is no database path.
    void ReadConfiguration();
    // Opens the main window's datasets; false after its message has been shown.
    bool OpenDatabase();
    // After a successful start: shows the main window and runs the event loop. Headless, it
    // writes what it found to standard output and leaves the loop at once.
    int run();
    // Reports through the print dialog straight to the printer instead of the preview.
    void setDirectPrint(bool direct);
    // After a successful start: writes the material report of a CAS number, or the supplier
    // report of a supplier number, to a PDF file or a saved report file (by its extension).
    // Returns the exit code; a failure says why on standard error and leaves no file.
    int writeReport(const QString& materialCas, const QString& supplierNumber, const QString& file);
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
    TAboutBox* aboutBox() const { return m_aboutBox.get(); }
    TIndexForm* indexForm() const { return m_indexForm.get(); }
    TLogoDialog* logoDialog() const { return m_logoDialog.get(); }

private:
    void showNow(QWidget* window);
    bool indexesMissing() const;
    Reindexing ensureServerIndexes();
    void printSummary() const;

    QString m_programDirectory;
    bool m_headless;
    int m_messagesBefore;
    Reindexing m_reindexing = Reindexing::NotNeeded;

    // In the order of creation; destroyed the other way round.
    std::unique_ptr<ui::MainSession> m_session;
    std::unique_ptr<ui::TMainForm> m_mainForm;
    std::unique_ptr<report::TPrintMaterial> m_materialReport;
    std::unique_ptr<report::TPrintSupplier> m_supplierReport;
    std::unique_ptr<TGaugeWindow> m_gaugeWindow;
    std::unique_ptr<ui::TSearchWindow> m_searchWindow;
    std::unique_ptr<ui::TSizerWindow> m_sizerWindow;
    std::unique_ptr<TAboutBox> m_aboutBox;
    std::unique_ptr<TIndexForm> m_indexForm;
    std::unique_ptr<TLogoDialog> m_logoDialog;
    std::unique_ptr<SearchFeedback> m_searchFeedback;
    std::unique_ptr<ReportRunner> m_reports;
};

} // namespace zel::app
