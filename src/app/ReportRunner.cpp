#include "app/ReportRunner.h"

#include "app/CommandLine.h"
#include "app/ErrorMessage.h"
#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "model/Names.h"
#include "model/NoteStore.h"
#include "report/PrintJob.h"
#include "report/ReportFileError.h"
#include "report/TPrintCompare.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "report/TRpError.h"
#include "report/TRpPrinter.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/PrinterChoice.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"
#include "ui/MainSession.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>
#include <QTimer>
#include <optional>

namespace zel::app {

namespace {
// PDF files of reports are drawn at this resolution: plenty for print, small files.
constexpr double kPdfDpi = 300;
} // namespace

ReportRunner::ReportRunner(ui::MainSession* session, QWidget* window,
                           report::TPrintMaterial* material, report::TPrintSupplier* supplier)
    : m_session(session), m_form(window), m_material(material), m_supplier(supplier)
{
    if (m_form)
        m_form->installEventFilter(this);
}

ReportRunner::~ReportRunner() = default;

bool ReportRunner::eventFilter(QObject* watched, QEvent* event)
{
    // The main window closing ends the program, which must not wait for a preview.
    if (watched == m_form && event->type() == QEvent::Close)
        closeReports();
    return QObject::eventFilter(watched, event);
}

void ReportRunner::closeReports()
{
    if (m_running)
        m_running->cancel();
    if (!m_preview)
        return;
    m_closing = true;
    m_preview->close();
    // A print from the preview ends first and keeps the window open meanwhile; ask again
    // once it has stopped.
    if (m_preview && m_preview->isVisible())
        QTimer::singleShot(20, this, &ReportRunner::closeReports);
}

void ReportRunner::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("ZEL"), text, QMessageBox::Ok, m_form);
    box.exec();
}

void ReportRunner::PrintCurrentPage()
{
    try {
        switch (m_session->LastShownPage) {
        case ui::page::Materials:
            RunMaterialReport();
            break;
        case ui::page::CommercialNames: {
            // The material list's cursor goes to the commercial name's material; its index is
            // put back whatever happens, so the list keeps its order.
            data::Dataset* material = m_session->dataset(model::datasets::TableMaterial);
            const QString previous = material->indexName();
            {
                auto restore = qScopeGuard([&] { material->setIndexName(previous); });
                material->setIndexName(model::indexes::casorder);
                material->findKey({m_session->dataset(model::datasets::TableCommSynonyms)
                                       ->text(model::fields::cas)});
            }
            RunMaterialReport();
            break;
        }
        case ui::page::Suppliers:
            RunSupplierReport();
            break;
        default:
            break;
        }
    } catch (const data::DatabaseError& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

void ReportRunner::present(report::TRpReport& report, const Run& run)
{
    m_closing = false;
    if (m_direct) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, m_form);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        if (dialog.exec() != QDialog::Accepted)
            return;
        // A printer gets the job whole, copies included, once its last page is made, so that
        // Cancel before then leaves nothing in its queue; a PDF file is written as pages come.
        const bool spooled = printer.outputFormat() == QPrinter::NativeFormat;
        const std::unique_ptr<report::TRpPrinter> made =
            spooled
                ? std::make_unique<report::TRpPrinter>(printer, report::PrinterChoice::job(printer))
                : std::make_unique<report::TRpPrinter>(printer);
        report::TRpPrinter& producer = *made;
        if (!spooled)
            producer.abortJob = [&printer] { printer.abort(); };
        report::TRpProgressForm progress(m_form);
        QObject::connect(&producer, &report::TRpPrinter::progressChanged, &progress,
                         &report::TRpProgressForm::progress);
        QObject::connect(&progress, &report::TRpProgressForm::cancelled, &producer,
                         &report::TRpPrinter::cancel);
        progress.show();
        m_running = &producer;
        auto done = qScopeGuard([this] { m_running = nullptr; });
        run(producer);
        return;
    }
    // The page range chosen for one preview's pages means nothing for the next report; the
    // printer, copies and orientation stay chosen.
    report.printerSettings.firstPage = report.printerSettings.lastPage = 0;

    // The preview opens as soon as the first page is finished and stays usable while the
    // rest are produced; closing it cancels the run. A report without pages opens nothing.
    // Its Print runs the report again, straight to the printer.
    report::TRpPrinter producer;
    report::ProducerSource source(producer, &report, run);
    report::TRpStandardPreview preview(&source);
    m_preview = &preview;
    auto forget = qScopeGuard([this] {
        m_preview = nullptr;
        m_running = nullptr;
    });
    bool closed = false;
    QObject::connect(&preview, &report::TRpStandardPreview::closed, [&closed] { closed = true; });
    QObject::connect(&producer, &report::TRpPrinter::pagesAvailable, &preview,
                     [this, &preview, &closed](int count) {
                         if (count >= 1 && !closed && !m_closing && !preview.isVisible()) {
                             preview.showMaximized();
                             preview.view()->zoomToWidth();
                         }
                     });
    m_running = &producer;
    run(producer);
    m_running = nullptr;
    QCoreApplication::processEvents(); // delivers the last page notification
    if (closed || m_closing || producer.cancelled() || source.pageCount() == 0)
        return;
    source.finish();
    if (!preview.isVisible())
        preview.showMaximized();
    QEventLoop wait;
    QObject::connect(&preview, &report::TRpStandardPreview::closed, &wait, &QEventLoop::quit);
    if (!closed && !m_closing)
        wait.exec();
}

