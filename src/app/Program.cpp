#include "app/Program.h"

#include "app/ErrorMessage.h"
#include "app/IniFile.h"
#include "app/ReportRunner.h"
#include "app/SearchFeedback.h"
#include "app/TAboutBox.h"
#include "app/TGaugeWindow.h"
#include "app/TIndexForm.h"
#include "app/TLogoDialog.h"
#include "app/WindowUtil.h"
#include "data/Collation.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "data/Datasets.h"
#include "data/Error.h"
#include "data/Index.h"
#include "data/Names.h"
#include "data/Reindex.h"
#include "data/Schema.h"
#include "data/Table.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "search/MaterialFilter.h"
#include "ui/MainSession.h"
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

constexpr int kHelpFileNameLength = 80;

QString withSeparator(QString dir)
{
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

} // namespace

Program::Program(const QString& programDirectory, bool headless)
    : m_programDirectory(programDirectory), m_headless(headless),
      m_messagesBefore(ErrorMessage::shownCount())
{
    ErrorMessage::setHeadless(headless);
    m_session = std::make_unique<ui::MainSession>();
    m_mainForm = std::make_unique<ui::TMainForm>(m_session.get());
    m_materialReport = std::make_unique<report::TPrintMaterial>(m_session->database());
    m_supplierReport = std::make_unique<report::TPrintSupplier>(m_session->database());
    m_gaugeWindow = std::make_unique<TGaugeWindow>();
    m_searchWindow = std::make_unique<ui::TSearchWindow>();
    m_sizerWindow = std::make_unique<ui::TSizerWindow>();
    m_aboutBox = std::make_unique<TAboutBox>();
    m_indexForm = std::make_unique<TIndexForm>();
    m_logoDialog = std::make_unique<TLogoDialog>();

    m_searchFeedback = std::make_unique<SearchFeedback>(m_gaugeWindow.get());
    m_session->setSelectionFeedback(m_searchFeedback.get());
    m_session->setFilter(
        m_searchWindow->filterFor(m_session->dataset(data::datasets::TableMaterialSelect),
                                  m_session->dataset(data::datasets::TableSynonymsSelect)));
    // A search judges the whole materials table at once over its prepared texts; the record
    // filter above stays for a list without the whole-table one.
    m_session->setTableFilter(
        search::materialTableFilter([this] { return m_searchWindow->criteria(); },
                                    m_session->dataset(data::datasets::TableSynonymsSelect)));
    m_mainForm->setSearchDialog([this] { return m_searchWindow->Execute(); });
    m_mainForm->setAboutHandler([this] { m_aboutBox->exec(); });
    m_reports = std::make_unique<ReportRunner>(m_session.get(), m_mainForm.get(),
                                               m_materialReport.get(), m_supplierReport.get());
    m_mainForm->setPrintHandler([this] { m_reports->PrintCurrentPage(); });
}

Program::~Program() = default;

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

bool Program::indexesMissing() const
{
    // The id index file of the materials table is the sign that the indexes were built, and
    // the collation it records the sign that they were built in the order this program
    // sorts by: indexes of another collation are built again.
    const QString dir = m_session->DataDirectory;
    const QString idIndexFile = QFileInfo(data::tables::material).completeBaseName() +
                                QLatin1Char('.') + data::indexes::idindex + QStringLiteral(".zix");
    if (data::Database::findFileIn(dir, data::tables::material).isEmpty())
        return false;
    const QString sign = data::Database::findFileIn(dir, idIndexFile);
    return sign.isEmpty() || data::Index::fileCollation(sign) != data::collation::name();
}

bool Program::StartProgram()
{
    try {
        centreOnScreen(m_logoDialog.get());
        showNow(m_logoDialog.get());
        m_mainForm->ShowFirstPages();

        data::Session::instance().addPassword(QString::fromLatin1(data::schema::tablePassword()));
        ReadConfiguration();

        if (indexesMissing()) {
            m_indexForm->move(indexFormPosition(m_logoDialog->geometry(), m_indexForm->width()));
            showNow(m_indexForm.get());
            // Start-up goes on either way: the tables may still open without the indexes.
            m_reindexing = data::Reindex::run(m_session->DataDirectory, *m_indexForm)
                               ? Reindexing::Done
                               : Reindexing::Failed;
            m_indexForm->hide();
        }

        m_mainForm->FillMediaLabels();
        if (!OpenDatabase())
            return false;
        m_session->dataset(data::datasets::TableMaterial)->first();
        m_mainForm->UpdateListTitle();
        m_logoDialog->hide();
        return true;
    } catch (const std::exception& e) {
        ErrorMessage::show(ErrorMessage::internalError(), QString::fromUtf8(e.what()));
    } catch (...) {
        ErrorMessage::show(ErrorMessage::internalError());
    }
    return false;
}

void Program::ReadConfiguration()
{
    ui::MainSession& session = *m_session;
    session.ProgramDirectory = withSeparator(m_programDirectory);
    const IniFile ini(session.ProgramDirectory + QStringLiteral("zel.ini"));

    // A relative path stays relative: it means the working directory, not the program's.
    const QString path = ini.value(QStringLiteral("Database"), QStringLiteral("Path"));
    if (path.isEmpty())
        throw std::runtime_error("zel.ini names no database: [Database] Path is missing or empty");
    session.setDataDirectory(withSeparator(path));

    session.HelpFileName =
        ini.value(QStringLiteral("Help"), QStringLiteral("File Name")).left(kHelpFileNameLength);
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
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QApplication::exec();
        return ErrorMessage::shownCount() > m_messagesBefore ? StartedAfterMessage : Ok;
    }
    centreOnScreen(m_mainForm.get());
    m_mainForm->show();
    return QApplication::exec();
}

void Program::setDirectPrint(bool direct)
{
    m_reports->setDirectPrint(direct);
}

int Program::writeReport(const QString& materialCas, const QString& supplierNumber,
                         const QString& file)
{
    const QString error = materialCas.isEmpty()
                              ? m_reports->writeSupplierReport(supplierNumber, file)
                              : m_reports->writeMaterialReport(materialCas, file);
    QTextStream err(stderr);
    if (!error.isEmpty()) {
        err << "zel: " << error << '\n';
        return StartFailed;
    }
    QTextStream(stdout) << "Wrote " << QDir::toNativeSeparators(file) << '\n';
    return Ok;
}

void Program::printSummary() const
{
    const ui::MainSession& session = *m_session;
    QTextStream out(stdout);
    out << "Database: " << QDir::toNativeSeparators(QDir(session.DataDirectory).absolutePath())
        << '/' << '\n';
    out << "Indexes: "
        << (m_reindexing == Reindexing::NotNeeded ? "present"
            : m_reindexing == Reindexing::Done    ? "rebuilt"
                                                  : "rebuild failed")
        << '\n';
    for (const QString* table :
         {&data::tables::material, &data::tables::synonyms, &data::tables::supplier})
        out << "  " << *table << ": " << session.database()->table(*table)->recordCount()
            << " records\n";
    const data::Dataset* material = session.dataset(data::datasets::TableMaterial);
    out << "Materials: " << session.MaterialCount << '\n';
    out << "First material: " << material->text(data::fields::name) << " (CAS "
        << material->text(data::fields::cas) << ")\n";
    out << "Commercial names listed: "
        << session.dataset(data::datasets::TableCommSynonyms)->recordCount() << '\n';
    out << "Help file: "
        << (session.HelpFileName.isEmpty() ? QStringLiteral("(none)") : session.HelpFileName)
        << '\n';
}

} // namespace zel::app
