#include "app/Program.h"

#include "app/ConfigLocation.h"
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
#include "data/PgConnection.h"
#include "data/Reindex.h"
#include "data/Schema.h"
#include "data/ServerTables.h"
#include "data/Table.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "search/ListExport.h"
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

// No zel.ini was found: the start fails with its usual message, and the places looked at
// go to standard error so that a user started from a terminal knows where to put one.
class NoConfiguration : public std::runtime_error
{
public:
    explicit NoConfiguration(const QStringList& places)
        : std::runtime_error("no zel.ini found"), m_places(places)
    {
    }
    void writePlaces() const
    {
        QTextStream err(stderr);
        err << "zel: looked for zel.ini in:\n";
        for (const QString& place : m_places)
            err << "zel:   " << QDir::toNativeSeparators(place) << '\n';
        err.flush();
    }

private:
    QStringList m_places;
};

QString withSeparator(QString dir)
{
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

} // namespace

Program::Program(const QString& programDirectory, bool headless, const Source& source)
    : m_programDirectory(programDirectory), m_configFile(source.configFile),
      m_dataDirectory(source.dataDirectory), m_headless(headless),
      m_messagesBefore(ErrorMessage::shownCount())
{
    ErrorMessage::setHeadless(headless);
    m_session = std::make_unique<ui::MainSession>();
    startLoading();
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
    m_mainForm->setProgressWindow(m_searchFeedback.get());
}

Program::~Program() = default;

void Program::startLoading()
{
    // Making the windows takes longer than reading the tables: the tables are read meanwhile.
    // Not when the indexes of a data directory are to be built, which rewrites a table first;
    // a server's indexes are its own and never change what is read. Anything amiss here is
    // found again, and reported, by StartProgram.
    try {
        data::Session::instance().addPassword(QString::fromLatin1(data::schema::tablePassword()));
        ReadConfiguration();
        if (m_session->database()->isServer() || !indexesMissing())
            m_session->PreloadDatabase();
    } catch (const std::exception&) {
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

        if (m_session->database()->isServer()) {
            m_reindexing = ensureServerIndexes();
        } else if (indexesMissing()) {
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
    } catch (const NoConfiguration& e) {
        // Headless, the message comes first, as in every other failed start.
        if (!m_headless)
            e.writePlaces();
        ErrorMessage::show(ErrorMessage::internalError(), QString::fromUtf8(e.what()));
        if (m_headless)
            e.writePlaces();
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
    m_configFileRead.clear();
    // Without a help file of its own choosing, the program shows the one installed with it.
    const QString installedHelp = ConfigLocation::installedHelpFile(m_programDirectory);

    if (!m_dataDirectory.isEmpty()) {
        session.setDataDirectory(withSeparator(m_dataDirectory));
        session.HelpFileName = installedHelp;
        return;
    }

    const QStringList places =
        m_configFile.isEmpty()
            ? ConfigLocation::places(m_programDirectory, ConfigLocation::Environment::ofProcess())
            : QStringList{m_configFile};
    m_configFileRead = ConfigLocation::firstExisting(places);
    if (m_configFileRead.isEmpty())
        throw NoConfiguration(places);
    const IniFile ini(m_configFileRead);

    const QString driver = ini.value(QStringLiteral("Database"), QStringLiteral("Driver"));
    if (driver.compare(data::Database::serverDriver(), Qt::CaseInsensitive) == 0) {
        const QString connection =
            ini.value(QStringLiteral("Database"), QStringLiteral("Connection"));
        if (connection.isEmpty())
            throw std::runtime_error(
                "zel.ini names no server: [Database] Connection is missing or empty");
        if (!data::PgConnection::isValid(connection))
            throw std::runtime_error(
                "zel.ini's [Database] Connection is not a connection string or URI");
        // A password in a file every user may read is a password given away.
        if (data::PgConnection::hasPassword(connection))
            throw std::runtime_error(
                "zel.ini's [Database] Connection holds a password; keep it in ~/.pgpass, "
                "PGPASSWORD or a service file instead");
        m_session->setServer(connection);
        session.HelpFileName = ini.value(QStringLiteral("Help"), QStringLiteral("File Name"))
                                   .left(kHelpFileNameLength);
        return;
    }
    if (!driver.isEmpty() && driver.compare(QStringLiteral("STANDARD"), Qt::CaseInsensitive) != 0)
        throw std::runtime_error(
            QStringLiteral("zel.ini names an unknown database driver: [Database] Driver=%1")
                .arg(driver)
                .toStdString());

    // A relative path stays relative: it means the working directory, not the program's.
    const QString path = ini.value(QStringLiteral("Database"), QStringLiteral("Path"));
    if (path.isEmpty())
        throw std::runtime_error(
            QStringLiteral("%1 names no database: [Database] Path is missing or empty")
                .arg(QDir::toNativeSeparators(m_configFileRead))
                .toStdString());
    session.setDataDirectory(withSeparator(path));

    const QString help = ini.value(QStringLiteral("Help"), QStringLiteral("File Name"));
    session.HelpFileName = help.isEmpty() ? installedHelp : help.left(kHelpFileNameLength);
}

// Re-indexing on a server is making sure its indexes exist, by a role that may create them;
// a browsing role leaves them to whoever owns the tables. A server that cannot be reached is
// reported once, where the tables are opened.
Program::Reindexing Program::ensureServerIndexes()
{
    std::unique_ptr<data::PgConnection> connection;
    try {
        connection = std::make_unique<data::PgConnection>(m_session->database()->connection());
    } catch (const data::DatabaseError&) {
        return Reindexing::NotNeeded;
    }
    try {
        if (!data::server::mayMaintain(*connection))
            return Reindexing::NotNeeded;
        return data::server::ensureIndexes(*connection) > 0 ? Reindexing::Done
                                                            : Reindexing::NotNeeded;
    } catch (const data::DatabaseError& e) {
        ErrorMessage::show(
            data::Reindex::stepFailedMessage(data::server::tableName(data::schema::material())),
            e.message());
        return Reindexing::Failed;
    }
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

int Program::exportList(const QString& file)
{
    QString error;
    try {
        error = search::ListExport::writeCsv(
            file, *m_session->database()->table(data::tables::material),
            search::ListExport::listedIds(*m_session->selectionList()));
    } catch (const data::DatabaseError& e) {
        error = e.message();
    }
    if (!error.isEmpty()) {
        QTextStream(stderr) << "zel: " << error << '\n';
        return StartFailed;
    }
    QTextStream(stdout) << "Wrote " << m_session->MaterialCount << " materials to "
                        << QDir::toNativeSeparators(file) << '\n';
    return Ok;
}

void Program::printSummary() const
{
    const ui::MainSession& session = *m_session;
    QTextStream out(stdout);
    if (session.database()->isServer())
        out << "Database: " << data::Database::serverDriver() << " server "
            << data::PgConnection::redacted(session.database()->connection())
            << (session.database()->loadedFromLocalCopy() ? " (read from the local copy)" : "")
            << '\n';
    else
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
    out << "Configuration: "
        << (m_configFileRead.isEmpty() ? QStringLiteral("(none)")
                                       : QDir::toNativeSeparators(m_configFileRead))
        << '\n';
    out << "Help file: "
        << (session.HelpFileName.isEmpty() ? QStringLiteral("(none)") : session.HelpFileName)
        << '\n';
}

} // namespace zel::app