void ReportRunner::RunMaterialReport()
{
    const data::Dataset* material = m_session->dataset(model::datasets::TableMaterial);
    const QString sf = material->text(model::fields::sf);
    const QString cas = material->text(model::fields::cas);
    std::optional<model::NoteStore::Entry> notes;
    if (m_session->ReportNotes)
        notes = m_session->notes().entry(cas);
    present(m_material->report(), [this, sf, cas, notes](report::TRpPrinter& printer) {
        m_material->run(sf, cas, printer, notes ? &*notes : nullptr);
    });
}

void ReportRunner::RunSupplierReport()
{
    const QString supnr =
        m_session->dataset(model::datasets::TableSupplier)->text(model::fields::supnr);
    present(m_supplier->report(),
            [this, supnr](report::TRpPrinter& printer) { m_supplier->run(supnr, printer); });
}

QString ReportRunner::readComparison(report::TPrintCompare& form, const QStringList& cas,
                                     model::Comparison& comparison)
{
    QStringList missing;
    comparison = form.read(cas, &missing);
    if (!missing.isEmpty())
        return QStringLiteral("No material has the CAS number %1")
            .arg(missing.join(QStringLiteral(", ")));
    if (!comparison.printable())
        return QStringLiteral("A comparison needs at least two materials");
    return QString();
}

void ReportRunner::RunComparison(const QStringList& cas)
{
    const QString error = errorOf([&] {
        model::Comparison comparison;
        QString problem = readComparison(*m_compare, cas, comparison);
        if (problem.isEmpty())
            present(m_compare->report(), [this, comparison](report::TRpPrinter& printer) {
                m_compare->run(comparison, printer);
            });
        return problem;
    });
    if (!error.isEmpty())
        showError(error);
}

bool ReportRunner::knownOutputFormat(const QString& file)
{
    return CommandLine::knownOutputFormat(file);
}

QString ReportRunner::writeReport(const Run& run, const QString& file, const QString& what)
{
    if (QFileInfo(file).suffix().toLower() == QLatin1String("pdf")) {
        report::TRpPrinter printer(file, kPdfDpi);
        run(printer);
        if (printer.pageCount() == 0)
            return QStringLiteral("The report of %1 has no pages").arg(what);
        return QString();
    }
    if (!knownOutputFormat(file))
        return QStringLiteral("%1: reports are written as .pdf or .frp files").arg(file);
    // The saved report file: the page images the preview shows, byte for byte.
    report::TRpPrinter pages;
    run(pages);
    if (pages.pageCount() == 0)
        return QStringLiteral("The report of %1 has no pages").arg(what);
    pages.pageList().save(file);
    return QString();
}

QString ReportRunner::errorOf(const std::function<QString()>& work)
{
    try {
        return work();
    } catch (const data::Error& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

QString ReportRunner::writeMaterialReport(const QString& cas, const QString& file, bool withNotes)
{
    return errorOf([&] {
        data::Dataset* lookup = m_session->dataset(model::datasets::TableMaterial2);
        const QString previous = lookup->indexName();
        lookup->setIndexName(model::indexes::casorder);
        const bool found = lookup->findKey({cas});
        const QString name = lookup->text(model::fields::name);
        const QString sf = lookup->text(model::fields::sf);
        lookup->setIndexName(previous);
        if (!found)
            return QStringLiteral("No material has the CAS number %1").arg(cas);
        std::optional<model::NoteStore::Entry> notes;
        if (withNotes) {
            notes = m_session->notes().entry(cas);
            // Asked for, notes that cannot be read are no reason to print a sheet without them.
            if (!m_session->notes().readable())
                return m_session->notes().problem();
        }
        return writeReport(
            [&](report::TRpPrinter& printer) {
                m_material->run(sf, cas, printer, notes ? &*notes : nullptr);
            },
            file, name);
    });
}

QString ReportRunner::writeSupplierReport(const QString& supnr, const QString& file)
{
    return errorOf([&] {
        if (!m_session->GotoSupplier(supnr))
            return QStringLiteral("No supplier has the number %1").arg(supnr);
        return writeReport([&](report::TRpPrinter& printer) { m_supplier->run(supnr, printer); },
                           file, QStringLiteral("supplier %1").arg(supnr));
    });
}

QString ReportRunner::writeComparison(const QStringList& cas, const QString& file)
{
    return errorOf([&] {
        model::Comparison comparison;
        const QString problem = readComparison(*m_compare, cas, comparison);
        if (!problem.isEmpty())
            return problem;
        return writeReport(
            [&](report::TRpPrinter& printer) { m_compare->run(comparison, printer); }, file,
            cas.join(QStringLiteral(", ")));
    });
}

} // namespace zel::app
