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
#include "data/Database.h"
#include "data/Dataset.h"
#include "data/Datasets.h"
#include "data/Error.h"
#include "data/Reindex.h"
#include "data/Schema.h"
#include "data/Table.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "search/MaterialFilter.h"
#include "search/StabilityMedia.h"
#include "search/TSearchWindow.h"
#include "ui/TMainForm.h"
#include "ui/TSizerWindow.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <stdexcept>
#include <vector>

namespace zel::app {

namespace {

const QString kTableMaterial = QStringLiteral("TableMaterial");
constexpr int kHelpFileNameLength = 80;

QString withSeparator(QString dir)
{
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

// The selection list keeps a flag per id and takes the number of materials for the highest
// id, so ids must be exactly 1 to N. A table that breaks this would hide materials or
// index past the flags; it is refused like any other damaged table.
void checkMaterialIds(const data::Table& table)
{
    const int n = table.recordCount();
    const int field = table.fieldIndex(QStringLiteral("id"));
    if (field < 0)
        throw data::DatabaseError(QStringLiteral("%1 has no id field").arg(table.displayName()));
    std::vector<bool> seen(static_cast<size_t>(n) + 1, false);
    for (int r = 0; r < n; ++r) {
        const QVariant v = table.value(r, field);
        const qint64 id = v.isValid() ? v.toLongLong() : 0;
        if (id < 1 || id > n || seen[static_cast<size_t>(id)])
            throw data::DatabaseError(
                QStringLiteral("%1: the ids are not 1 to %2 without gaps (record %3 has id %4)")
                    .arg(table.displayName())
                    .arg(n)
                    .arg(r + 1)
                    .arg(v.isValid() ? v.toString() : QStringLiteral("blank")));
        seen[static_cast<size_t>(id)] = true;
    }
}

} // namespace

Program::Program(const QString& programDirectory, bool headless)
    : m_programDirectory(programDirectory), m_headless(headless),
      m_messagesBefore(ErrorMessage::shownCount())
{
    ErrorMessage::setHeadless(headless);
    m_mainForm = std::make_unique<ui::TMainForm>();
    m_materialReport =
        std::make_unique<report::TPrintMaterial>(m_mainForm->MainData, search::StabilityMedia());
    m_supplierReport = std::make_unique<report::TPrintSupplier>(m_mainForm->MainData);
    m_gaugeWindow = std::make_unique<TGaugeWindow>();
    m_searchWindow = std::make_unique<search::TSearchWindow>();
    m_sizerWindow = std::make_unique<ui::TSizerWindow>();
    m_aboutBox = std::make_unique<TAboutBox>();
    m_indexForm = std::make_unique<TIndexForm>();
    m_logoDialog = std::make_unique<TLogoDialog>();

    m_searchFeedback = std::make_unique<SearchFeedback>(m_gaugeWindow.get());
    m_mainForm->setSelectionFeedback(m_searchFeedback.get());
    m_mainForm->setAboutHandler([this] { m_aboutBox->exec(); });
    // A search judges the whole materials table at once over its prepared texts; the filter
    // for one record stays for a selection list without the whole-table one.
    m_mainForm->setSearch(
        [this] { return m_searchWindow->Execute(); },
        m_searchWindow->filterFor(m_mainForm->Datasets->get(QStringLiteral("TableMaterialSelect")),
                                  m_mainForm->Datasets->get(QStringLiteral("TableSynonymsSelect"))),
        search::materialTableFilter(
            [this] { return m_searchWindow->criteria(); },
            m_mainForm->Datasets->get(QStringLiteral("TableSynonymsSelect"))));
    m_reports = std::make_unique<ReportRunner>(m_mainForm.get(), m_materialReport.get(),
                                               m_supplierReport.get());
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
    const QString dir = m_mainForm->DataDirectory;
    return !data::Database::findFileIn(dir, QStringLiteral("material.db")).isEmpty() &&
           data::Database::findFileIn(dir, QStringLiteral("material.idindex.zix")).isEmpty();
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
            m_reindexing = data::Reindex::run(m_mainForm->DataDirectory, *m_indexForm)
                               ? Reindexing::Done
                               : Reindexing::Failed;
            m_indexForm->hide();
        }

