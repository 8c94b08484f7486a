#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/ConfigReader.h"
#include "app/ErrorMessage.h"
#include "app/ReportRunner.h"
#include "app/SearchFeedback.h"
#include "app/TAboutBox.h"
#include "app/TGaugeWindow.h"
#include "app/TIndexForm.h"
#include "app/TLogoDialog.h"
#include "app/WindowUtil.h"
#include "data/base/StandardOutput.h"
#include "data/engine/Dataset.h"
#include "model/Names.h"
#include "model/NoteStore.h"
#include "model/Reindex.h"
#include "model/Schema.h"
#include "report/TPrintCompare.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "search/MaterialFilter.h"
#include "ui/MainSession.h"
#include "ui/TAlternativesWindow.h"
#include "ui/TCompareForm.h"
#include "ui/TMainForm.h"
#include "ui/TSearchWindow.h"
#include "ui/TSizerWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <stdexcept>

namespace zel::app {

namespace {

// Re-indexing seen by nobody: only a failure is told, on standard error.
class QuietProgress : public model::Reindex::Progress
{
public:
    void setFileName(const QString&) override {}
    void setIndexName(const QString&) override {}
    void repaintNow() override {}
    void showError(const QString& message, const QString& cause) override
    {
        ErrorMessage::show(message, cause);
    }
    void hideProgress() override {}
};

} // namespace

Program::Program(const QString& programDirectory, bool headless, const Source& source,
                 Windows windows)
    : m_headless(headless), m_messagesBefore(ErrorMessage::shownCount())
{
    ErrorMessage::setHeadless(headless);
    m_session = std::make_unique<ui::MainSession>();
    m_session->ProgramDirectory = programDirectory;
    if (!m_session->ProgramDirectory.endsWith(QLatin1Char('/')))
        m_session->ProgramDirectory += QLatin1Char('/');
    configure(programDirectory, source, windows);
    if (windows == Windows::Made) {
        makeWindows();
        return;
    }
    m_quietProgress = std::make_unique<QuietProgress>();
    QObject::connect(m_session.get(), &ui::MainSession::notesProblem, m_session.get(),
                     [this](const QString& text) { tellNotesProblem(text); });
}

void Program::makeWindows()
{
    m_mainForm = std::make_unique<ui::TMainForm>(m_session.get());
    m_materialReport = std::make_unique<report::TPrintMaterial>(m_session->database());
    m_supplierReport = std::make_unique<report::TPrintSupplier>(m_session->database());
    m_compareReport = std::make_unique<report::TPrintCompare>(m_session->database());
    m_gaugeWindow = std::make_unique<TGaugeWindow>();
    m_searchWindow = std::make_unique<ui::TSearchWindow>();
    m_sizerWindow = std::make_unique<ui::TSizerWindow>();
    m_compareForm = std::make_unique<ui::TCompareForm>(m_session.get(), m_mainForm.get());
    m_aboutBox = std::make_unique<TAboutBox>();
    m_indexForm = std::make_unique<TIndexForm>();
    m_logoDialog = std::make_unique<TLogoDialog>();
    m_alternativesWindow =
        std::make_unique<ui::TAlternativesWindow>(m_session.get(), m_mainForm.get());

    m_searchFeedback = std::make_unique<SearchFeedback>(m_gaugeWindow.get());
    m_session->setSelectionFeedback(m_searchFeedback.get());
    m_session->setFilter(
        m_searchWindow->filterFor(m_session->dataset(model::datasets::TableMaterialSelect),
                                  m_session->dataset(model::datasets::TableSynonymsSelect)));
    // A search judges the whole materials table at once over its prepared texts; the record
    // filter above stays for a list without the whole-table one.
    m_session->setTableFilter(
        search::materialTableFilter([this] { return m_searchWindow->criteria(); },
                                    m_session->dataset(model::datasets::TableSynonymsSelect)));
    m_mainForm->setSearchDialog([this] { return m_searchWindow->Execute(); });
    m_mainForm->setAboutHandler([this] { m_aboutBox->exec(); });
    m_reports = std::make_unique<ReportRunner>(m_session.get(), m_mainForm.get(),
                                               m_materialReport.get(), m_supplierReport.get());
    m_mainForm->setPrintHandler([this] { m_reports->PrintCurrentPage(); });
    m_reports->setCompareForm(m_compareReport.get());
    m_mainForm->setCompareWindow(m_compareForm.get());
    m_compareForm->setPrintHandler(
        [this](const QStringList& cas) { m_reports->RunComparison(cas); });
    m_mainForm->setProgressWindow(m_searchFeedback.get());
    // The alternatives start from the media marked in the search dialog, and going to one
    // shows it on the materials page.
    m_mainForm->setAlternativesHandler([this] {
        m_alternativesWindow->setTickedMedia(m_searchWindow->criteria().required);
        m_alternativesWindow->show();
        m_alternativesWindow->raise();
        m_alternativesWindow->activateWindow();
    });
    m_alternativesWindow->setGotoHandler([this] {
        m_mainForm->SwitchPage(ui::page::Materials);
        m_mainForm->activateWindow();
    });
    QObject::connect(m_session.get(), &ui::MainSession::notesProblem, m_mainForm.get(),
                     [this](const QString& text) { tellNotesProblem(text); });
}

// The notes' trouble is told once, and the browser goes on with them read-only. Headless
// there is nobody to close a box.
void Program::tellNotesProblem(QString text)
{
    text += u' ' +
            (m_session->notes().readable()
                 ? QCoreApplication::translate(
                       "zel::app::Program",
                       "ZEL shows them, but keeps no change until it is started again.")
                 : QCoreApplication::translate("zel::app::Program", "ZEL goes on without them."));
    if (m_headless || !m_mainForm) {
        QTextStream(stderr) << "zel: " << text << '\n';
        return;
    }
    QMessageBox box(QMessageBox::Warning, m_mainForm->windowTitle(), text, QMessageBox::Ok,
                    m_mainForm.get());
    box.exec();
}

Program::~Program() = default;

void Program::configure(const QString& programDirectory, const Source& source, Windows windows)
{
    // The configuration is read once, here, and the tables start loading at once: making the
    // windows takes longer than reading them. Not when the indexes of a data directory are to
    // be built, which rewrites a table first; a server's indexes never change what is read.
    // What goes wrong is reported by StartProgram, where a start reports its failures.
    try {
        model::schema::addTablePassword();
        const model::Configuration configuration =
            readConfiguration(programDirectory, source.configFile, source.dataDirectory);
        m_session->configure(configuration);
        m_reindexNeeded =
            !configuration.isServer() && model::Reindex::needed(configuration.dataDirectory);
        if (!m_reindexNeeded)
            m_session->PreloadDatabase(windows == Windows::Made ? data::Preload::TablesAndKeys
                                                                : data::Preload::TablesOnly);
    } catch (...) {
        m_configurationFailure = std::current_exception();
    }
}

QPoint Program::indexFormPosition(const QRect& logo, int formWidth)
{
    // Integer division rounds toward zero, also when the form is the wider one.
    return {logo.x() + (logo.width() - formWidth) / 2, logo.y() + logo.height() + 10};
}

void Program::showNow(QWidget* window)
{
    if (m_headless)
        return;
    window->show();
    paintNow(window);
}

bool Program::StartProgram()
{
    try {
        if (m_mainForm) {
            centreOnScreen(m_logoDialog.get());
            showNow(m_logoDialog.get());
            m_mainForm->ShowFirstPages();
        }

        if (m_configurationFailure)
            std::rethrow_exception(m_configurationFailure);

        model::Reindex::Progress& progress =
            m_indexForm ? static_cast<model::Reindex::Progress&>(*m_indexForm) : *m_quietProgress;
        if (m_session->configuration().isServer()) {
            m_reindexing =
                model::Reindex::runOnServer(m_session->configuration().connection,
                                            m_session->configuration().timeout, progress);
        } else if (m_reindexNeeded) {
            if (m_indexForm) {
                m_indexForm->move(
                    indexFormPosition(m_logoDialog->geometry(), m_indexForm->width()));
                showNow(m_indexForm.get());
            }
            // Start-up goes on either way: the tables may still open without the indexes.
            m_reindexing = model::Reindex::run(m_session->DataDirectory, progress)
                               ? Reindexing::Done
                               : Reindexing::Failed;
            m_reindexNeeded = false;
            progress.hideProgress();
        }

        if (m_mainForm)
            m_mainForm->FillMediaLabels();
        if (!OpenDatabase())
            return false;
        m_session->dataset(model::datasets::TableMaterial)->first();
        if (m_mainForm) {
            m_mainForm->UpdateListTitle();
            m_logoDialog->hide();
        }
        return true;
    } catch (const NoConfiguration& e) {
        // Headless, the message comes first, as in every other failed start.
        if (!m_headless)
            e.writePlaces();
        ErrorMessage::show(ErrorMessage::internalError(), QString::fromUtf8(e.what()),
                           e.placesText());
        if (m_headless)
            e.writePlaces();
    } catch (const std::exception& e) {
        ErrorMessage::show(ErrorMessage::internalError(), QString::fromUtf8(e.what()));
    } catch (...) {
        ErrorMessage::show(ErrorMessage::internalError());
    }
    return false;
}

bool Program::OpenDatabase()
{
    try {
        m_session->OpenDatabase();
        return true;
    } catch (const std::exception& e) {
        ErrorMessage::show(ErrorMessage::databaseError(), QString::fromUtf8(e.what()));
    }
    return false;
}

int Program::run()
{
    if (m_headless) {
        printSummary();
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        QCoreApplication::exec();
        // A summary that never arrived is a failed run, not a quiet one.
        if (!data::StandardOutput::finish("zel"))
            return StartFailed;
        return ErrorMessage::shownCount() > m_messagesBefore ? StartedAfterMessage : Ok;
    }
    centreOnScreen(m_mainForm.get());
    m_mainForm->show();
    return QApplication::exec();
}

void Program::setDirectPrint(bool direct)
{
    if (m_reports)
        m_reports->setDirectPrint(direct);
}

int Program::writeReport(const QString& materialCas, const QString& supplierNumber,
                         const QString& file, bool withNotes)
{
    return reportWritten(materialCas.isEmpty()
                             ? m_reports->writeSupplierReport(supplierNumber, file)
                             : m_reports->writeMaterialReport(materialCas, file, withNotes),
                         file);
}

int Program::writeComparison(const QStringList& cas, const QString& file)
{
    return reportWritten(m_reports->writeComparison(cas, file), file);
}

int Program::reportWritten(const QString& error, const QString& file)
{
    if (!error.isEmpty()) {
        QTextStream(stderr) << "zel: " << error << '\n';
        return StartFailed;
    }
    data::StandardOutput::stream() << "Wrote " << QDir::toNativeSeparators(file) << '\n';
    return data::StandardOutput::finish("zel") ? Ok : StartFailed;
}

int Program::exportList(const CommandLine& command)
{
    ui::MainSession::ExportOptions options;
    options.withNotes = command.withNotes;
    if (command.filtered) {
        search::SearchCriteria criteria{command.filterName,
                                        command.filterOdour,
                                        command.filterPerformance,
                                        command.filterApplication,
                                        {}};
        for (int medium : command.filterStable)
            criteria.required[static_cast<size_t>(medium - 1)] = true;
        options.criteria = criteria;
    }
    const QString file = command.exportFile;
    int written = 0;
    const QString error = m_session->ExportList(file, {}, options, &written);
    if (!error.isEmpty()) {
        QTextStream(stderr) << "zel: " << error << '\n';
        return StartFailed;
    }
    QTextStream& out = data::StandardOutput::stream();
    if (written == 0 && command.filtered)
        out << "No material meets the criteria: wrote the header alone to "
            << QDir::toNativeSeparators(file) << '\n';
    else
        out << "Wrote " << written << " materials to " << QDir::toNativeSeparators(file) << '\n';
    return data::StandardOutput::finish("zel") ? Ok : StartFailed;
}

void Program::printSummary() const
{
    const ui::MainSession& session = *m_session;
    QTextStream& out = data::StandardOutput::stream();
    out << "Database: " << session.sourceDescription() << '\n';
    out << "Indexes: "
        << (m_reindexing == Reindexing::NotNeeded ? "present"
            : m_reindexing == Reindexing::Done    ? "rebuilt"
                                                  : "rebuild failed")
        << '\n';
    for (const QString* table :
         {&model::tables::material, &model::tables::synonyms, &model::tables::supplier})
        out << "  " << *table << ": " << session.tableRecordCount(*table) << " records\n";
    const data::Dataset* material = session.dataset(model::datasets::TableMaterial);
    out << "Materials: " << session.MaterialCount << '\n';
    out << "First material: " << material->text(model::fields::name) << " (CAS "
        << material->text(model::fields::cas) << ")\n";
    out << "Commercial names listed: "
        << session.dataset(model::datasets::TableCommSynonyms)->recordCount() << '\n';
    out << "Configuration: "
        << (session.configuration().file.isEmpty()
                ? QStringLiteral("(none)")
                : QDir::toNativeSeparators(session.configuration().file))
        << '\n';
    out << "Help file: "
        << (session.HelpFileName.isEmpty() ? QStringLiteral("(none)") : session.HelpFileName)
        << '\n';
}

} // namespace zel::app
