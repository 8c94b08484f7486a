#include "app/ReportRunner.h"

#include "app/ErrorMessage.h"
#include "data/Dataset.h"
#include "data/Datasets.h"
#include "data/Error.h"
#include "data/Names.h"
#include "report/ReportFileError.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "report/TRpError.h"
#include "report/TRpPrinter.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"
#include "ui/MainSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>

namespace zel::app {

namespace {
// PDF files of reports are drawn at this resolution: plenty for print, small files.
constexpr double kPdfDpi = 300;
} // namespace

ReportRunner::ReportRunner(ui::MainSession* session, QWidget* window,
                           report::TPrintMaterial* material, report::TPrintSupplier* supplier)
    : m_session(session), m_form(window), m_material(material), m_supplier(supplier)
{
}

ReportRunner::~ReportRunner() = default;

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
            data::Dataset* material = m_session->dataset(data::datasets::TableMaterial);
            const QString previous = material->indexName();
            {
                auto restore = qScopeGuard([&] { material->setIndexName(previous); });
                material->setIndexName(data::indexes::casorder);
                material->findKey({m_session->dataset(data::datasets::TableCommSynonyms)
                                       ->text(data::fields::cas)});
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

template <typename Run> void ReportRunner::present(Run run)
{
    if (m_direct) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, m_form);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const int copies = printer.copyCount();
        printer.setCopyCount(1);
        for (int copy = 0; copy < copies; ++copy) {
            report::TRpProgressForm progress(m_form);
            report::TRpPrinter producer(printer);
            QObject::connect(&producer, &report::TRpPrinter::progressChanged, &progress,
                             &report::TRpProgressForm::progress);
            QObject::connect(&progress, &report::TRpProgressForm::cancelled, &producer,
                             [&producer] { producer.cancel(); });
            progress.show();
            run(producer);
            if (producer.cancelled())
                break;
        }
        return;
    }
    // The preview opens as soon as the first page is finished and stays usable while the
    // rest are produced; closing it cancels the run. A report without pages opens nothing.
    report::TRpPrinter producer;
    report::ProducerSource source(producer);
    report::TRpStandardPreview preview(&source);
    bool closed = false;
    QObject::connect(&preview, &report::TRpStandardPreview::closed, [&closed] { closed = true; });
    QObject::connect(&producer, &report::TRpPrinter::pagesAvailable, &preview,
                     [&preview, &closed](int count) {
                         if (count >= 1 && !closed && !preview.isVisible()) {
                             preview.showMaximized();
                             preview.view()->zoomToWidth();
                         }
                     });
    run(producer);
    QCoreApplication::processEvents(); // delivers the last page notification
    if (closed || producer.cancelled() || source.pageCount() == 0)
        return;
    source.finish();
    if (!preview.isVisible())
        preview.showMaximized();
    QEventLoop wait;
    QObject::connect(&preview, &report::TRpStandardPreview::closed, &wait, &QEventLoop::quit);
    if (!closed)
        wait.exec();
}

void ReportRunner::RunMaterialReport()
{
    const data::Dataset* material = m_session->dataset(data::datasets::TableMaterial);
    const QString sf = material->text(data::fields::sf);
    const QString cas = material->text(data::fields::cas);
    present([&](report::TRpPrinter& printer) { m_material->run(sf, cas, printer); });
}

void ReportRunner::RunSupplierReport()
{
    const QString supnr =
        m_session->dataset(data::datasets::TableSupplier)->text(data::fields::supnr);
    present([&](report::TRpPrinter& printer) { m_supplier->run(supnr, printer); });
}

QString ReportRunner::writeMaterialPdf(const QString& cas, const QString& pdfFile)
{
    try {
        data::Dataset* lookup = m_session->dataset(data::datasets::TableMaterial2);
        const QString previous = lookup->indexName();
        lookup->setIndexName(data::indexes::casorder);
        const bool found = lookup->findKey({cas});
        const QString name = lookup->text(data::fields::name);
        const QString sf = lookup->text(data::fields::sf);
        lookup->setIndexName(previous);
        if (!found)
            return QStringLiteral("No material has the CAS number %1").arg(cas);
        report::TRpPrinter printer(pdfFile, kPdfDpi);
        m_material->run(sf, cas, printer);
        if (printer.pageCount() == 0)
            return QStringLiteral("The report of %1 has no pages").arg(name);
        return QString();
    } catch (const data::DatabaseError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

QString ReportRunner::writeSupplierPdf(const QString& supnr, const QString& pdfFile)
{
    try {
        if (!m_session->GotoSupplier(supnr))
            return QStringLiteral("No supplier has the number %1").arg(supnr);
        report::TRpPrinter printer(pdfFile, kPdfDpi);
        m_supplier->run(supnr, printer);
        if (printer.pageCount() == 0)
            return QStringLiteral("The report of supplier %1 has no pages").arg(supnr);
        return QString();
    } catch (const data::DatabaseError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

} // namespace zel::app