        m_mainForm->FillMediaLabels();
        if (!OpenDatabase())
            return false;
        m_mainForm->Datasets->get(kTableMaterial)->first();
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
    ui::TMainForm& form = *m_mainForm;
    form.ProgramDirectory = withSeparator(m_programDirectory);
    const IniFile ini(form.ProgramDirectory + QStringLiteral("zel.ini"));

    // A relative path stays relative: it means the working directory, not the program's.
    const QString path = ini.value(QStringLiteral("Database"), QStringLiteral("Path"));
    if (path.isEmpty())
        throw std::runtime_error("zel.ini names no database: [Database] Path is missing or empty");
    form.DataDirectory = withSeparator(path);

    form.MainData->disconnect();
    form.MainData->setParams({QStringLiteral("Path=") + form.DataDirectory});
    form.MainData->setDriver(QStringLiteral("STANDARD"));

    form.HelpFileName =
        ini.value(QStringLiteral("Help"), QStringLiteral("File Name")).left(kHelpFileNameLength);
}

bool Program::OpenDatabase()
{
    ui::TMainForm& form = *m_mainForm;
    try {
        data::Session::instance().setLockDirectory(form.DataDirectory);
        // The declarations are in opening order, and the commercial names get their range
        // as they open.
        form.Datasets->openAll();
        data::Dataset* material = form.Datasets->get(kTableMaterial);
        form.MaterialCount = material->recordCount();
        checkMaterialIds(*material->table());
        form.CreateSelectionList();
        // A search judges the whole materials table in one pass over its prepared texts.
        form.selectionList()->setTableFilter(
            search::materialTableFilter([this] { return m_searchWindow->criteria(); },
                                        form.Datasets->get(QStringLiteral("TableSynonymsSelect"))));
        return true;
    } catch (const std::exception& e) {
        form.MainData->disconnect();
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
                         const QString& pdfFile)
{
    const QString error = materialCas.isEmpty()
                              ? m_reports->writeSupplierPdf(supplierNumber, pdfFile)
                              : m_reports->writeMaterialPdf(materialCas, pdfFile);
    QTextStream err(stderr);
    if (!error.isEmpty()) {
        err << "zel: " << error << '\n';
        return StartFailed;
    }
    QTextStream(stdout) << "Wrote " << QDir::toNativeSeparators(pdfFile) << '\n';
    return Ok;
}

void Program::printSummary() const
{
    const ui::TMainForm& form = *m_mainForm;
    QTextStream out(stdout);
    out << "Database: " << QDir::toNativeSeparators(QDir(form.DataDirectory).absolutePath()) << '/'
        << '\n';
    out << "Indexes: "
        << (m_reindexing == Reindexing::NotNeeded ? "present"
            : m_reindexing == Reindexing::Done    ? "rebuilt"
                                                  : "rebuild failed")
        << '\n';
    for (const char* table : {"MATERIAL.DB", "SYNONYMS.DB", "SUPPLIER.DB"})
        out << "  " << table << ": "
            << form.MainData->table(QString::fromLatin1(table))->recordCount() << " records\n";
    const data::Dataset* material = form.Datasets->get(kTableMaterial);
    out << "Materials: " << form.MaterialCount << '\n';
    out << "First material: " << material->text(QStringLiteral("name")) << " (CAS "
        << material->text(QStringLiteral("cas")) << ")\n";
    out << "Commercial names listed: "
        << form.Datasets->get(QStringLiteral("TableCommSynonyms"))->recordCount() << '\n';
    out << "Help file: "
        << (form.HelpFileName.isEmpty() ? QStringLiteral("(none)") : form.HelpFileName) << '\n';
}

} // namespace zel::app
